#include "playback/PlaybackSession.h"

#include "i18n/Translations.h"
#include "platform/Paths.h"

namespace {

const char* FileReason(int code)
{
    switch (code) {
    case audio::kErrMemory: return "Out of memory.";
    case audio::kErrFileOpen: return "Could not open the file.";
    case audio::kErrFormat: return "Unsupported sample format.";
    case audio::kErrNo3D: return "3D sound is not available.";
    case audio::kErrFileForm: return "Unsupported file format.";
    case audio::kErrCodec: return "Required codec is not available.";
    default: return "Unknown error.";
    }
}

const char* UrlReason(int code)
{
    switch (code) {
    case audio::kErrFileOpen: return "Could not connect to URL.";
    case audio::kErrFormat: return "Unsupported sample format.";
    case audio::kErrSsl: return "SSL/HTTPS not supported.";
    case audio::kErrNoInternet: return "No internet connection.";
    case audio::kErrTimeout: return "Connection timed out.";
    case audio::kErrFileForm: return "Unsupported stream format.";
    case audio::kErrCodec: return "Required codec is not available.";
    default: return "Could not open stream.";
    }
}

constexpr size_t kUrlShownChars = 100;

// The first `count` characters (not bytes) of UTF-8 text.
std::string FirstCharacters(const std::string& text, size_t count)
{
    size_t i = 0;
    for (size_t seen = 0; i < text.size() && seen < count; ++seen) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            ++i;
    }
    return text.substr(0, i);
}

}  // namespace

std::string FileErrorText(const std::string& path, int code)
{
    return TranslateUtf8("Cannot play file:") + "\n" + FileNamePart(path) + "\n\n" + TranslateUtf8(FileReason(code));
}

std::string UrlErrorText(const std::string& url, int code)
{
    std::string shown = FirstCharacters(url, kUrlShownChars);
    if (shown.size() < url.size())
        shown += "...";
    return TranslateUtf8("Cannot play URL:") + "\n" + shown + "\n\n" + TranslateUtf8("Error: ") +
           TranslateUtf8(UrlReason(code)) + " (" + TranslateUtf8("code ") + std::to_string(code) + ")";
}

#include "recording/RecordingName.h"

#include "storage/Settings.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr const char* kDefaultTemplate = "%Y-%m-%d_%H-%M-%S";

// Order matters: "{minute}" must go before "{min}" could match inside it.
constexpr std::array<std::pair<const char*, const char*>, 14> kPlaceholders{{
    {"{année}", "%Y"}, {"{annee}", "%Y"}, {"{year}", "%Y"},
    {"{mois}", "%m"}, {"{month}", "%m"},
    {"{jour}", "%d"}, {"{day}", "%d"},
    {"{heure}", "%H"}, {"{hour}", "%H"},
    {"{minute}", "%M"}, {"{min}", "%M"},
    {"{seconde}", "%S"}, {"{second}", "%S"}, {"{sec}", "%S"},
}};

void ReplaceAll(std::string& text, const std::string& from, const std::string& to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

std::string Expand(const std::string& filenameTemplate, const std::tm& when)
{
    const std::string format = ReplaceRecordingPlaceholders(filenameTemplate);
    char buffer[256];
    const std::size_t n = std::strftime(buffer, sizeof buffer, format.c_str(), &when);
    return std::string(buffer, n);
}

}  // namespace

int ClampRecordingFormat(int format)
{
    return std::clamp(format, 0, 3);
}

const char* RecordingExtension(int format)
{
    static const char* const kExtensions[] = {".wav", ".mp3", ".ogg", ".flac"};
    return kExtensions[ClampRecordingFormat(format)];
}

std::string ReplaceRecordingPlaceholders(const std::string& filenameTemplate)
{
    std::string text = filenameTemplate;
    for (const auto& [from, to] : kPlaceholders)
        ReplaceAll(text, from, to);
    return text;
}

std::string RecordingFileName(int format, const std::tm& when)
{
    std::string name = Expand(g_settings.recording.filenameTemplate, when);
    // A name must stay inside the recordings folder, and an empty or
    // overlong expansion would leave only the extension.
    std::replace(name.begin(), name.end(), '/', '_');
    if (name.empty())
        name = Expand(kDefaultTemplate, when);
    return name + RecordingExtension(format);
}

std::string RecordingFileName(int format)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return RecordingFileName(format, local);
}

#include "playback/StreamTitle.h"

#include "playlist/TextDecoding.h"

namespace {

// Text from after `from` up to the next double quote, or the end.
std::string_view UpToQuote(std::string_view text, std::size_t from)
{
    const std::size_t quote = text.find('"', from);
    return text.substr(from, quote == std::string_view::npos ? std::string_view::npos : quote - from);
}

}  // namespace

bool MetadataValue(std::string_view metadata, std::string_view key, std::string* value)
{
    value->clear();
    // The block is a C text padded with zeros to a multiple of 16 bytes.
    const std::size_t zero = metadata.find('\0');
    if (zero != std::string_view::npos)
        metadata = metadata.substr(0, zero);
    const std::string single = std::string(key) + "='";
    std::size_t at = metadata.find(single);
    if (at != std::string_view::npos) {
        const std::size_t start = at + single.size();
        const std::size_t close = metadata.find("';", start);
        std::string_view raw = metadata.substr(start, close == std::string_view::npos ? std::string_view::npos : close - start);
        if (close == std::string_view::npos && !raw.empty() && raw.back() == '\'')
            raw.remove_suffix(1);
        *value = DecodePlaylistText(raw);
        return true;
    }
    const std::string dbl = std::string(key) + "=\"";
    at = metadata.find(dbl);
    if (at == std::string_view::npos)
        return false;
    *value = DecodePlaylistText(UpToQuote(metadata, at + dbl.size()));
    return true;
}

ArtistTitle SplitStreamTitle(std::string_view text)
{
    ArtistTitle out;
    constexpr std::string_view kTextMarker = " - text=\"";
    const std::size_t marker = text.find(kTextMarker);
    if (marker != std::string_view::npos) {
        out.artist = std::string(text.substr(0, marker));
        out.title = std::string(UpToQuote(text, marker + kTextMarker.size()));
        return out;
    }
    constexpr std::string_view kTitleKey = "title=\"";
    constexpr std::string_view kArtistKey = "artist=\"";
    const std::size_t titleAt = text.find(kTitleKey);
    const std::size_t artistAt = text.find(kArtistKey);
    if (titleAt != std::string_view::npos || artistAt != std::string_view::npos) {
        if (titleAt != std::string_view::npos)
            out.title = std::string(UpToQuote(text, titleAt + kTitleKey.size()));
        if (artistAt != std::string_view::npos)
            out.artist = std::string(UpToQuote(text, artistAt + kArtistKey.size()));
        return out;
    }
    const std::size_t dash = text.size() > 2 ? text.find(" - ") : std::string_view::npos;
    if (dash != std::string_view::npos) {
        out.artist = std::string(text.substr(0, dash));
        out.title = std::string(text.substr(dash + 3));
        return out;
    }
    out.title = std::string(text);
    return out;
}

bool RawStreamTitle(const TagBlocks& blocks, std::string* value)
{
    return MetadataValue(blocks.meta, "StreamTitle", value);
}

std::string StreamTitle(const TagBlocks& blocks)
{
    std::string raw;
    if (!RawStreamTitle(blocks, &raw))
        return {};
    const ArtistTitle parts = SplitStreamTitle(raw);
    if (!parts.artist.empty() && !parts.title.empty())
        return parts.artist + " - " + parts.title;
    if (!parts.title.empty())
        return parts.title;
    return raw;
}

#include "TagFixtures.h"

namespace tagtest {

std::string BigEndian32(std::uint32_t v)
{
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

std::string Synchsafe(std::uint32_t v)
{
    return {static_cast<char>((v >> 21) & 0x7F), static_cast<char>((v >> 14) & 0x7F), static_cast<char>((v >> 7) & 0x7F),
            static_cast<char>(v & 0x7F)};
}

std::string Utf16(const std::u16string& text, bool bigEndian, bool withMark)
{
    std::u16string units = withMark ? u"\uFEFF" + text : text;
    std::string out;
    for (const char16_t u : units) {
        const char hi = static_cast<char>(u >> 8);
        const char lo = static_cast<char>(u & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

std::string Frame(const std::string& id, const std::string& body, int version)
{
    const auto size = static_cast<std::uint32_t>(body.size());
    return id + (version >= 4 ? Synchsafe(size) : BigEndian32(size)) + std::string(2, '\0') + body;
}

std::string TextBody(int encoding, const std::string& encoded)
{
    return std::string(1, static_cast<char>(encoding)) + encoded;
}

std::string Id3v2Tag(int version, const std::string& frames, const std::string& extended, std::size_t padding)
{
    const auto size = static_cast<std::uint32_t>(extended.size() + frames.size() + padding);
    std::string tag = "ID3";
    tag += static_cast<char>(version);
    tag += '\0';
    tag += static_cast<char>(extended.empty() ? 0 : 0x40);
    return tag + Synchsafe(size) + extended + frames + std::string(padding, '\0');
}

std::string ChapBody(const std::string& elementId, std::uint32_t startMs, std::uint32_t endMs,
                     const std::string& embedded)
{
    return elementId + std::string(1, '\0') + BigEndian32(startMs) + BigEndian32(endMs) + BigEndian32(0xFFFFFFFFu) +
           BigEndian32(0xFFFFFFFFu) + embedded;
}

std::string ListBlock(std::initializer_list<std::string> texts)
{
    std::string block;
    for (const std::string& t : texts)
        block += t + '\0';
    return block + '\0';
}

std::string Id3v1Record(const Id3v1Spec& spec)
{
    auto field = [&](const std::string& value, std::size_t width) {
        std::string f = value.substr(0, width);
        return f + std::string(width - f.size(), spec.pad);
    };
    std::string r = "TAG" + field(spec.title, 30) + field(spec.artist, 30) + field(spec.album, 30) + field(spec.year, 4);
    if (spec.track > 0)
        r += field(spec.comment, 28) + '\0' + static_cast<char>(spec.track);
    else
        r += field(spec.comment, 30);
    r += static_cast<char>(spec.genre);
    return r;
}

}  // namespace tagtest

#include "playback/Id3v1.h"

#include "playlist/TextDecoding.h"

namespace {

constexpr const char* kGenres[80] = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop",
    "Jazz", "Metal", "New Age", "Oldies", "Other", "Pop", "R&B", "Rap",
    "Reggae", "Rock", "Techno", "Industrial", "Alternative", "Ska", "Death Metal", "Pranks",
    "Soundtrack", "Euro-Techno", "Ambient", "Trip-Hop", "Vocal", "Jazz+Funk", "Fusion", "Trance",
    "Classical", "Instrumental", "Acid", "House", "Game", "Sound Clip", "Gospel", "Noise",
    "Alternative Rock", "Bass", "Soul", "Punk", "Space", "Meditative", "Instrumental Pop", "Instrumental Rock",
    "Ethnic", "Gothic", "Darkwave", "Techno-Industrial", "Electronic", "Pop-Folk", "Eurodance", "Dream",
    "Southern Rock", "Comedy", "Cult", "Gangsta", "Top 40", "Christian Rap", "Pop/Funk", "Jungle",
    "Native American", "Cabaret", "New Wave", "Psychedelic", "Rave", "Showtunes", "Trailer", "Lo-Fi",
    "Tribal", "Acid Punk", "Acid Jazz", "Polka", "Retro", "Musical", "Rock & Roll", "Hard Rock",
};

// The bytes up to the first zero, at most `width`; taggers pad with spaces or
// zeros, so the text fields lose trailing ones of either.
std::string Field(std::string_view block, std::size_t offset, std::size_t width, bool trimSpaces)
{
    std::string_view raw = block.substr(offset, width);
    const std::size_t zero = raw.find('\0');
    if (zero != std::string_view::npos)
        raw = raw.substr(0, zero);
    while (!raw.empty() && (raw.back() == '\0' || (trimSpaces && raw.back() == ' ')))
        raw.remove_suffix(1);
    // No encoding is stored: UTF-8 when it is valid, else the Windows code page.
    return DecodePlaylistText(raw);
}

}  // namespace

bool ReadId3v1(std::string_view block, Id3v1Fields* fields)
{
    *fields = Id3v1Fields{};
    if (block.size() < 128 || block.substr(0, 3) != "TAG")
        return false;
    fields->title = Field(block, 3, 30, true);
    fields->artist = Field(block, 33, 30, true);
    fields->album = Field(block, 63, 30, true);
    fields->year = Field(block, 93, 4, false);
    fields->comment = Field(block, 97, 30, true);
    if (block[125] == '\0' && block[126] != '\0')
        fields->track = static_cast<unsigned char>(block[126]);
    fields->genre = static_cast<unsigned char>(block[127]);
    return true;
}

std::string Id3v1GenreName(int genre)
{
    if (genre < 0 || genre >= 80)
        return {};
    return kGenres[genre];
}

#pragma once
// Walking the frames of a raw ID3v2 tag (versions 2.3 and 2.4) and decoding
// its texts. The tag comes from a file or a stream: every size is checked
// against the bytes at hand, and a frame that does not fit ends the walk.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct Id3v2Layout {
    int version = 0;             // major version, byte 3
    std::size_t framesStart = 0; // after the header and any extended header
    std::size_t end = 0;         // 10 + the tag size, cut to the bytes at hand
};

struct Id3v2Frame {
    std::string_view id;         // 4 bytes
    std::string_view data;       // the frame's body, after its 10-byte header
};

std::uint32_t ReadBigEndian32(const unsigned char* p);
std::uint32_t ReadSynchsafe32(const unsigned char* p);

// False when the bytes do not start with an ID3v2 header ("ID3" and 10 bytes).
bool LocateId3v2(std::string_view tag, Id3v2Layout* layout);

// The frame at *at in area (frames back to back, sizes by version) and moves
// *at past it. False at the padding (a zero byte), a zero size, a frame that
// would end past the area, or fewer than 10 bytes left.
bool NextId3v2Frame(std::string_view area, int version, std::size_t* at, Id3v2Frame* frame);

// An ID3v2 text in encoding 0 (ISO-8859-1), 1 (UTF-16 with byte-order mark,
// little-endian without one), 2 (UTF-16 big-endian) or 3 (UTF-8), as UTF-8 up
// to its first zero character. False for any other encoding.
bool DecodeId3v2Text(int encoding, std::string_view bytes, std::string* text);

// The text of the first frame with this id: a text frame (encoding byte and
// text), or for "COMM" the comment after its language and short description.
// Empty when the tag, the frame or its text is missing or malformed.
std::string Id3v2FrameText(std::string_view tag, std::string_view frameId);

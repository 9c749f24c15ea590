#pragma once
// Raw ID3 blocks read straight from a file, as the tag reader expects them.
#include <string>

namespace audio {

// The 128-byte ID3v1 record at the end of the file, or empty.
std::string ReadId3v1Block(const std::string& path);
// The whole ID3v2 tag at the start of the file (header included), or empty.
std::string ReadId3v2Block(const std::string& path);
// Size in bytes of an ID3v2 tag from its 10-byte header (footer included),
// 0 when the bytes are not an ID3v2 header.
std::size_t Id3v2TagSize(const unsigned char* header, std::size_t length);

}  // namespace audio

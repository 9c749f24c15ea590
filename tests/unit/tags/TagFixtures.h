#pragma once
// Tag bytes built in code: ID3v1 records, ID3v2 tags and frames, UTF-16
// texts, key=value blocks.
#include <cstdint>
#include <initializer_list>
#include <string>

namespace tagtest {

std::string BigEndian32(std::uint32_t v);
std::string Synchsafe(std::uint32_t v);

// UTF-16 code units as bytes, with an optional byte-order mark first.
std::string Utf16(const std::u16string& text, bool bigEndian, bool withMark);

// One frame: id, size (synchsafe from version 4, plain before), two zero flag bytes.
std::string Frame(const std::string& id, const std::string& body, int version);
// A text frame body: the encoding byte and the already encoded text.
std::string TextBody(int encoding, const std::string& encoded);

// "ID3", version, flags (0x40 when `extended` is given), synchsafe size, then
// the extended header bytes, the frames and `padding` zero bytes.
std::string Id3v2Tag(int version, const std::string& frames, const std::string& extended = "",
                     std::size_t padding = 0);

// A CHAP frame body: element id, its zero, start, end, and two 0xFF offsets,
// then the embedded frames.
std::string ChapBody(const std::string& elementId, std::uint32_t startMs, std::uint32_t endMs,
                     const std::string& embedded);

// Texts each followed by a zero, then the empty text that ends the block.
std::string ListBlock(std::initializer_list<std::string> texts);

// A 128-byte ID3v1 record; fields shorter than their width are filled with `pad`.
struct Id3v1Spec {
    std::string title, artist, album, year, comment;
    int track = 0;     // > 0 writes an ID3v1.1 record
    int genre = 255;
    char pad = ' ';
};
std::string Id3v1Record(const Id3v1Spec& spec);

}  // namespace tagtest

#include "audio/FileTags.h"

#include <cstdio>
#include <memory>

namespace audio {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

std::size_t Id3v2TagSize(const unsigned char* h, std::size_t length)
{
    if (length < 10 || h[0] != 'I' || h[1] != 'D' || h[2] != '3' || h[3] == 0xFF || h[4] == 0xFF)
        return 0;
    if ((h[6] | h[7] | h[8] | h[9]) & 0x80)
        return 0;  // sizes are synchsafe: the top bit of each byte is clear
    std::size_t size = (static_cast<std::size_t>(h[6]) << 21) | (static_cast<std::size_t>(h[7]) << 14) |
                       (static_cast<std::size_t>(h[8]) << 7) | h[9];
    size += 10;
    if (h[5] & 0x10)
        size += 10;  // footer
    return size;
}

std::string ReadId3v1Block(const std::string& path)
{
    FilePtr f(std::fopen(path.c_str(), "rb"));
    if (!f || std::fseek(f.get(), -128, SEEK_END) != 0)
        return {};
    std::string block(128, '\0');
    if (std::fread(block.data(), 1, 128, f.get()) != 128 || block.compare(0, 3, "TAG") != 0)
        return {};
    return block;
}

std::string ReadId3v2Block(const std::string& path)
{
    FilePtr f(std::fopen(path.c_str(), "rb"));
    if (!f)
        return {};
    unsigned char header[10];
    if (std::fread(header, 1, 10, f.get()) != 10)
        return {};
    const std::size_t size = Id3v2TagSize(header, 10);
    if (size == 0 || size > 64u * 1024 * 1024)
        return {};
    std::string block(size, '\0');
    std::copy(header, header + 10, block.begin());
    const std::size_t rest = std::fread(block.data() + 10, 1, size - 10, f.get());
    if (rest != size - 10)
        return {};  // a tag cut short by the end of the file
    return block;
}

}  // namespace audio

// M3U text from anywhere must parse without faults into decoded, non-empty,
// non-comment locations that resolve without touching the disk.
#include "playlist/PlaylistFiles.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

bool IsUtf8(std::string_view s)
{
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        const size_t len = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
        if (len == 0 || i + len > s.size())
            return false;
        for (size_t k = 1; k < len; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += len;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const std::string& location : M3uLocations(text)) {
        if (location.empty() || location[0] == '#' || location[0] == ' ' || location[0] == '\t' ||
            location.find('\n') != std::string::npos || location.find('\0') != std::string::npos ||
            !IsUtf8(location))
            __builtin_trap();
        const std::string resolved = ResolveLocation(location, "/base/");
        if (resolved.size() < location.size())
            __builtin_trap();
    }
    return 0;
}

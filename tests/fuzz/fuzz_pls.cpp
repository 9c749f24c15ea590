// PLS text from anywhere (any encoding) must parse without faults into at
// most 1000 decoded, non-empty locations.
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
    const std::vector<std::string> locations = PlsLocations(text);
    if (locations.size() > 1000)
        __builtin_trap();
    for (const std::string& location : locations) {
        if (location.empty() || location.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos ||
            !IsUtf8(location))
            __builtin_trap();
        ResolveLocation(location, "/base/");
    }
    return 0;
}

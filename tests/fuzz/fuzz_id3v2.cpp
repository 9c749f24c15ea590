// Tag bytes from any file: the ID3v2 frame walk and the ID3v1 record must
// stay inside the block and give valid UTF-8, whatever the sizes claim.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/TextEncoding.h"
#include "playback/Id3v1.h"
#include "playback/Id3v2.h"
#include "playback/TagReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Copied so that the sanitizer sees the exact end of the block.
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    TagBlocks blocks;
    blocks.id3v2 = bytes;
    for (const char* name : {"TITLE", "ARTIST", "ALBUM", "YEAR", "DATE", "TRACK", "GENRE", "COMMENT"}) {
        if (!IsValidUtf8(GetTag(blocks, name)))
            __builtin_trap();
    }
    // Every frame id the walk meets, looked up again: the first hit must decode the same way.
    Id3v2Layout layout;
    if (LocateId3v2(bytes, &layout)) {
        if (layout.end > bytes.size() || layout.framesStart > layout.end)
            __builtin_trap();
        std::size_t at = layout.framesStart;
        Id3v2Frame frame;
        const std::string_view area = std::string_view(bytes).substr(0, layout.end);
        while (NextId3v2Frame(area, layout.version, &at, &frame)) {
            if (frame.data.empty() || at > area.size())
                __builtin_trap();
            if (!IsValidUtf8(Id3v2FrameText(bytes, frame.id)))
                __builtin_trap();
        }
    }
    Id3v1Fields v1;
    if (ReadId3v1(bytes, &v1)) {
        for (const std::string* field : {&v1.title, &v1.artist, &v1.album, &v1.year, &v1.comment}) {
            if (!IsValidUtf8(*field) || field->find('\0') != std::string::npos)
                __builtin_trap();
        }
    }
    return 0;
}

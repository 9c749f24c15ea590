// Chapter tags from any file: the Vorbis comment reader and the ID3v2 CHAP
// walk must stay inside their blocks and give usable chapters, and the
// chapter keys must cope with whatever list comes out.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/TextEncoding.h"
#include "playback/Chapters.h"
#include "playback/TimeText.h"

namespace {

void Check(const std::vector<Chapter>& chapters, bool sorted)
{
    for (std::size_t i = 0; i < chapters.size(); ++i) {
        if (!std::isfinite(chapters[i].start) || chapters[i].title.empty() || !IsValidUtf8(chapters[i].title))
            __builtin_trap();
        if (sorted && i > 0 && chapters[i].start < chapters[i - 1].start)
            __builtin_trap();
    }
    for (const double position : {-1.0, 0.0, 2.5, 1e9}) {
        const ChapterMove next = NextChapterMove(chapters, position);
        if (next.moved && !(next.target > position + 0.5))
            __builtin_trap();
        const ChapterMove previous = PreviousChapterMove(chapters, position);
        if (previous.moved != !chapters.empty() || !std::isfinite(previous.target))
            __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    Check(VorbisChapters(bytes), false);
    Check(Id3v2Chapters(bytes), true);
    TagBlocks blocks;
    blocks.vorbis = bytes;
    blocks.id3v2 = bytes;
    Check(ReadChapters(blocks), false);
    if (!std::isfinite(ParseChapterTime(bytes)) || !std::isfinite(ParseJumpTime(bytes)))
        __builtin_trap();
    return 0;
}

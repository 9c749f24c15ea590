#include "playback/Chapters.h"

#include <algorithm>
#include <map>

#include "platform/TextEncoding.h"
#include "i18n/Translations.h"
#include "playback/Id3v2.h"
#include "playback/TimeText.h"

namespace {

constexpr double kNextChapterMargin = 0.5;
constexpr double kRestartChapterAfter = 3.0;

std::string NumberedTitle(long long number)
{
    return "Chapter " + std::to_string(number);
}

// The title of the first TIT2 frame among a CHAP frame's embedded frames.
std::string EmbeddedTitle(std::string_view area, int version)
{
    std::size_t at = 0;
    Id3v2Frame frame;
    while (NextId3v2Frame(area, version, &at, &frame)) {
        if (frame.id != "TIT2" || frame.data.size() <= 1)
            continue;
        std::string title;
        DecodeId3v2Text(static_cast<unsigned char>(frame.data[0]), frame.data.substr(1), &title);
        return title;  // an unknown encoding ends the walk untitled
    }
    return {};
}

ChapterMove MoveTo(const std::vector<Chapter>& chapters, std::size_t index)
{
    ChapterMove move;
    move.moved = true;
    move.target = chapters[index].start;
    move.announcement = ChapterAnnouncement(index, chapters[index].title);
    return move;
}

}  // namespace

std::vector<Chapter> VorbisChapters(std::string_view block)
{
    struct Entry {
        std::string name;
        double start = 0;
    };
    std::map<long long, Entry> entries;  // ordered by the comment's number
    ForEachListText(block, [&](std::string_view text) {
        if (!StartsWithIgnoreCase(text, "CHAPTER"))
            return true;
        std::size_t at = 7;
        long long number = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && number <= 100000000) {
            number = number * 10 + (text[at] - '0');
            ++at;
        }
        if (at == 7 || number > 100000000 || (at < text.size() && text[at] >= '0' && text[at] <= '9'))
            return true;
        const std::string_view rest = text.substr(at);
        if (StartsWithIgnoreCase(rest, "NAME="))
            entries[number].name = SanitizeUtf8(rest.substr(5));
        else if (!rest.empty() && rest[0] == '=')
            entries[number].start = ParseChapterTime(rest.substr(1));
        return true;
    });
    std::vector<Chapter> chapters;
    if (entries.empty())
        return chapters;
    // Most files count from 001; some writers count from 000, and their first
    // chapter must not be lost.
    const long long first = entries.begin()->first <= 1 ? entries.begin()->first : 1;
    const long long toOrdinal = first == 0 ? 1 : 0;
    for (const auto& [number, entry] : entries) {
        // A start of 0 only makes sense for the first chapter; elsewhere it is
        // a comment without a time.
        if (entry.start > 0 || number == first)
            chapters.push_back({entry.start, entry.name.empty() ? NumberedTitle(number + toOrdinal) : entry.name});
    }
    return chapters;
}

std::vector<Chapter> Id3v2Chapters(std::string_view tag)
{
    std::vector<Chapter> chapters;
    Id3v2Layout layout;
    if (!LocateId3v2(tag, &layout))
        return chapters;
    const std::string_view area = tag.substr(0, layout.end);
    std::size_t at = layout.framesStart;
    Id3v2Frame frame;
    while (NextId3v2Frame(area, layout.version, &at, &frame)) {
        if (frame.id != "CHAP")
            continue;
        // Element id, its zero, then start, end, start offset and end offset.
        const std::size_t zero = frame.data.find('\0');
        if (zero == std::string_view::npos || frame.data.size() - zero - 1 < 16)
            break;
        const auto* times = reinterpret_cast<const unsigned char*>(frame.data.data()) + zero + 1;
        Chapter chapter;
        chapter.start = ReadBigEndian32(times) / 1000.0;
        chapter.title = EmbeddedTitle(frame.data.substr(zero + 1 + 16), layout.version);
        if (chapter.title.empty())
            chapter.title = NumberedTitle(static_cast<long long>(chapters.size()) + 1);
        chapters.push_back(std::move(chapter));
    }
    std::stable_sort(chapters.begin(), chapters.end(),
                     [](const Chapter& a, const Chapter& b) { return a.start < b.start; });
    return chapters;
}

std::vector<Chapter> ReadChapters(const TagBlocks& blocks)
{
    std::vector<Chapter> chapters = VorbisChapters(blocks.vorbis);
    if (chapters.empty())
        chapters = Id3v2Chapters(blocks.id3v2);
    return chapters;
}

void SetSuppliedChapters(ChapterList& list, const std::vector<Chapter>& chapters)
{
    if (chapters.empty())
        return;
    list.chapters = chapters;
    list.supplied = true;
}

void ReadChapters(ChapterList& list, const TagBlocks* blocks)
{
    if (list.supplied) {
        list.supplied = false;
        return;
    }
    list.chapters.clear();
    if (blocks)
        list.chapters = ReadChapters(*blocks);
}

ChapterList g_chapters;

void SetSuppliedChapters(const std::vector<Chapter>& chapters)
{
    SetSuppliedChapters(g_chapters, chapters);
}

void ReadChapters(audio::Handle tagChannel)
{
    if (tagChannel == 0) {
        ReadChapters(g_chapters, nullptr);
        return;
    }
    const TagBlocks blocks = ReadTagBlocks(tagChannel);
    ReadChapters(g_chapters, &blocks);
}

void ClearChapters()
{
    if (!g_chapters.supplied)
        g_chapters.chapters.clear();
}

std::string ChapterAnnouncement(std::size_t index, const std::string& title)
{
    std::string text = TranslateUtf8("Chapter ") + std::to_string(index + 1);
    if (!title.empty())
        text += ": " + title;
    return text;
}

ChapterMove NextChapterMove(const std::vector<Chapter>& chapters, double position)
{
    for (std::size_t i = 0; i < chapters.size(); ++i) {
        if (chapters[i].start > position + kNextChapterMargin)
            return MoveTo(chapters, i);
    }
    return {};
}

ChapterMove PreviousChapterMove(const std::vector<Chapter>& chapters, double position)
{
    if (chapters.empty())
        return {};
    std::size_t count = 0;  // chapters starting at or before position, in list order
    while (count < chapters.size() && chapters[count].start <= position)
        ++count;
    ChapterMove move;
    move.moved = true;
    if (count == 0)
        return move;  // before the first chapter: back to 0, silently
    const std::size_t current = count - 1;
    if (position - chapters[current].start > kRestartChapterAfter)
        return MoveTo(chapters, current);
    if (current > 0)
        return MoveTo(chapters, current - 1);
    move.announcement = TranslateUtf8("Beginning");
    return move;
}

#pragma once
// Chapters of the current item: read from Vorbis chapter comments or ID3v2
// CHAP frames, or supplied by the podcast reader; and where the chapter keys
// go from a given position.
#include <string>
#include <string_view>
#include <vector>

#include "playback/TagBlocks.h"

struct Chapter {
    double start = 0;    // seconds
    std::string title;
};

// The chapters of the Vorbis comments, else of the ID3v2 tag (sorted by start).
std::vector<Chapter> ReadChapters(const TagBlocks& blocks);

// CHAPTERnnn=time and CHAPTERnnnNAME=name comments, in the order of nnn
// (counted from 001, or from 000 when there is a CHAPTER000); entries after
// the first need a start above 0.
std::vector<Chapter> VorbisChapters(std::string_view block);
// CHAP frames with their embedded TIT2 titles, sorted by start. A malformed
// frame ends the walk; the chapters found before it remain.
std::vector<Chapter> Id3v2Chapters(std::string_view tag);

// The item's list, and whether it was supplied for the item about to open.
struct ChapterList {
    std::vector<Chapter> chapters;
    bool supplied = false;
};

// Installs a list for the next open only; an empty list changes nothing.
void SetSuppliedChapters(ChapterList& list, const std::vector<Chapter>& chapters);
// After an item opens: a supplied list is kept (once), else the list is read
// from the blocks; blocks is null when nothing is open.
void ReadChapters(ChapterList& list, const TagBlocks* blocks);

// The current item's chapters. UI thread only.
extern ChapterList g_chapters;

// The same three on g_chapters, for the playback session and the podcast
// reader. ReadChapters reads the tag channel's blocks (0: nothing open).
void SetSuppliedChapters(const std::vector<Chapter>& chapters);
void ReadChapters(audio::Handle tagChannel);
// Before an item opens: forgets the previous item's chapters, but not a list
// supplied for the item about to open.
void ClearChapters();

struct ChapterMove {
    bool moved = false;        // false: nothing to do
    double target = 0;         // where to seek
    std::string announcement;  // empty: say nothing
};

// The first chapter (in list order) starting more than 0.5 s after position.
ChapterMove NextChapterMove(const std::vector<Chapter>& chapters, double position);
// Back to the start of the current chapter when more than 3 s into it, else
// to the previous chapter, else to the beginning.
ChapterMove PreviousChapterMove(const std::vector<Chapter>& chapters, double position);

// "Chapter 3: Interview", or "Chapter 3" for an untitled chapter; index is 0-based.
std::string ChapterAnnouncement(std::size_t index, const std::string& title);

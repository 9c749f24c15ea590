#pragma once
// The seek units stepped by Left and Right: which are available, how the
// cycle moves between them, and what one step of a unit does.
#include <string>

#include "storage/Settings.h"

enum class SeekUnitKind { Seconds, Tracks, Chapter };

struct SeekUnit {
    const char* label;    // English; translated when spoken
    int amount;
    SeekUnitKind kind;
};

constexpr int kSeekUnitCount = 13;
constexpr int kChapterSeekUnit = 12;

// Units 0-12 ("1 second" .. "1 chapter"); nullptr outside.
const SeekUnit* SeekUnitAt(int index);

// What the available units depend on besides the settings.
struct SeekContext {
    int queueSize = 0;
    int chapterCount = 0;
};

// 0-11: enabled, and track units need two queue entries; 12: ChapterSeek on
// and the item has a chapter.
bool SeekUnitAvailable(const Settings::Movement& movement, int index, const SeekContext& context);

// The translated label of a unit; empty outside 0-12.
std::string SeekUnitLabel(int index);

struct SeekCycleResult {
    int unit = 1;
    std::string announcement;
};

// One step of the cycle from `current` in the direction of step (-1 or +1),
// without wrapping at either end.
SeekCycleResult CycleSeekUnitFrom(const Settings::Movement& movement, int current, int step,
                                  const SeekContext& context);

enum class SeekActionKind { None, PreviousChapter, NextChapter, JumpTracks, SeekSeconds };

struct SeekAction {
    SeekActionKind kind = SeekActionKind::None;
    int amount = 0;       // signed tracks or seconds
};

// What Left (-1) or Right (+1) does with unit `unit`; a track unit on a
// one-item queue steps by the first enabled seconds unit instead.
SeekAction SeekByAction(const Settings::Movement& movement, int unit, int direction, const SeekContext& context);

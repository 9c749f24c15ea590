#include "playback/SeekUnits.h"

#include "i18n/Translations.h"

namespace {

constexpr SeekUnit kSeekUnits[kSeekUnitCount] = {
    {"1 second", 1, SeekUnitKind::Seconds},     {"5 seconds", 5, SeekUnitKind::Seconds},
    {"10 seconds", 10, SeekUnitKind::Seconds},  {"30 seconds", 30, SeekUnitKind::Seconds},
    {"1 minute", 60, SeekUnitKind::Seconds},    {"5 minutes", 300, SeekUnitKind::Seconds},
    {"10 minutes", 600, SeekUnitKind::Seconds}, {"30 minutes", 1800, SeekUnitKind::Seconds},
    {"1 hour", 3600, SeekUnitKind::Seconds},    {"1 track", 1, SeekUnitKind::Tracks},
    {"5 tracks", 5, SeekUnitKind::Tracks},      {"10 tracks", 10, SeekUnitKind::Tracks},
    {"1 chapter", 1, SeekUnitKind::Chapter},
};

bool Enabled(const Settings::Movement& movement, int index)
{
    if (index == kChapterSeekUnit)
        return movement.chapterSeek;
    Settings::Movement copy = movement;  // the field lookup wants a mutable record
    const bool* field = SeekAmountField(copy, index);
    return field && *field;
}

}  // namespace

const SeekUnit* SeekUnitAt(int index)
{
    return index >= 0 && index < kSeekUnitCount ? &kSeekUnits[index] : nullptr;
}

bool SeekUnitAvailable(const Settings::Movement& movement, int index, const SeekContext& context)
{
    const SeekUnit* unit = SeekUnitAt(index);
    if (!unit || !Enabled(movement, index))
        return false;
    switch (unit->kind) {
    case SeekUnitKind::Tracks: return context.queueSize >= 2;
    case SeekUnitKind::Chapter: return context.chapterCount > 0;
    case SeekUnitKind::Seconds: return true;
    }
    return false;
}

std::string SeekUnitLabel(int index)
{
    const SeekUnit* unit = SeekUnitAt(index);
    return unit ? TranslateUtf8(unit->label) : std::string();
}

SeekCycleResult CycleSeekUnitFrom(const Settings::Movement& movement, int current, int step,
                                  const SeekContext& context)
{
    SeekCycleResult result;
    int available = 0;
    int first = -1;
    for (int i = 0; i < kSeekUnitCount; ++i) {
        if (SeekUnitAvailable(movement, i, context)) {
            ++available;
            if (first < 0)
                first = i;
        }
    }
    if (available == 0) {
        result.unit = 1;
        result.announcement = SeekUnitLabel(1);
        return result;
    }
    if (!SeekUnitAvailable(movement, current, context))
        current = first;
    result.unit = current;
    if (available > 1 && step != 0) {
        const int direction = step > 0 ? 1 : -1;
        for (int i = current + direction; i >= 0 && i < kSeekUnitCount; i += direction) {
            if (SeekUnitAvailable(movement, i, context)) {
                result.unit = i;
                break;
            }
        }
    }
    result.announcement = SeekUnitLabel(result.unit);
    return result;
}

SeekAction SeekByAction(const Settings::Movement& movement, int unit, int direction, const SeekContext& context)
{
    SeekAction action;
    const int d = direction < 0 ? -1 : 1;
    if (unit == kChapterSeekUnit) {
        if (context.chapterCount > 0)
            action.kind = d < 0 ? SeekActionKind::PreviousChapter : SeekActionKind::NextChapter;
        return action;
    }
    const SeekUnit* chosen = SeekUnitAt(unit);
    if (!chosen)
        chosen = SeekUnitAt(1);  // an out-of-range index steps by 5 seconds
    if (chosen->kind == SeekUnitKind::Tracks) {
        if (context.queueSize >= 2) {
            action.kind = SeekActionKind::JumpTracks;
            action.amount = d * chosen->amount;
            return action;
        }
        chosen = nullptr;
        for (int i = 0; i < kSeekUnitCount && !chosen; ++i) {
            if (kSeekUnits[i].kind == SeekUnitKind::Seconds && Enabled(movement, i))
                chosen = &kSeekUnits[i];
        }
        if (!chosen)
            return action;
    }
    action.kind = SeekActionKind::SeekSeconds;
    action.amount = d * chosen->amount;
    return action;
}

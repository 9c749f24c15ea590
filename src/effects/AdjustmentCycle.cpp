#include "effects/AdjustmentCycle.h"

#include "effects/EffectParams.h"
#include "effects/EffectSwitches.h"
#include "i18n/Translations.h"
#include "playback/PlaybackSession.h"
#include "speech/AnnouncementQueue.h"
#include "storage/Settings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

EffectCycle g_effectCycle;

namespace {

bool InCycle(const EffectParamInfo& row)
{
    if (row.group == kGroupStream)
        return StreamParamSwitch(row.id);
    if (row.group == kGroupReverb)
        return ReverbAlgorithmOfParam(row.id) == g_settings.effects.reverbAlgorithm;
    return DspEffectSwitch(row.group);
}

// The shared start of the adjusting commands: the id to work on, or -1 when
// nothing may change.
int ParamToAdjust()
{
    const std::vector<int> cycle = BuildCycle();
    if (cycle.empty())
        return -1;
    if (std::find(cycle.begin(), cycle.end(), g_effectCycle.currentParam) == cycle.end())
        g_effectCycle.currentParam = cycle.front();
    const int id = g_effectCycle.currentParam;
    if (g_session.live && (id == kParamTempo || id == kParamRate)) {
        Announce(TranslateUtf8("Not available for live streams"), true);
        return -1;
    }
    return id;
}

float Wrapped(float value, float minimum, float maximum, float period)
{
    while (value > maximum)
        value -= period;
    while (value < minimum)
        value += period;
    return value;
}

}  // namespace

std::vector<int> BuildCycle()
{
    std::vector<int> cycle;
    for (const EffectParamInfo& row : EffectParams) {
        if (InCycle(row))
            cycle.push_back(row.id);
    }
    return cycle;
}

float SteppedValue(int id, float value, int direction)
{
    const EffectParamInfo* row = FindEffectParam(id);
    if (!row)
        return value;
    const float maximum = EffectParamMaximum(id);
    if (id == kParamRate && g_settings.effects.rateStepMode == 1) {
        value = direction > 0 ? value * kSemitoneFactor : value / kSemitoneFactor;
        return std::clamp(value, row->minimum, maximum);
    }
    const float step = id == kParamVolume ? g_settings.playback.volumeStep : row->step;
    value += static_cast<float>(direction) * step;
    if (id == kParamSpatialRotation)
        return Wrapped(value, row->minimum, row->maximum, row->maximum - row->minimum);
    if (id == kParamSpatialMode || id == kParamSpatialRearCenter)
        return Wrapped(value, row->minimum, row->maximum, row->maximum - row->minimum + row->step);
    return std::clamp(value, row->minimum, maximum);
}

std::string ParamAnnouncementText(int id, float value)
{
    const EffectParamInfo* row = FindEffectParam(id);
    if (!row)
        return {};
    // Keeps "-0" out of the spoken text.
    double v = value == 0.0f ? 0.0 : static_cast<double>(value);
    char text[128];
    switch (id) {
    case kParamVolume:
        std::snprintf(text, sizeof text, "%s %d%s", row->name, static_cast<int>(v * 100.0 + 0.5), row->unit);
        break;
    case kParamPitch:
    case kParamEqBass:
    case kParamEqMid:
    case kParamEqTreble:
        if (std::fabs(v) <= 0.5)
            v = 0.0;
        std::snprintf(text, sizeof text, "%s %+.0f%s", row->name, v, row->unit);
        break;
    case kParamRate:
        std::snprintf(text, sizeof text, "%s %.2f%s", row->name, v, row->unit);
        break;
    case kParamSpatialMode:
        std::snprintf(text, sizeof text, "3D Mode: %s", v >= 0.5 ? "5.1 Surround" : "Binaural");
        break;
    case kParamSpatialRearCenter:
        std::snprintf(text, sizeof text, "3D Rear Speaker: %s", v >= 0.5 ? "On" : "Off");
        break;
    default:
        if (std::fabs(v) <= 0.5)
            v = 0.0;
        std::snprintf(text, sizeof text, "%s %.0f%s", row->name, v, row->unit);
        break;
    }
    return text;
}

void AnnounceParam()
{
    if (!g_settings.speech.effect)
        return;
    const int id = g_effectCycle.currentParam;
    const std::string text = ParamAnnouncementText(id, GetEffectParam(id));
    if (!text.empty())
        Announce(text, true);
}

void SelectNextParam(int direction)
{
    const std::vector<int> cycle = BuildCycle();
    if (cycle.empty()) {
        Announce(TranslateUtf8("No parameters available"), true);
        return;
    }
    const auto found = std::find(cycle.begin(), cycle.end(), g_effectCycle.currentParam);
    std::size_t position = 0;
    if (found != cycle.end()) {
        const long moved = static_cast<long>(found - cycle.begin()) + (direction > 0 ? 1 : direction < 0 ? -1 : 0);
        position = static_cast<std::size_t>(std::clamp(moved, 0L, static_cast<long>(cycle.size()) - 1));
    }
    g_effectCycle.currentParam = cycle[position];
    AnnounceParam();
}

void AdjustParam(int direction)
{
    const int id = ParamToAdjust();
    if (id < 0)
        return;
    SetEffectParam(id, SteppedValue(id, GetEffectParam(id), direction));
    AnnounceParam();
}

void ResetParam()
{
    const int id = ParamToAdjust();
    if (id < 0)
        return;
    SetEffectParam(id, FindEffectParam(id)->defaultValue);
    AnnounceParam();
}

void ParamToMinimum()
{
    const int id = ParamToAdjust();
    if (id < 0)
        return;
    SetEffectParam(id, FindEffectParam(id)->minimum);
    AnnounceParam();
}

void ParamToMaximum()
{
    const int id = ParamToAdjust();
    if (id < 0)
        return;
    SetEffectParam(id, EffectParamMaximum(id));
    AnnounceParam();
}

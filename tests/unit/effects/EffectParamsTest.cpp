// The parameter table, the clamping setter and the values it keeps.
#include "effects/EffectParams.h"

#include "EffectsTestSupport.h"
#include "storage/Settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

class EffectParamsTest : public ::testing::Test {
protected:
    SpokenTexts spoken;
};

}  // namespace

TEST_F(EffectParamsTest, RowsAreConsistentAndMatchTheStoredSettings)
{
    const Settings defaults;
    Settings::DspParams params;
    for (int id = 0; id < kEffectParamCount; ++id) {
        const EffectParamInfo& row = EffectParams[id];
        SCOPED_TRACE(row.key);
        EXPECT_EQ(row.id, id);
        EXPECT_LT(row.minimum, row.maximum);
        EXPECT_GT(row.step, 0.0f);
        EXPECT_GE(row.defaultValue, row.minimum);
        EXPECT_LE(row.defaultValue, row.maximum);
        EXPECT_EQ(row.group == kGroupStream, id < 4);
        if (id >= 4) {
            // The settings store and this table must agree on key and default.
            ASSERT_NE(DspParamKey(id), nullptr);
            EXPECT_STREQ(DspParamKey(id), row.key);
            EXPECT_FLOAT_EQ(*DspParamField(params, id), row.defaultValue);
        }
    }
    EXPECT_FLOAT_EQ(EffectParams[kParamVolume].defaultValue, defaults.playback.volume);
    EXPECT_FLOAT_EQ(EffectParams[kParamPitch].defaultValue, defaults.playback.pitch);
    EXPECT_FLOAT_EQ(EffectParams[kParamTempo].defaultValue, defaults.playback.tempo);
    EXPECT_FLOAT_EQ(EffectParams[kParamRate].defaultValue, defaults.playback.rate);
    EXPECT_EQ(FindEffectParam(-1), nullptr);
    EXPECT_EQ(FindEffectParam(kEffectParamCount), nullptr);
}

TEST_F(EffectParamsTest, SelectedRowsHoldTheirLimitsStepsAndGroups)
{
    struct Row { int id; const char* name; const char* unit; float min, max, step, def; int group; };
    const Row rows[] = {
        {0, "Volume", "%", 0, 4, 0.02f, 1, -1},
        {1, "Pitch", " semitones", -12, 12, 1, 0, -1},
        {2, "Tempo", "%", -75, 200, 5, 0, -1},
        {3, "Rate", "x", 0.25f, 4, 0.01f, 1, -1},
        {8, "DX8 HF Ratio", "", 0.001f, 0.999f, 0.1f, 0.5f, 0},
        {11, "I3DL2 Decay", "s", 0.1f, 20, 0.5f, 1.49f, 0},
        {14, "Echo Delay", "ms", 10, 2000, 50, 300, 1},
        {17, "EQ Preamp", "dB", -15, 0, 1, 0, 2},
        {22, "Comp Ratio", ":1", 1, 20, 1, 4, 3},
        {23, "Comp Attack", "ms", 0.01f, 500, 10, 20, 3},
        {26, "Stereo Width", "%", 0, 200, 10, 100, 4},
        {27, "Center Cancel", "%", -100, 100, 10, 0, 5},
        {29, "Conv Gain", "dB", -20, 20, 1, 0, 6},
        {31, "3D Width", " deg", 15, 90, 5, 45, 7},
        {32, "3D Rotation", " deg", -180, 180, 5, 0, 7},
        {34, "3D Rear Speaker", "", 0, 1, 1, 1, 7},
        {37, "3D Listener Z", "", -50, 50, 1, 0, 7},
    };
    for (const Row& r : rows) {
        const EffectParamInfo& row = EffectParams[r.id];
        SCOPED_TRACE(r.name);
        EXPECT_STREQ(row.name, r.name);
        EXPECT_STREQ(row.unit, r.unit);
        EXPECT_FLOAT_EQ(row.minimum, r.min);
        EXPECT_FLOAT_EQ(row.maximum, r.max);
        EXPECT_FLOAT_EQ(row.step, r.step);
        EXPECT_FLOAT_EQ(row.defaultValue, r.def);
        EXPECT_EQ(row.group, r.group);
    }
    const int algorithmOf[][2] = {{3, 0}, {4, 1}, {6, 1}, {7, 2}, {9, 2}, {10, 3}, {13, 3}, {14, 0}};
    for (const auto& [id, algorithm] : algorithmOf)
        EXPECT_EQ(ReverbAlgorithmOfParam(id), algorithm) << id;
}

TEST_F(EffectParamsTest, SetEffectParamClampsAndStoresWhereTheSaveReadsIt)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case { bool amplify; int id; float value; float expected; };
    const Case cases[] = {
        {false, 0, 1.5f, 1.0f},      // no amplification: volume stops at 100 %
        {true, 0, 1.5f, 1.5f},
        {true, 0, 9.0f, 4.0f},
        {false, 0, -0.5f, 0.0f},
        {false, 1, 13.0f, 12.0f},
        {false, 2, -80.0f, -75.0f},
        {false, 3, 0.1f, 0.25f},
        {false, 14, 5000.0f, 2000.0f},
        {false, 23, 0.0f, 0.01f},
        {false, 32, 200.0f, 180.0f},  // only stepping wraps rotation
        {false, 18, 6.0f, 6.0f},
        {false, 18, nan, 0.0f},       // NaN falls back to the default
        {false, 0, nan, 1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "id " << c.id << " value " << c.value);
        g_settings.playback.allowAmplify = c.amplify;
        SetEffectParam(c.id, c.value);
        EXPECT_FLOAT_EQ(GetEffectParam(c.id), c.expected);
        EXPECT_FLOAT_EQ(g_effectValues[c.id].load(), c.expected);
        if (c.id >= 4) {
            EXPECT_FLOAT_EQ(*DspParamField(g_settings.dspParams, c.id), c.expected);
        }
    }
    EXPECT_FLOAT_EQ(g_settings.playback.volume, 1.0f);
    EXPECT_FLOAT_EQ(g_settings.playback.pitch, 12.0f);
    EXPECT_FLOAT_EQ(g_settings.playback.tempo, -75.0f);
    EXPECT_FLOAT_EQ(g_settings.playback.rate, 0.25f);
}

TEST_F(EffectParamsTest, StreamParametersAreReadFromTheSettingsNotTheirSlots)
{
    // Another part may change the settings directly (Ctrl+Up, the Options
    // dialog); the slot only mirrors the last SetEffectParam.
    SetEffectParam(kParamPitch, 2.0f);
    g_settings.playback.pitch = -4.0f;
    EXPECT_FLOAT_EQ(GetEffectParam(kParamPitch), -4.0f);
    EXPECT_FLOAT_EQ(g_effectValues[kParamPitch].load(), 2.0f);

    const float before = g_effectValues[5].load();
    SetEffectParam(-1, 50.0f);
    SetEffectParam(kEffectParamCount, 50.0f);
    EXPECT_FLOAT_EQ(GetEffectParam(-1), 0.0f);
    EXPECT_FLOAT_EQ(GetEffectParam(kEffectParamCount), 0.0f);
    EXPECT_FLOAT_EQ(g_effectValues[5].load(), before);
}

TEST_F(EffectParamsTest, LoadingFromSettingsClampsStoredValuesAndKeepsTheRest)
{
    g_settings.dspParams.echoDelay = 99999.0f;  // a hand-edited file
    g_settings.dspParams.compRatio = -3.0f;
    g_settings.dspParams.spatialRotation = -90.0f;
    g_effectValues[35].store(12.0f);
    LoadEffectValuesFromSettings();
    EXPECT_FLOAT_EQ(GetEffectParam(14), 2000.0f);
    EXPECT_FLOAT_EQ(g_settings.dspParams.echoDelay, 2000.0f);
    EXPECT_FLOAT_EQ(GetEffectParam(22), 1.0f);
    EXPECT_FLOAT_EQ(GetEffectParam(32), -90.0f);
    EXPECT_FLOAT_EQ(GetEffectParam(35), 0.0f);
    EXPECT_FLOAT_EQ(g_effectValues[kParamRate].load(), 1.0f);
}

// Effect presets in a real settings file on disk: saving, loading, deleting,
// the name rules and hand-edited files.
#include "effects/Presets.h"

#include "../audio/AudioTestSupport.h"
#include "../effects/EffectsTestSupport.h"
#include "effects/EffectChain.h"
#include "effects/EffectParams.h"
#include "effects/EffectSwitches.h"
#include "storage/IniDocument.h"
#include "storage/IniFile.h"
#include "storage/Settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>

namespace {

// A value inside the parameter's range and away from its default.
float DistinctValue(int id)
{
    const EffectParamInfo& row = EffectParams[id];
    float v = row.minimum + 0.37f * (row.maximum - row.minimum);
    if (std::fabs(v - row.defaultValue) < 0.05f * (row.maximum - row.minimum))
        v = row.minimum + 0.71f * (row.maximum - row.minimum);
    return v;
}

// Every switch and value away from the defaults: what the tests save.
void SetDistinctState()
{
    g_settings.effects.volume = false;
    g_settings.effects.pitch = true;
    g_settings.effects.tempo = false;
    g_settings.effects.rate = true;
    SetReverbAlgorithm(2);
    for (int n = 1; n < 8; ++n)
        SetDspSwitch(n, n % 2 == 1);
    for (int id = 1; id < kEffectParamCount; ++id)
        SetEffectParam(id, DistinctValue(id));
}

// The opposite of SetDistinctState for every switch, defaults for values.
void SetOppositeState()
{
    g_settings = Settings{};
    ResetEffectValues();
    g_settings.effects.volume = true;
    g_settings.effects.pitch = false;
    g_settings.effects.tempo = true;
    g_settings.effects.rate = false;
    for (int n = 1; n < 8; ++n)
        SetDspSwitch(n, n % 2 == 0);
}

void ExpectDistinctState()
{
    EXPECT_FALSE(StreamParamSwitch(0));
    EXPECT_TRUE(StreamParamSwitch(1));
    EXPECT_FALSE(StreamParamSwitch(2));
    EXPECT_TRUE(StreamParamSwitch(3));
    EXPECT_EQ(g_settings.effects.reverbAlgorithm, 2);
    EXPECT_TRUE(g_settings.dspEffects.reverb);
    for (int n = 1; n < 8; ++n)
        EXPECT_EQ(DspEffectSwitch(n), n % 2 == 1) << "switch " << n;
    for (int id = 1; id < kEffectParamCount; ++id) {
        const float want = DistinctValue(id);
        EXPECT_NEAR(GetEffectParam(id), want, 1e-4f * std::max(1.0f, std::fabs(want))) << EffectParams[id].key;
        EXPECT_NEAR(g_effectValues[id].load(), want, 1e-4f * std::max(1.0f, std::fabs(want))) << EffectParams[id].key;
    }
    EXPECT_FLOAT_EQ(g_settings.playback.pitch, DistinctValue(kParamPitch));
    EXPECT_FLOAT_EQ(g_settings.playback.tempo, DistinctValue(kParamTempo));
    EXPECT_FLOAT_EQ(g_settings.playback.rate, DistinctValue(kParamRate));
    EXPECT_FLOAT_EQ(g_settings.dspParams.compRatio, DistinctValue(22));
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool WriteText(const std::string& path, const std::string& text)
{
    return WriteFileAtomically(path, text);
}

class PresetsTest : public ::testing::Test {
protected:
    SpokenTexts spoken;
    audiotest::TempDir dir;
    std::string ini = dir.File("Corvane.ini");
};

}  // namespace

TEST_F(PresetsTest, SavedPresetLoadsEveryValueAndSwitchBack)
{
    SetDistinctState();
    ASSERT_TRUE(SavePresetIn(ini, "Evening"));
    SetOppositeState();
    ASSERT_TRUE(LoadPresetFrom(ini, "Evening"));
    ExpectDistinctState();
    EXPECT_TRUE(spoken.Take().empty());  // the command speaks, not the loader
}

TEST_F(PresetsTest, FileLayoutKeepsTheKeyOrderAndFormats)
{
    ASSERT_TRUE(WriteText(ini, "[Playback]\nVolume=80\n"));
    SetDistinctState();
    ASSERT_TRUE(SavePresetIn(ini, "Evening"));

    const IniDocument doc = IniLoadFile(ini);
    std::vector<std::string> expectedKeys;
    for (int n = 0; n < 4; ++n)
        expectedKeys.push_back("StreamEnabled" + std::to_string(n));
    for (const char* key : {"Pitch", "Tempo", "Rate", "ReverbAlgorithm"})
        expectedKeys.push_back(key);
    for (int n = 0; n < 8; ++n)
        expectedKeys.push_back("DSPEnabled" + std::to_string(n));
    for (int id = 1; id <= 37; ++id)
        expectedKeys.push_back("Param" + std::to_string(id));
    std::vector<std::string> keys;
    for (const auto& [key, value] : IniSectionEntries(doc, "Preset_Evening"))
        keys.push_back(key);
    EXPECT_EQ(keys, expectedKeys);

    const std::string pitch = IniFormatDouble(DistinctValue(kParamPitch), 4);
    EXPECT_EQ(*IniFindValue(doc, "Preset_Evening", "Pitch"), pitch);
    EXPECT_EQ(*IniFindValue(doc, "Preset_Evening", "Param1"), IniFormatDouble(DistinctValue(kParamPitch), 6));
    EXPECT_EQ(*IniFindValue(doc, "Preset_Evening", "StreamEnabled1"), "1");
    EXPECT_EQ(*IniFindValue(doc, "Preset_Evening", "ReverbAlgorithm"), "2");
    EXPECT_EQ(*IniFindValue(doc, "Preset_Evening", "DSPEnabled0"), "1");
    EXPECT_EQ(*IniFindValue(doc, "Preset_Evening", "DSPEnabled2"), "0");
    EXPECT_EQ(*IniFindValue(doc, "Presets", "Count"), "1");
    EXPECT_EQ(*IniFindValue(doc, "Presets", "Name0"), "Evening");
    EXPECT_EQ(*IniFindValue(doc, "Playback", "Volume"), "80");  // the rest of the file stays
}

TEST_F(PresetsTest, StreamValuesChangedOutsideTheSetterAreWhatIsSaved)
{
    // As after start-up: the settings hold pitch 5 but the setter never ran.
    g_settings.playback.pitch = 5.0f;
    g_settings.playback.rate = 1.5f;
    ASSERT_TRUE(SavePresetIn(ini, "Loaded"));
    SetOppositeState();
    ASSERT_TRUE(LoadPresetFrom(ini, "Loaded"));
    EXPECT_FLOAT_EQ(g_settings.playback.pitch, 5.0f);
    EXPECT_FLOAT_EQ(g_settings.playback.rate, 1.5f);
    EXPECT_FLOAT_EQ(g_effectValues[kParamPitch].load(), 5.0f);
}

TEST_F(PresetsTest, SavingAnExistingNameOverwritesAndKeepsTheList)
{
    ASSERT_TRUE(SavePresetIn(ini, "A"));
    ASSERT_TRUE(SavePresetIn(ini, "B"));
    SetDistinctState();
    ASSERT_TRUE(SavePresetIn(ini, "A"));
    EXPECT_EQ(ListPresetsIn(ini), (std::vector<std::string>{"A", "B"}));
    SetOppositeState();
    ASSERT_TRUE(LoadPresetFrom(ini, "A"));
    ExpectDistinctState();
}

TEST_F(PresetsTest, TypedNamesAreCutTrimmedAndMadeStorable)
{
    const std::string x130(130, 'x');
    std::string e130;
    for (int i = 0; i < 130; ++i)
        e130 += "\xC3\xA9";  // é: two bytes, one character
    struct Case { std::string typed, stored; };
    const Case cases[] = {
        {"My [live] mix", "My _live_ mix"},
        {" \t padded \t", "padded"},
        {"a=b", "a_b"},
        {"line\r\nbreak", "line__break"},
        {"bell\x07", "bell_"},
        {"   ", ""},
        {"\t", ""},
        {x130, x130.substr(0, 127)},
        {e130, e130.substr(0, 254)},
        {"inner  \tgap", "inner  \tgap"},
        {"Café ünïcödé", "Café ünïcödé"},
        {"\"quoted\"", "\"quoted\""},
        {";semicolon", ";semicolon"},
        {"Rock & Roll", "Rock & Roll"},
        {"Case", "Case"},
    };
    std::vector<std::string> saved;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(SanitizePresetName(c.typed), c.stored);
        if (c.stored.empty()) {
            EXPECT_FALSE(SavePresetIn(ini, c.stored));
            continue;
        }
        ASSERT_TRUE(SavePresetIn(ini, c.stored));
        saved.push_back(c.stored);
    }
    // Every stored name reads back exactly and names its own section.
    EXPECT_EQ(ListPresetsIn(ini), saved);
    for (const std::string& name : saved)
        EXPECT_TRUE(LoadPresetFrom(ini, name)) << name;
    EXPECT_NE(IniFindValue(IniLoadFile(ini), "Preset_My _live_ mix", "Pitch"), nullptr);
}

TEST_F(PresetsTest, NamesTheFileCannotHoldAreRefusedAndChangeNothing)
{
    ASSERT_TRUE(SavePresetIn(ini, "Keep"));
    const std::string before = ReadText(ini);
    for (const std::string& name : std::vector<std::string>{"", "a]b", "a\nb", " lead", "trail ", std::string(128, 'y')}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(SavePresetIn(ini, name));
        EXPECT_FALSE(LoadPresetFrom(ini, name));
    }
    EXPECT_EQ(ReadText(ini), before);
}

TEST_F(PresetsTest, DeletingTheMiddlePresetRewritesTheList)
{
    for (const char* name : {"One", "Two", "Three"})
        ASSERT_TRUE(SavePresetIn(ini, name));
    ASSERT_TRUE(DeletePresetIn(ini, "Two"));

    const IniDocument doc = IniLoadFile(ini);
    EXPECT_EQ(IniGetInt(doc, "Presets", "Count", -1), 2);
    EXPECT_EQ(*IniFindValue(doc, "Presets", "Name0"), "One");
    EXPECT_EQ(*IniFindValue(doc, "Presets", "Name1"), "Three");
    EXPECT_EQ(IniFindValue(doc, "Presets", "Name2"), nullptr);
    EXPECT_EQ(IniSectionEntries(doc, "Preset_Two").size(), 0u);
    EXPECT_FALSE(LoadPresetFrom(ini, "Two"));
    EXPECT_TRUE(LoadPresetFrom(ini, "One"));
    EXPECT_TRUE(LoadPresetFrom(ini, "Three"));

    // An unknown name leaves the list alone and reports false.
    EXPECT_FALSE(DeletePresetIn(ini, "Nope"));
    EXPECT_FALSE(DeletePresetIn(ini, "one"));  // names compare exactly
    EXPECT_EQ(ListPresetsIn(ini), (std::vector<std::string>{"One", "Three"}));
}

TEST_F(PresetsTest, DeletingOneOfTwoNamesDifferingInCaseKeepsTheOther)
{
    // Section names ignore case, so both names share one section.
    SetDistinctState();
    ASSERT_TRUE(SavePresetIn(ini, "Mix"));
    ASSERT_TRUE(SavePresetIn(ini, "mix"));
    ASSERT_TRUE(DeletePresetIn(ini, "mix"));
    EXPECT_EQ(ListPresetsIn(ini), std::vector<std::string>{"Mix"});
    SetOppositeState();
    ASSERT_TRUE(LoadPresetFrom(ini, "Mix"));
    ExpectDistinctState();
}

TEST_F(PresetsTest, HandEditedListsAreReadSafely)
{
    struct Case { const char* file; std::vector<std::string> names; };
    const Case cases[] = {
        {"", {}},
        {"[Presets]\nCount=2\nName0=A\nName1=B\n", {"A", "B"}},
        {"[Presets]\nName0=A\n", {}},                                       // no Count
        {"[Presets]\nCount=-4\nName0=A\n", {}},
        {"[Presets]\nCount=abc\nName0=A\n", {}},
        {"[Presets]\nCount=3\nName0=A\nName2=C\n", {"A", "C"}},             // a gap
        {"[Presets]\nCount=3\nName0=A\nName1=\nName2=C\n", {"A", "C"}},     // an empty name
        {"[Presets]\nCount=1\nName0=A\nName1=B\n", {"A"}},                  // beyond Count
        {"[Presets]\nCount=2000000000\nName1=B\nName0=A\n", {"A", "B"}},    // huge Count, any order
        {"[Presets]\nCount=2\nName0=A\nNAME0=X\nname1=B\nName01=Z\n", {"A", "B"}},
        {"[presets]\ncount=1\nname0=A\n", {"A"}},
        {"garbage\n[Presets\nCount=1\n", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        ASSERT_TRUE(WriteText(ini, c.file));
        EXPECT_EQ(ListPresetsIn(ini), c.names);
    }
    const std::string longName(300, 'n');
    ASSERT_TRUE(WriteText(ini, "[Presets]\nCount=1\nName0=" + longName + "\n"));
    EXPECT_EQ(ListPresetsIn(ini), std::vector<std::string>{longName.substr(0, 127)});
}

TEST_F(PresetsTest, WritingTheListRemovesOldNamesAndKeepsOtherLines)
{
    ASSERT_TRUE(WriteText(ini, "[Presets]\n; mine\nCount=3\nName0=A\nName1=B\nName2=C\nName7=Far\nOther=1\n"));
    ASSERT_TRUE(IniUpdateFile(ini, [](IniDocument& doc) { WritePresetList(doc, {"C"}); }));
    const IniDocument doc = IniLoadFile(ini);
    EXPECT_EQ(IniGetInt(doc, "Presets", "Count", -1), 1);
    EXPECT_EQ(*IniFindValue(doc, "Presets", "Name0"), "C");
    EXPECT_EQ(IniFindValue(doc, "Presets", "Name1"), nullptr);
    EXPECT_EQ(IniFindValue(doc, "Presets", "Name2"), nullptr);
    EXPECT_EQ(*IniFindValue(doc, "Presets", "Name7"), "Far");  // not one of the old Count
    EXPECT_EQ(*IniFindValue(doc, "Presets", "Other"), "1");
    EXPECT_NE(ReadText(ini).find("; mine"), std::string::npos);
}

TEST_F(PresetsTest, MalformedPresetValuesAreSkippedSafely)
{
    const EffectParamInfo& delay = EffectParams[14];
    const EffectParamInfo& ratio = EffectParams[22];
    // After SetOppositeState every parameter is at its default.
    struct Case {
        const char* key;
        const char* value;  // nullptr: the key is removed
        bool loads;
        std::function<void()> check;
    };
    const Case cases[] = {
        {"Param22", "", true, [&] { EXPECT_FLOAT_EQ(GetEffectParam(22), ratio.defaultValue); }},
        {"Param22", "   ", true, [&] { EXPECT_FLOAT_EQ(GetEffectParam(22), ratio.defaultValue); }},
        {"Param22", "abc", true, [&] { EXPECT_FLOAT_EQ(GetEffectParam(22), ratio.defaultValue); }},
        {"Param22", nullptr, true, [&] { EXPECT_FLOAT_EQ(GetEffectParam(22), ratio.defaultValue); }},
        {"Param14", "999999", true, [&] { EXPECT_FLOAT_EQ(GetEffectParam(14), delay.maximum); }},
        {"Param14", "-5", true, [&] { EXPECT_FLOAT_EQ(GetEffectParam(14), delay.minimum); }},
        {"Param3", "nan", true, [] { EXPECT_FLOAT_EQ(g_settings.playback.rate, 1.0f); }},
        {"Param3", "0", true, [] { EXPECT_FLOAT_EQ(g_settings.playback.rate, EffectParams[kParamRate].minimum); }},
        {"ReverbAlgorithm", "9", true, [] { EXPECT_EQ(g_settings.effects.reverbAlgorithm, 3); }},
        {"ReverbAlgorithm", "-3", true, [] {
             EXPECT_EQ(g_settings.effects.reverbAlgorithm, 0);
             EXPECT_FALSE(g_settings.dspEffects.reverb);
         }},
        {"ReverbAlgorithm", nullptr, true, [] { EXPECT_EQ(g_settings.effects.reverbAlgorithm, 0); }},
        {"DSPEnabled3", nullptr, true, [] { EXPECT_FALSE(DspEffectSwitch(3)); }},  // stays as it was
        {"StreamEnabled0", nullptr, true, [] { EXPECT_TRUE(StreamParamSwitch(0)); }},
        // Without its Pitch key a section is not a preset: nothing changes.
        {"Pitch", nullptr, false, [] {
             EXPECT_FLOAT_EQ(GetEffectParam(14), EffectParams[14].defaultValue);
             EXPECT_TRUE(StreamParamSwitch(0));
             EXPECT_EQ(g_settings.effects.reverbAlgorithm, 0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + (c.value ? c.value : "(removed)"));
        std::remove(ini.c_str());
        SetDistinctState();
        ASSERT_TRUE(SavePresetIn(ini, "Edited"));
        if (c.value) {
            ASSERT_TRUE(IniUpdateFile(ini, [&](IniDocument& doc) { IniSetString(doc, "Preset_Edited", c.key, c.value); }));
        } else {
            std::string text = ReadText(ini);
            const size_t at = text.find("\n" + std::string(c.key) + "=");
            ASSERT_NE(at, std::string::npos);
            text.erase(at + 1, text.find('\n', at + 1) - at);
            ASSERT_TRUE(WriteText(ini, text));
        }
        SetOppositeState();
        EXPECT_EQ(LoadPresetFrom(ini, "Edited"), c.loads);
        c.check();
    }
}

TEST_F(PresetsTest, ListedPresetWithoutASectionFailsAndChangesNothing)
{
    ASSERT_TRUE(WriteText(ini, "[Presets]\nCount=1\nName0=Ghost\n[Preset_Ghost]\n"));
    SetDistinctState();
    EXPECT_FALSE(LoadPresetFrom(ini, "Ghost"));
    EXPECT_FALSE(LoadPresetFrom(ini, "Absent"));
    EXPECT_FALSE(LoadPresetFrom(dir.File("missing.ini"), "Ghost"));
    ExpectDistinctState();
}

// The commands work on the program's own settings file, which for a test
// binary in the build tree sits beside it.
class PresetCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (SettingsFilePath().rfind(CORVANE_BINARY_DIR, 0) != 0)
            GTEST_SKIP() << "settings file outside the build tree: " << SettingsFilePath();
        std::remove(SettingsFilePath().c_str());
    }
    void TearDown() override { std::remove(SettingsFilePath().c_str()); }
    SpokenTexts spoken;
};

TEST_F(PresetCommandsTest, CommandsReachOnlyTheFirstHundredPresets)
{
    char name[16];
    for (int i = 0; i <= kMaxPresetMenuItems; ++i) {
        std::snprintf(name, sizeof name, "P%03d", i);
        ASSERT_TRUE(SavePreset(name));
    }
    ASSERT_EQ(ListPresets().size(), 101u);

    LoadPresetCommand(99);
    EXPECT_EQ(spoken.Take(), std::vector<std::string>{"Loaded preset P099"});
    for (int outside : {-1, 100, 7000}) {
        LoadPresetCommand(outside);
        DeletePresetCommand(outside);
    }
    EXPECT_TRUE(spoken.Take().empty());
    EXPECT_EQ(ListPresets().size(), 101u);

    // Deleting the first brings the 101st into the menu's range.
    DeletePresetCommand(0);
    EXPECT_EQ(spoken.Take(), std::vector<std::string>{"Deleted preset P000"});
    const std::vector<std::string> names = ListPresets();
    ASSERT_EQ(names.size(), 100u);
    EXPECT_EQ(names.front(), "P001");
    LoadPresetCommand(99);
    EXPECT_EQ(spoken.Take(), std::vector<std::string>{"Loaded preset P100"});
}

TEST_F(PresetCommandsTest, LoadCommandOnAListedPresetWithoutSectionSaysNothing)
{
    ASSERT_TRUE(WriteText(SettingsFilePath(), "[Presets]\nCount=1\nName0=Ghost\n"));
    LoadPresetCommand(0);
    EXPECT_TRUE(spoken.Take().empty());
    DeletePresetCommand(0);
    EXPECT_EQ(spoken.Take(), std::vector<std::string>{"Deleted preset Ghost"});
    EXPECT_TRUE(ListPresets().empty());
}

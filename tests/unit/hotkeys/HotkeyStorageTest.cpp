#include "hotkeys/Hotkeys.h"
#include "platform/Paths.h"
#include "storage/IniDocument.h"
#include "storage/IniFile.h"

#include "unit/settings/SettingsTestSupport.h"

#include <chrono>
#include <gtest/gtest.h>

namespace {

struct Combo {
    uint32_t modifiers;
    uint32_t vk;
    int32_t action;
    bool operator==(const Combo&) const = default;
};

std::vector<Combo> Combos(const HotkeyList& list)
{
    std::vector<Combo> combos;
    for (const HotkeyEntry& e : list.entries)
        combos.push_back({e.modifiers, e.vk, e.action});
    return combos;
}

TEST(HotkeyValue, ParsesExactlyThreeNumbersWithAKnownAction)
{
    struct Case {
        const char* text;
        bool ok;
        Combo combo;
    };
    const Case cases[] = {
        {"6,65,5", true, {6, 65, 5}},
        {"2,65,0", true, {2, 65, 0}},
        {"2,65,38", true, {2, 65, 38}},
        {"  3, 80,36 ", true, {3, 80, 36}},
        {"3 ,80,36", false, {}},      // a blank before a comma, as scanf
        {"+2,65,1", true, {2, 65, 1}},
        {"4294967295,4294967295,1", true, {4294967295u, 4294967295u, 1}},
        {"2,65,39", false, {}},       // one past the table
        {"2,65,-1", false, {}},
        {"2,65", false, {}},
        {"2,65,", false, {}},
        {"2,65,5,7", false, {}},      // four numbers
        {"2,65,5x", false, {}},
        {"-2,65,5", false, {}},       // modifiers are unsigned
        {"4294967296,65,5", false, {}},
        {"2,65,99999999999", false, {}},
        {"a,b,c", false, {}},
        {"2;65;5", false, {}},
        {"", false, {}},
    };
    for (const Case& c : cases) {
        HotkeyEntry entry;
        entry.id = 77;
        EXPECT_EQ(ParseHotkeyValue(c.text, entry), c.ok) << '"' << c.text << '"';
        if (c.ok) {
            EXPECT_EQ((Combo{entry.modifiers, entry.vk, entry.action}), c.combo) << c.text;
            EXPECT_EQ(FormatHotkeyValue(entry), std::to_string(c.combo.modifiers) + "," +
                                                    std::to_string(c.combo.vk) + "," +
                                                    std::to_string(c.combo.action));
        }
        EXPECT_EQ(entry.id, 77) << "parsing never touches the id";
    }
}

TEST(HotkeySection, ReadKeepsOrderDropsMalformedAndNumbersFromNextId)
{
    struct Case {
        const char* name;
        const char* file;
        bool enabled;
        std::vector<Combo> combos;
    };
    const Case cases[] = {
        {"no section", "[Playback]\nVolume=50\n", true, {}},
        {"disabled", "[Hotkeys]\nEnabled=0\nCount=1\nHotkey0=2,65,0\n", false, {{2, 65, 0}}},
        {"malformed dropped",
         "[Hotkeys]\nCount=5\nHotkey0=2,65,39\nHotkey1=2,65\nHotkey2=6,65,5\nHotkey3=junk\nHotkey4=3,80,36\n",
         true, {{6, 65, 5}, {3, 80, 36}}},
        {"keys past Count ignored", "[Hotkeys]\nCount=1\nHotkey0=2,65,0\nHotkey1=2,66,1\n", true, {{2, 65, 0}}},
        {"negative Count", "[Hotkeys]\nCount=-3\nHotkey0=2,65,0\n", true, {}},
        {"missing index skipped", "[Hotkeys]\nCount=3\nHotkey2=2,67,2\nHotkey0=2,65,0\n", true,
         {{2, 65, 0}, {2, 67, 2}}},
        {"key case ignored, padded index is another key",
         "[hotkeys]\ncount=2\nHOTKEY1=2,66,1\nHotkey01=2,70,3\n", true, {{2, 66, 1}}},
        {"first duplicate counts", "[Hotkeys]\nCount=1\nHotkey0=2,65,0\nhotkey0=2,66,1\n", true,
         {{2, 65, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HotkeyList list;
        list.nextHotkeyId = 10;
        list.entries.push_back({1, 2, 3, 4});  // replaced by the read
        ReadHotkeys(IniParse(c.file), list);
        EXPECT_EQ(list.hotkeysEnabled, c.enabled);
        EXPECT_EQ(Combos(list), c.combos);
        for (size_t i = 0; i < list.entries.size(); ++i)
            EXPECT_EQ(list.entries[i].id, static_cast<int32_t>(10 + i));
        EXPECT_EQ(list.nextHotkeyId, static_cast<int32_t>(10 + c.combos.size()));
    }
}

TEST(HotkeySection, HugeCountDoesNotWalkEveryIndex)
{
    HotkeyList list;
    const auto start = std::chrono::steady_clock::now();
    ReadHotkeys(IniParse("[Hotkeys]\nCount=2147483647\nHotkey2000000000=2,65,5\n"), list);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(Combos(list), (std::vector<Combo>{{2, 65, 5}}));
    EXPECT_LT(elapsed, std::chrono::seconds(1));
}

TEST(HotkeySection, IdsAreNeverReusedWithinARun)
{
    HotkeyList list;
    const IniDocument doc = IniParse("[Hotkeys]\nCount=2\nHotkey0=2,65,0\nHotkey1=2,66,1\n");
    ReadHotkeys(doc, list);
    EXPECT_EQ(AddHotkey(list, 4, 'C', 2), 3);
    ReadHotkeys(doc, list);  // a reload numbers on
    ASSERT_EQ(list.entries.size(), 2u);
    EXPECT_EQ(list.entries[0].id, 4);
    EXPECT_EQ(list.entries[1].id, 5);
    EXPECT_EQ(list.nextHotkeyId, 6);
}

class HotkeyFile : public TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        saved = g_hotkeys;
        g_hotkeys = HotkeyList{};
    }
    void TearDown() override
    {
        g_hotkeys = saved;
        TempFolderTest::TearDown();
    }
    HotkeyList saved;
};

TEST_F(HotkeyFile, SaveRewritesOnlyTheHotkeysAndRoundTrips)
{
    const std::string path = Path("Corvane.ini");
    WriteBytes(path,
               "; kept comment\n"
               "[Playback]\nVolume=42\n"
               "[Hotkeys]\nEnabled=1\nCount=3\nHotkey0=2,65,39\nHotkey1=6,65,5\nHotkey2=3,80,36\n"
               "[Preset_Night]\nPitch=1.0000\n");
    LoadHotkeysFrom(path);
    ASSERT_EQ(Combos(g_hotkeys), (std::vector<Combo>{{6, 65, 5}, {3, 80, 36}}));

    g_hotkeys.hotkeysEnabled = false;
    ASSERT_TRUE(SaveHotkeysTo(path));

    const IniDocument doc = IniLoadFile(path);
    EXPECT_EQ(IniGetString(doc, "Playback", "Volume", "", 64), "42");
    EXPECT_EQ(IniGetString(doc, "Preset_Night", "Pitch", "", 64), "1.0000");
    EXPECT_NE(ReadBytes(path).find("; kept comment"), std::string::npos);
    EXPECT_EQ(IniGetString(doc, "Hotkeys", "Enabled", "", 64), "0");
    EXPECT_EQ(IniGetString(doc, "Hotkeys", "Count", "", 64), "2");
    // The dropped entry is gone: its slot now holds the next valid one.
    EXPECT_EQ(IniGetString(doc, "Hotkeys", "Hotkey0", "", 64), "6,65,5");
    EXPECT_EQ(IniGetString(doc, "Hotkeys", "Hotkey1", "", 64), "3,80,36");
    // The key past the new Count stays but no longer counts.
    EXPECT_EQ(IniGetString(doc, "Hotkeys", "Hotkey2", "", 64), "3,80,36");

    HotkeyList reloaded;
    ReadHotkeys(doc, reloaded);
    EXPECT_FALSE(reloaded.hotkeysEnabled);
    EXPECT_EQ(Combos(reloaded), Combos(g_hotkeys));
}

TEST_F(HotkeyFile, EmptyListSavesAZeroCountAndMissingFileLoadsDefaults)
{
    const std::string path = Path("Corvane.ini");
    g_hotkeys.entries.push_back({1, 2, 65, 0});
    LoadHotkeysFrom(path);  // no file yet
    EXPECT_TRUE(g_hotkeys.hotkeysEnabled);
    EXPECT_TRUE(g_hotkeys.entries.empty());

    ASSERT_TRUE(SaveHotkeysTo(path));
    HotkeyList reloaded;
    reloaded.hotkeysEnabled = false;
    ReadHotkeys(IniLoadFile(path), reloaded);
    EXPECT_TRUE(reloaded.hotkeysEnabled);
    EXPECT_TRUE(reloaded.entries.empty());
    EXPECT_EQ(IniGetString(IniLoadFile(path), "Hotkeys", "Count", "", 64), "0");
}

TEST_F(HotkeyFile, FailedSaveLeavesTheFileAsItWas)
{
    // A folder where the file should be: it cannot be replaced.
    const std::string blocked = Path("blocked.ini");
    ASSERT_TRUE(MakeDirectories(blocked));
    AddHotkey(g_hotkeys, 2, 'A', 0);
    EXPECT_FALSE(SaveHotkeysTo(blocked));
    EXPECT_TRUE(IsDirectory(blocked));
    EXPECT_FALSE(SaveHotkeysTo(Path("missing/folder/Corvane.ini")));
}

}  // namespace

#include "app/AppMessages.h"
#include "hotkeys/HotkeyActions.h"
#include "hotkeys/Hotkeys.h"
#include "hotkeys/KeyNames.h"

#include <X11/XF86keysym.h>
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The stored action index is part of the settings file: every row pinned.
TEST(HotkeyActionTable, IndexesMapToTheirCommandsAndNames)
{
    struct Row {
        int command;
        const char* name;
    };
    const Row expected[] = {
        {201, "Play/Pause"}, {212, "Play"}, {213, "Pause"}, {202, "Stop"},
        {203, "Previous Track"}, {204, "Next Track"}, {205, "Seek Backward"},
        {206, "Seek Forward"}, {220, "Previous Seek Unit"}, {221, "Next Seek Unit"},
        {250, "Speak Seek Unit"}, {207, "Volume Up"}, {208, "Volume Down"},
        {209, "Speak Elapsed"}, {210, "Speak Remaining"}, {211, "Speak Total"},
        {214, "Speak Now Playing"}, {230, "Previous Effect"}, {231, "Next Effect"},
        {232, "Increase Effect"}, {233, "Decrease Effect"}, {240, "Toggle Volume"},
        {241, "Toggle Pitch"}, {242, "Toggle Tempo"}, {243, "Toggle Rate"},
        {244, "Toggle Reverb"}, {245, "Toggle Echo"}, {246, "Toggle EQ"},
        {247, "Toggle Compressor"}, {248, "Toggle Stereo Width"}, {249, "Toggle Center Cancel"},
        {252, "Toggle Convolution Reverb"}, {251, "Toggle 3D Audio"}, {702, "Toggle Window"},
        {105, "YouTube Search"}, {820, "Toggle Recording"}, {215, "Toggle Shuffle"},
        {237, "Audio Device Menu"}, {218, "Toggle Mute"},
    };
    static_assert(std::size(expected) == kHotkeyActionCount);
    for (int i = 0; i < kHotkeyActionCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(HotkeyActionCommand(i), expected[i].command);
        EXPECT_STREQ(HotkeyActionName(i), expected[i].name);
    }
    for (int outside : {-1, kHotkeyActionCount, 1000}) {
        EXPECT_EQ(HotkeyActionCommand(outside), 0);
        EXPECT_STREQ(HotkeyActionName(outside), "");
    }
}

TEST(HotkeyText, NamesModifiersInOrderThenTheKey)
{
    struct Case {
        uint32_t modifiers;
        uint32_t vk;
        const char* text;
    };
    const Case cases[] = {
        {6, 'A', "Ctrl+Shift+A"},
        {15, 0x70, "Ctrl+Alt+Shift+Win+F1"},
        {1, '7', "Alt+7"},
        {2, 0x87, "Ctrl+F24"},
        {2, 0x21, "Ctrl+Page Up"},
        {3, 0x60, "Ctrl+Alt+Num 0"},
        {4, 0xBC, "Shift+,"},
        {2, 0xDC, "Ctrl+\\"},
        {1, 0xB3, "Alt+0xB3"},   // media keys have no printable name
        {0, 0x07, "0x07"},       // an unassigned code
        {2, 0x1234, "Ctrl+0x1234"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HotkeyText(c.modifiers, c.vk), c.text) << c.modifiers << "," << c.vk;

    HotkeyEntry entry;
    entry.modifiers = 6;
    entry.vk = 'A';
    entry.action = 5;
    EXPECT_EQ(HotkeyListLine(entry), "Ctrl+Shift+A - Next Track");
}

TEST(HotkeyKeysyms, VirtualKeysMapToX11Symbols)
{
    struct Case {
        uint32_t vk;
        uint32_t keysym;
    };
    const Case cases[] = {
        {'A', XK_a}, {'Z', XK_z}, {'0', XK_0}, {0x70, XK_F1}, {0x87, XK_F24},
        {0x60, XK_KP_0}, {0x69, XK_KP_9}, {0x20, XK_space}, {0xDB, XK_bracketleft},
        {0xB3, XF86XK_AudioPlay}, {0xB2, XF86XK_AudioStop}, {0xB1, XF86XK_AudioPrev},
        {0xB0, XF86XK_AudioNext},
        {0, 0}, {0x07, 0}, {0x88, 0}, {0xFFFFFFFF, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KeysymForVirtualKey(c.vk), c.keysym) << c.vk;
}

TEST(HotkeyAssignment, NeedsAKeyAndAModifier)
{
    EXPECT_STREQ(HotkeyAssignmentProblem(hotkeymod::Ctrl, 0), "Please enter a hotkey.");
    EXPECT_STREQ(HotkeyAssignmentProblem(0, 0), "Please enter a hotkey.");
    const char* modifierMessage =
        "Global hotkeys require at least one modifier key (Ctrl, Alt, or Shift).";
    EXPECT_STREQ(HotkeyAssignmentProblem(0, 'A'), modifierMessage);
    EXPECT_STREQ(HotkeyAssignmentProblem(hotkeymod::Win, 'A'), modifierMessage);
    for (uint32_t modifier : {hotkeymod::Ctrl, hotkeymod::Alt, hotkeymod::Shift})
        EXPECT_EQ(HotkeyAssignmentProblem(modifier, 'A'), nullptr);
}

// Dispatch goes through the real posting path the main window listens to.
std::vector<PostedCommand> g_posted;
void RecordCommand(PostedCommand command)
{
    g_posted.push_back(command);
}
void IgnoreMessage(PostedMessage&&) {}

class HotkeyDispatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_posted.clear();
        saved = g_hotkeys;
        g_hotkeys = HotkeyList{};
        SetMessageSinks(IgnoreMessage, RecordCommand);
    }
    void TearDown() override
    {
        SetMessageSinks(nullptr, nullptr);
        g_hotkeys = saved;
    }
    HotkeyList saved;
};

TEST_F(HotkeyDispatch, MediaKeysAndEntriesPostTheirCommands)
{
    const int32_t shuffleId = AddHotkey(g_hotkeys, 3, 'P', 36);
    const int32_t windowId = AddHotkey(g_hotkeys, 2, 'W', 33);
    // Media keys work whether or not the user's hotkeys are switched on.
    g_hotkeys.hotkeysEnabled = false;

    for (int32_t id : {0x7F00, 0x7F01, 0x7F02, 0x7F03, shuffleId, windowId})
        OnHotkey(id);
    OnHotkey(0);                 // nobody registered these
    OnHotkey(windowId + 1000);
    OnHotkey(0x7F04);

    std::vector<int> ids;
    for (const PostedCommand& c : g_posted) {
        ids.push_back(c.id);
        EXPECT_EQ(c.lParam, 0);  // 0: the user asked, not the end of a stream
    }
    EXPECT_EQ(ids, (std::vector<int>{201, 202, 203, 204, 215, 702}));
}

}  // namespace

#include "app/Commands.h"
#include "resources/MenuTable.h"

#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>

TEST(MenuTable, FourMenusInOrderWithTheRecentFilesPlaceholder)
{
    const auto& menus = MainMenuBar();
    ASSERT_EQ(menus.size(), 4u);
    EXPECT_STREQ(menus[0].title, "&File");
    EXPECT_STREQ(menus[1].title, "&Playback");
    EXPECT_STREQ(menus[2].title, "&Video");
    EXPECT_STREQ(menus[3].title, "&Help");

    bool inRecent = false, sawEmpty = false;
    for (const MenuItemDef& item : menus[0].items) {
        if (item.kind == MenuItemKind::SubMenuBegin)
            inRecent = std::string(item.text) == "Recent &Files";
        if (inRecent && item.kind == MenuItemKind::Disabled)
            sawEmpty = std::string(item.text) == "(Empty)";
        if (item.kind == MenuItemKind::SubMenuEnd)
            inRecent = false;
    }
    EXPECT_TRUE(sawEmpty);
}

TEST(MenuTable, CtrlShiftTSpeaksTheTotalAndShadowsCycleSubtitles)
{
    EXPECT_EQ(FindAccelerator(mod::Ctrl | mod::Shift, 'T'), cmd::SpeakTotal);
    int rows = 0;
    for (const AccelDef& a : MainAccelerators())
        rows += (a.mods == (mod::Ctrl | mod::Shift) && a.key == 'T');
    EXPECT_EQ(rows, 2);
}

TEST(MenuTable, KeysThatLookAlikeReachDifferentCommands)
{
    struct Case { std::uint8_t mods; int key; int id; };
    const Case cases[] = {
        {mod::None, key::Up, cmd::IncreaseEffect},
        {mod::Ctrl, key::Up, cmd::VolumeUp},
        {mod::None, 'H', cmd::Shuffle},
        {mod::Ctrl, 'H', cmd::HideToTray},
        {mod::Ctrl | mod::Shift, 'H', cmd::SongHistory},
        {mod::None, '1', cmd::SpeakTitle},
        {mod::Shift, '1', cmd::ShowTitle},
        {mod::Ctrl, '1', cmd::ToggleVolume},
        {mod::None, '0', cmd::SpeakFileName},
        {mod::Shift, '0', cmd::ShowTitle + 9},
        {mod::Ctrl, '-', cmd::ToggleConvolution},
        {mod::Ctrl, '=', cmd::Toggle3DAudio},
        {mod::None, key::Home, cmd::Beginning},
        {mod::Ctrl, key::Home, cmd::EffectMinimum},
        {mod::None, 'Q', 0},
        {mod::Shift, 'X', 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindAccelerator(c.mods, c.key), c.id) << c.key << " mods " << int(c.mods);
}

// Every shortcut a menu shows must be a key that really runs that command
// (Up and Down show the effect keys, Alt+F4 belongs to the window).
TEST(MenuTable, MenuShortcutsMatchTheAcceleratorTable)
{
    std::map<std::string, std::pair<std::uint8_t, int>> named = {
        {"Left", {mod::None, key::Left}}, {"Right", {mod::None, key::Right}},
        {"Home", {mod::None, key::Home}}, {"Space", {mod::None, key::Space}},
        {"F1", {mod::None, key::F1}}, {"F11", {mod::None, key::F11}},
    };
    const std::set<int> shownDifferently = {cmd::VolumeUp, cmd::VolumeDown, cmd::Exit};
    for (const MenuDef& menu : MainMenuBar()) {
        for (const MenuItemDef& item : menu.items) {
            const std::string text = item.text;
            const auto tab = text.find('\t');
            if (tab == std::string::npos || shownDifferently.count(item.id))
                continue;
            std::string shortcut = text.substr(tab + 1);
            std::uint8_t mods = mod::None;
            for (;;) {
                if (shortcut.rfind("Ctrl+", 0) == 0) { mods |= mod::Ctrl; shortcut.erase(0, 5); }
                else if (shortcut.rfind("Shift+", 0) == 0) { mods |= mod::Shift; shortcut.erase(0, 6); }
                else break;
            }
            int keyCode = shortcut.size() == 1 ? shortcut[0] : 0;
            if (auto it = named.find(shortcut); it != named.end())
                keyCode = it->second.second;
            EXPECT_EQ(FindAccelerator(mods, keyCode), item.id) << text;
        }
    }
    EXPECT_EQ(FindAccelerator(mod::None, key::Up), cmd::IncreaseEffect);
}

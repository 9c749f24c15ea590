#pragma once
// The menu bar and the accelerator table as plain data, so the window layer
// only turns rows into controls and tests can read them without a display.
#include <cstdint>
#include <vector>

enum class MenuItemKind { Command, Check, Separator, SubMenuBegin, SubMenuEnd, Disabled };

struct MenuItemDef {
    MenuItemKind kind;
    int id;            // command id, 0 for separators and sub-menu markers
    const char* text;  // English text; "\t" separates label and shortcut
};

struct MenuDef {
    const char* title;
    std::vector<MenuItemDef> items;
};

// The four pop-ups of the menu bar, in order.
const std::vector<MenuDef>& MainMenuBar();

// Key codes of accelerator rows: printable keys use their ASCII upper-case
// character, the others use these values (outside the ASCII range).
namespace key {
constexpr int Left = 0x10001;
constexpr int Right = 0x10002;
constexpr int Up = 0x10003;
constexpr int Down = 0x10004;
constexpr int Home = 0x10005;
constexpr int End = 0x10006;
constexpr int Space = ' ';
constexpr int Back = 0x10008;
constexpr int F1 = 0x10011;
constexpr int F11 = 0x1001B;
}  // namespace key

namespace mod {
constexpr std::uint8_t None = 0;
constexpr std::uint8_t Ctrl = 1;
constexpr std::uint8_t Shift = 2;
}  // namespace mod

struct AccelDef {
    std::uint8_t mods;
    int key;
    int id;
};

// In table order; the first row matching a key wins.
const std::vector<AccelDef>& MainAccelerators();

// The command of the first row matching the key, or 0.
int FindAccelerator(std::uint8_t mods, int key);

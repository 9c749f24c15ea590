#pragma once
// Names and X11 key symbols of virtual-key codes.
#include <cstdint>
#include <string>

struct HotkeyEntry;

// The key's own name as a keyboard shows it ("A", "F5", "Page Up", "Num 7"),
// or "" for a key without one.
std::string VirtualKeyName(uint32_t vk);

// "Ctrl+", "Alt+", "Shift+", "Win+" as set, then the key's name, or
// "0x%02X" with the code when the key has no name.
std::string HotkeyText(uint32_t modifiers, uint32_t vk);

// A hotkey list line: the combination, " - ", the action's name.
std::string HotkeyListLine(const HotkeyEntry& entry);

// The X11 key symbol of a virtual key, or 0 when it has none.
uint32_t KeysymForVirtualKey(uint32_t vk);

#pragma once
// The fixed list of actions a global hotkey can run. A stored hotkey keeps
// the action's index, so the order of this table is part of the settings
// file format: append, never reorder.

constexpr int kHotkeyActionCount = 39;

struct HotkeyAction {
    int command;       // command id posted to the main window
    const char* name;  // shown as it stands, never translated
};

extern const HotkeyAction HotkeyActions[kHotkeyActionCount];

// The action's command, or 0 for an index outside the table.
int HotkeyActionCommand(int index);
// The action's name, or "" for an index outside the table.
const char* HotkeyActionName(int index);

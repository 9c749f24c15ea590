#pragma once
// System-wide key grabs for the media keys and the user's hotkeys (X11).
// Everything here runs on the UI thread; a grabbed key posts its command.
#include <cstdint>

class wxFrame;
struct HotkeyEntry;

// Grabs the four media keys and, when g_hotkeys.hotkeysEnabled, every
// entry of g_hotkeys. A combination another program holds is skipped
// silently. Does nothing without an X11 display (Wayland session).
void RegisterHotkeys(wxFrame* frame);
// Releases every grab this program holds.
void UnregisterHotkeys();

// One entry, for edits of the list: false when it could not be grabbed.
bool RegisterHotkeyEntry(const HotkeyEntry& entry);
void UnregisterHotkeyId(int32_t id);

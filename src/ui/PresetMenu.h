#pragma once
// The effect preset pop-up menu (command 238, key P) and the save command
// (7200). Load and delete (7000 + i, 7100 + i) are LoadPresetCommand and
// DeletePresetCommand in effects/Presets.h.
class wxFrame;

// Shows the menu and carries out the chosen item itself.
void ShowPresetMenu(wxFrame* frame);
// Asks for a name, saves the current effects under it and says so.
void SavePresetCommand(wxFrame* frame);

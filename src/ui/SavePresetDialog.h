#pragma once
// The "Save Effect Preset" name dialog (dialog 915, edit 916).
#include <string>

class wxWindow;

// True when confirmed with OK; `name` is then the typed name as it will be
// stored (see SanitizePresetName), possibly empty.
bool ShowSavePresetDialog(wxWindow* owner, std::string& name);

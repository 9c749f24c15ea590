#pragma once
// Named snapshots of the whole effect state, kept in the settings file: a
// list of names in section "Presets" and one section "Preset_<name>" each.
// UI thread only.
#include <string>
#include <string_view>
#include <vector>

struct IniDocument;

constexpr size_t kMaxPresetNameChars = 127;
// Load items 7000 + i and delete items 7100 + i leave room for this many.
constexpr int kMaxPresetMenuItems = 100;

// What the name dialog keeps of a typed name: at most 127 characters, outer
// spaces and tabs removed, and the characters an INI line cannot hold in a
// section name ("[", "]", "=", line breaks) turned into "_".
std::string SanitizePresetName(std::string_view typed);
std::string PresetSectionName(const std::string& name);

// The list in section "Presets": Name0 .. Name<Count-1> in order, empty
// names skipped, each cut to 127 characters.
std::vector<std::string> ReadPresetList(const IniDocument& doc);
// Removes Name0 .. for the old Count, then writes Count and the names.
void WritePresetList(IniDocument& doc, const std::vector<std::string>& names);

// The same operations on a settings file of the caller's choice.
std::vector<std::string> ListPresetsIn(const std::string& iniPath);
// Fails for an empty name, a name SanitizePresetName would change, or when
// the file cannot be written (the old file is then kept).
bool SavePresetIn(const std::string& iniPath, const std::string& name);
// Fails, changing nothing, for an empty name or a preset without a section.
bool LoadPresetFrom(const std::string& iniPath, const std::string& name);
// Whether the name was in the list; its section goes either way.
bool DeletePresetIn(const std::string& iniPath, const std::string& name);

// On the settings file (SettingsFilePath).
std::vector<std::string> ListPresets();
bool SavePreset(const std::string& name);
bool LoadPreset(const std::string& name);
bool DeletePreset(const std::string& name);

// Commands 7000 + index and 7100 + index: the index-th listed preset is
// loaded or deleted and the outcome spoken. Indexes outside the menu's
// range do nothing.
void LoadPresetCommand(int index);
void DeletePresetCommand(int index);

#include "effects/Presets.h"

#include "effects/EffectChain.h"
#include "effects/EffectParams.h"
#include "effects/EffectSwitches.h"
#include "speech/AnnouncementQueue.h"
#include "storage/IniDocument.h"
#include "storage/IniFile.h"
#include "storage/Settings.h"

#include <algorithm>
#include <charconv>

namespace {

constexpr const char* kListSection = "Presets";
constexpr const char* kMissing = "__MISSING__";
constexpr size_t kNameBufferChars = kMaxPresetNameChars + 1;
constexpr size_t kValueBufferChars = 64;

std::string Lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool& StreamSwitchRef(int n)
{
    switch (n) {
    case 0: return g_settings.effects.volume;
    case 1: return g_settings.effects.pitch;
    case 2: return g_settings.effects.tempo;
    default: return g_settings.effects.rate;
    }
}

// Switch 0 as stored is the reverb request flag, not the algorithm.
bool StoredDspSwitch(int n)
{
    return n == 0 ? g_settings.dspEffects.reverb : DspEffectSwitch(n);
}

// "Name<n>" with n written the canonical way (no sign, no leading zeros),
// as WritePresetList writes it; -1 for every other key.
int NameKeyIndex(std::string_view key)
{
    if (key.size() < 5 || Lower(key.substr(0, 4)) != "name")
        return -1;
    const std::string_view digits = key.substr(4);
    if (digits.size() > 1 && digits.front() == '0')
        return -1;
    int n = -1;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (ec != std::errc() || end != digits.data() + digits.size() || n < 0)
        return -1;
    return n;
}

// The store has no key or section removal, so the preset code edits the
// parsed document directly and rebuilds the indexes it touches.
void ReindexKeys(IniSection& section)
{
    section.keyIndex.clear();
    for (size_t i = 0; i < section.lines.size(); ++i)
        if (!section.lines[i].key.empty())
            section.keyIndex.emplace(Lower(section.lines[i].key), i);
}

void RemoveSection(IniDocument& doc, std::string_view name)
{
    const std::string lower = Lower(name);
    std::vector<IniSection> kept;
    kept.reserve(doc.sections.size());
    for (size_t i = 0; i < doc.sections.size(); ++i) {
        if (i > 0 && Lower(doc.sections[i].name) == lower)
            continue;
        kept.push_back(std::move(doc.sections[i]));
    }
    doc.sections = std::move(kept);
    doc.sectionIndex.clear();
    for (size_t i = 1; i < doc.sections.size(); ++i)
        doc.sectionIndex.emplace(Lower(doc.sections[i].name), i);
}

// A hand-edited number that is not one ("", "abc") keeps the current value
// instead of reading as 0, which would drop the rate or a delay to its floor.
bool ParseStoredNumber(const std::string& text, float& out)
{
    size_t i = text.find_first_not_of(" \t");
    if (i == std::string::npos)
        return false;
    if (text[i] == '+' || text[i] == '-')
        ++i;
    if (i < text.size() && text[i] == '.')
        ++i;
    if (i >= text.size() || text[i] < '0' || text[i] > '9')
        return false;
    out = static_cast<float>(IniParseDouble(text));
    return true;
}

std::string FormatSwitch(bool on) { return on ? "1" : "0"; }

// Pitch, tempo and rate are written from the stream values in both places
// (Pitch/Tempo/Rate and Param1..3): the parameter slots only mirror the last
// adjustment and can be stale after start-up, and loading applies Param1..3.
void WritePresetSection(IniDocument& doc, const std::string& section)
{
    for (int n = 0; n < 4; ++n)
        IniSetString(doc, section, "StreamEnabled" + std::to_string(n), FormatSwitch(StreamParamSwitch(n)));
    IniSetString(doc, section, "Pitch", IniFormatDouble(g_settings.playback.pitch, 4));
    IniSetString(doc, section, "Tempo", IniFormatDouble(g_settings.playback.tempo, 4));
    IniSetString(doc, section, "Rate", IniFormatDouble(g_settings.playback.rate, 4));
    IniSetString(doc, section, "ReverbAlgorithm", std::to_string(g_settings.effects.reverbAlgorithm));
    for (int n = 0; n < 8; ++n)
        IniSetString(doc, section, "DSPEnabled" + std::to_string(n), FormatSwitch(StoredDspSwitch(n)));
    for (int id = 1; id < kEffectParamCount; ++id)
        IniSetString(doc, section, "Param" + std::to_string(id), IniFormatDouble(GetEffectParam(id), 6));
}

void ApplyPresetSection(const IniDocument& doc, const std::string& section)
{
    // The stream values first, as stored; Param1..3 below clamp and apply them.
    float* streamValues[] = {&g_settings.playback.pitch, &g_settings.playback.tempo, &g_settings.playback.rate};
    const char* streamKeys[] = {"Pitch", "Tempo", "Rate"};
    const char* streamDefaults[] = {"0", "0", "1"};
    for (int i = 0; i < 3; ++i) {
        float value = 0.0f;
        if (ParseStoredNumber(IniGetString(doc, section, streamKeys[i], streamDefaults[i], kValueBufferChars), value))
            *streamValues[i] = value;
    }

    for (int n = 0; n < 4; ++n) {
        bool& on = StreamSwitchRef(n);
        on = IniGetInt(doc, section, "StreamEnabled" + std::to_string(n), on ? 1 : 0) != 0;
    }

    const int algorithm = IniGetInt(doc, section, "ReverbAlgorithm", g_settings.effects.reverbAlgorithm);
    SetReverbAlgorithm(std::clamp(algorithm, 0, 3));

    for (int n = 1; n < 8; ++n) {
        const bool current = DspEffectSwitch(n);
        SetDspSwitch(n, IniGetInt(doc, section, "DSPEnabled" + std::to_string(n), current ? 1 : 0) != 0);
    }

    for (int id = 1; id < kEffectParamCount; ++id) {
        float value = g_effectValues[id].load(std::memory_order_relaxed);
        ParseStoredNumber(IniGetString(doc, section, "Param" + std::to_string(id), "", kValueBufferChars), value);
        SetEffectParam(id, value);
    }
}

// The name of menu item `index`, or empty outside the menu.
std::string PresetNameAt(int index)
{
    if (index < 0 || index >= kMaxPresetMenuItems)
        return {};
    const std::vector<std::string> names = ListPresets();
    return index < static_cast<int>(names.size()) ? names[index] : std::string();
}

}  // namespace

std::string SanitizePresetName(std::string_view typed)
{
    // Cut at a character boundary: count UTF-8 lead bytes.
    size_t chars = 0;
    size_t end = 0;
    for (; end < typed.size(); ++end) {
        const unsigned char c = static_cast<unsigned char>(typed[end]);
        if ((c & 0xC0) != 0x80 && ++chars > kMaxPresetNameChars)
            break;
    }
    std::string name(typed.substr(0, end));
    const size_t first = name.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    name = name.substr(first, name.find_last_not_of(" \t") - first + 1);
    // Other control characters cannot sit in a section header either.
    for (char& c : name)
        if (c == '[' || c == ']' || c == '=' || (static_cast<unsigned char>(c) < 0x20 && c != '\t'))
            c = '_';
    return name;
}

std::string PresetSectionName(const std::string& name) { return "Preset_" + name; }

std::vector<std::string> ReadPresetList(const IniDocument& doc)
{
    const int count = IniGetInt(doc, kListSection, "Count", 0);
    // Walk the keys that exist rather than 0 .. Count, so a hand-edited
    // Count of two billion costs nothing.
    std::vector<std::pair<int, std::string>> indexed;
    for (const auto& [key, value] : IniSectionEntries(doc, kListSection)) {
        const int n = NameKeyIndex(key);
        if (n < 0 || n >= count || value.empty())
            continue;
        indexed.emplace_back(n, IniGetString(doc, kListSection, key, "", kNameBufferChars));
    }
    std::sort(indexed.begin(), indexed.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> names;
    names.reserve(indexed.size());
    for (auto& entry : indexed)
        names.push_back(std::move(entry.second));
    return names;
}

void WritePresetList(IniDocument& doc, const std::vector<std::string>& names)
{
    const int oldCount = IniGetInt(doc, kListSection, "Count", 0);
    const auto it = doc.sectionIndex.find(Lower(kListSection));
    if (it != doc.sectionIndex.end()) {
        IniSection& section = doc.sections[it->second];
        std::erase_if(section.lines, [&](const IniLine& line) {
            const int n = NameKeyIndex(line.key);
            return n >= 0 && n < oldCount;
        });
        ReindexKeys(section);
    }
    IniSetString(doc, kListSection, "Count", std::to_string(names.size()));
    for (size_t i = 0; i < names.size(); ++i)
        IniSetString(doc, kListSection, "Name" + std::to_string(i), names[i]);
}

std::vector<std::string> ListPresetsIn(const std::string& iniPath)
{
    return ReadPresetList(IniLoadFile(iniPath));
}

bool SavePresetIn(const std::string& iniPath, const std::string& name)
{
    if (name.empty() || SanitizePresetName(name) != name)
        return false;
    return IniUpdateFile(iniPath, [&](IniDocument& doc) {
        WritePresetSection(doc, PresetSectionName(name));
        std::vector<std::string> names = ReadPresetList(doc);
        if (std::find(names.begin(), names.end(), name) == names.end()) {
            names.push_back(name);
            WritePresetList(doc, names);
        }
    });
}

bool LoadPresetFrom(const std::string& iniPath, const std::string& name)
{
    if (name.empty())
        return false;
    const IniDocument doc = IniLoadFile(iniPath);
    const std::string section = PresetSectionName(name);
    if (IniGetString(doc, section, "Pitch", kMissing, kValueBufferChars) == kMissing)
        return false;
    ApplyPresetSection(doc, section);
    return true;
}

bool DeletePresetIn(const std::string& iniPath, const std::string& name)
{
    bool listed = false;
    const bool written = IniUpdateFile(iniPath, [&](IniDocument& doc) {
        std::vector<std::string> names = ReadPresetList(doc);
        listed = std::erase(names, name) > 0;
        // Section names ignore case, so "Mix" and "mix" share one section:
        // keep it while another listed preset still reads it.
        const std::string section = Lower(PresetSectionName(name));
        const bool shared = std::any_of(names.begin(), names.end(), [&](const std::string& other) {
            return Lower(PresetSectionName(other)) == section;
        });
        if (!shared)
            RemoveSection(doc, PresetSectionName(name));
        if (listed)
            WritePresetList(doc, names);
    });
    return written && listed;
}

std::vector<std::string> ListPresets() { return ListPresetsIn(SettingsFilePath()); }
bool SavePreset(const std::string& name) { return SavePresetIn(SettingsFilePath(), name); }
bool LoadPreset(const std::string& name) { return LoadPresetFrom(SettingsFilePath(), name); }
bool DeletePreset(const std::string& name) { return DeletePresetIn(SettingsFilePath(), name); }

void LoadPresetCommand(int index)
{
    const std::string name = PresetNameAt(index);
    if (!name.empty() && LoadPreset(name))
        Announce("Loaded preset " + name, true);
}

void DeletePresetCommand(int index)
{
    const std::string name = PresetNameAt(index);
    if (!name.empty() && DeletePreset(name))
        Announce("Deleted preset " + name, true);
}

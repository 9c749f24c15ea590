#include "hotkeys/Hotkeys.h"

#include "app/AppMessages.h"
#include "app/Commands.h"
#include "hotkeys/HotkeyActions.h"
#include "storage/IniDocument.h"
#include "storage/IniFile.h"
#include "storage/Settings.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <utility>

HotkeyList g_hotkeys;

const MediaKey kMediaKeys[kMediaKeyCount] = {
    {0x7F00, 0xB3, cmd::PlayPause},
    {0x7F01, 0xB2, cmd::Stop},
    {0x7F02, 0xB1, cmd::Previous},
    {0x7F03, 0xB0, cmd::Next},
};

namespace {

constexpr const char* kSection = "Hotkeys";
constexpr size_t kValueChars = 64;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// One decimal number at `pos`, blanks before it allowed; advances `pos`.
template <typename T>
bool ReadNumber(std::string_view text, size_t& pos, T& value)
{
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    if (pos < text.size() && text[pos] == '+')
        ++pos;
    const char* begin = text.data() + pos;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || stop == begin)
        return false;
    pos += static_cast<size_t>(stop - begin);
    return true;
}

bool ReadComma(std::string_view text, size_t& pos)
{
    if (pos >= text.size() || text[pos] != ',')
        return false;
    ++pos;
    return true;
}

// "Hotkey<n>" with n written as the loader would format it: the index, or -1.
long long HotkeyKeyIndex(std::string_view key)
{
    constexpr std::string_view prefix = "hotkey";
    if (key.size() <= prefix.size() || key.size() > prefix.size() + 10)
        return -1;
    for (size_t i = 0; i < prefix.size(); ++i) {
        const char c = key[i];
        if ((c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c) != prefix[i])
            return -1;
    }
    const std::string_view digits = key.substr(prefix.size());
    if (digits.size() > 1 && digits[0] == '0')
        return -1;
    long long index = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return -1;
        index = index * 10 + (c - '0');
    }
    return index;
}

}  // namespace

bool ParseHotkeyValue(std::string_view text, HotkeyEntry& entry)
{
    size_t pos = 0;
    uint32_t modifiers = 0;
    uint32_t vk = 0;
    int32_t action = 0;
    if (!ReadNumber(text, pos, modifiers) || !ReadComma(text, pos) || !ReadNumber(text, pos, vk) ||
        !ReadComma(text, pos) || !ReadNumber(text, pos, action))
        return false;
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    if (pos != text.size() || action < 0 || action >= kHotkeyActionCount)
        return false;
    entry.modifiers = modifiers;
    entry.vk = vk;
    entry.action = action;
    return true;
}

std::string FormatHotkeyValue(const HotkeyEntry& entry)
{
    char text[48];
    std::snprintf(text, sizeof text, "%u,%u,%d", static_cast<unsigned>(entry.modifiers),
                  static_cast<unsigned>(entry.vk), static_cast<int>(entry.action));
    return text;
}

void ReadHotkeys(const IniDocument& doc, HotkeyList& list)
{
    list.hotkeysEnabled = IniGetInt(doc, kSection, "Enabled", 1) != 0;
    list.entries.clear();
    const int count = IniGetInt(doc, kSection, "Count", 0);
    if (count <= 0)
        return;
    // Only the keys present can hold entries, so a huge Count costs nothing:
    // walk the section instead of every index below Count.
    std::vector<std::pair<long long, std::string>> stored;
    for (const auto& [key, value] : IniSectionEntries(doc, kSection)) {
        const long long index = HotkeyKeyIndex(key);
        if (index >= 0 && index < count)
            stored.emplace_back(index, key);
    }
    std::sort(stored.begin(), stored.end());
    for (size_t i = 0; i < stored.size(); ++i) {
        if (i > 0 && stored[i].first == stored[i - 1].first)
            continue;  // the same key in another case: the first one counts
        HotkeyEntry entry;
        const std::string value = IniGetString(doc, kSection, stored[i].second, "", kValueChars);
        if (!ParseHotkeyValue(value, entry))
            continue;
        entry.id = list.nextHotkeyId++;
        list.entries.push_back(entry);
    }
}

void WriteHotkeys(const HotkeyList& list, IniDocument& doc)
{
    IniSetString(doc, kSection, "Enabled", list.hotkeysEnabled ? "1" : "0");
    IniSetString(doc, kSection, "Count", std::to_string(list.entries.size()));
    for (size_t i = 0; i < list.entries.size(); ++i)
        IniSetString(doc, kSection, "Hotkey" + std::to_string(i), FormatHotkeyValue(list.entries[i]));
}

void LoadHotkeys()
{
    LoadHotkeysFrom(SettingsFilePath());
}

void LoadHotkeysFrom(const std::string& path)
{
    ReadHotkeys(IniLoadFile(path), g_hotkeys);
}

bool SaveHotkeys()
{
    return SaveHotkeysTo(SettingsFilePath());
}

bool SaveHotkeysTo(const std::string& path)
{
    const HotkeyList list = g_hotkeys;
    return IniUpdateFile(path, [&list](IniDocument& doc) { WriteHotkeys(list, doc); });
}

int32_t AddHotkey(HotkeyList& list, uint32_t modifiers, uint32_t vk, int32_t action)
{
    HotkeyEntry entry;
    entry.id = list.nextHotkeyId++;
    entry.modifiers = modifiers;
    entry.vk = vk;
    entry.action = action;
    list.entries.push_back(entry);
    return entry.id;
}

int HotkeyCommandForId(const HotkeyList& list, int32_t id)
{
    for (const MediaKey& key : kMediaKeys) {
        if (key.id == id)
            return key.command;
    }
    for (const HotkeyEntry& entry : list.entries) {
        if (entry.id == id)
            return HotkeyActionCommand(entry.action);
    }
    return 0;
}

void OnHotkey(int32_t id)
{
    if (const int command = HotkeyCommandForId(g_hotkeys, id))
        PostCommand(command, 0);
}

const char* HotkeyAssignmentProblem(uint32_t modifiers, uint32_t vk)
{
    if (vk == 0)
        return "Please enter a hotkey.";
    if ((modifiers & (hotkeymod::Ctrl | hotkeymod::Alt | hotkeymod::Shift)) == 0)
        return "Global hotkeys require at least one modifier key (Ctrl, Alt, or Shift).";
    return nullptr;
}

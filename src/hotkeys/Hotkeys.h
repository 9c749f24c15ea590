#pragma once
// The user's global hotkeys: the list, its switch and its section of the
// settings file. Key combinations are kept in the Windows terms the file
// uses (modifier flags and virtual-key codes), so a settings file moves
// between systems unchanged.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct IniDocument;

namespace hotkeymod {
constexpr uint32_t Alt = 1;
constexpr uint32_t Ctrl = 2;
constexpr uint32_t Shift = 4;
constexpr uint32_t Win = 8;
constexpr uint32_t All = Alt | Ctrl | Shift | Win;
}  // namespace hotkeymod

struct HotkeyEntry {
    int32_t id = 0;          // registration id, unique within a run
    uint32_t modifiers = 0;  // hotkeymod flags
    uint32_t vk = 0;         // virtual-key code
    int32_t action = 0;      // index into HotkeyActions
};

struct HotkeyList {
    bool hotkeysEnabled = true;
    std::vector<HotkeyEntry> entries;
    int32_t nextHotkeyId = 1;  // ids are never reused within a run
};

extern HotkeyList g_hotkeys;

// The media keys, registered whether or not hotkeys are enabled.
struct MediaKey {
    int32_t id;
    uint32_t vk;
    int command;
};
constexpr int kMediaKeyCount = 4;
extern const MediaKey kMediaKeys[kMediaKeyCount];

// "%u,%u,%d": modifiers, virtual-key code, action index. False for anything
// but exactly three numbers in range, or an action outside the table.
bool ParseHotkeyValue(std::string_view text, HotkeyEntry& entry);
std::string FormatHotkeyValue(const HotkeyEntry& entry);

// Section Hotkeys: Enabled, Count, Hotkey0 .. Hotkey<Count-1>. Reading
// replaces the list; every entry kept gets list.nextHotkeyId++. Malformed
// entries are dropped. Writing leaves keys beyond Count in place.
void ReadHotkeys(const IniDocument& doc, HotkeyList& list);
void WriteHotkeys(const HotkeyList& list, IniDocument& doc);

// g_hotkeys from and to the settings file. Save is false, with the file
// unchanged, when the file could not be read or replaced.
void LoadHotkeys();
void LoadHotkeysFrom(const std::string& path);
bool SaveHotkeys();
bool SaveHotkeysTo(const std::string& path);

// Appends an entry with a fresh id and returns that id.
int32_t AddHotkey(HotkeyList& list, uint32_t modifiers, uint32_t vk, int32_t action);

// The command a registration id stands for (media keys first, then the
// list), or 0 for an id nobody registered.
int HotkeyCommandForId(const HotkeyList& list, int32_t id);
// A grabbed key was pressed: posts its command to the main window.
void OnHotkey(int32_t id);

// What the assignment dialog says to a combination it cannot accept, or
// nullptr when the combination is fine (English, to be translated).
const char* HotkeyAssignmentProblem(uint32_t modifiers, uint32_t vk);

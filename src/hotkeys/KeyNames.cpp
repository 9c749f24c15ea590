#include "hotkeys/KeyNames.h"

#include "hotkeys/HotkeyActions.h"
#include "hotkeys/Hotkeys.h"

#include <X11/XF86keysym.h>
#include <X11/keysym.h>

#include <cstdio>

namespace {

struct NamedKey {
    uint32_t vk;
    uint32_t keysym;
    const char* name;  // nullptr: the key has no printable name
};

// Keys outside the letter, digit, function-key and keypad-digit ranges.
const NamedKey kNamedKeys[] = {
    {0x08, XK_BackSpace, "Backspace"},
    {0x09, XK_Tab, "Tab"},
    {0x0D, XK_Return, "Enter"},
    {0x13, XK_Pause, "Pause"},
    {0x14, XK_Caps_Lock, "Caps Lock"},
    {0x1B, XK_Escape, "Esc"},
    {0x20, XK_space, "Space"},
    {0x21, XK_Prior, "Page Up"},
    {0x22, XK_Next, "Page Down"},
    {0x23, XK_End, "End"},
    {0x24, XK_Home, "Home"},
    {0x25, XK_Left, "Left"},
    {0x26, XK_Up, "Up"},
    {0x27, XK_Right, "Right"},
    {0x28, XK_Down, "Down"},
    {0x2C, XK_Print, "Prnt Scrn"},
    {0x2D, XK_Insert, "Insert"},
    {0x2E, XK_Delete, "Delete"},
    {0x5D, XK_Menu, "Application"},
    {0x6A, XK_KP_Multiply, "Num *"},
    {0x6B, XK_KP_Add, "Num +"},
    {0x6D, XK_KP_Subtract, "Num -"},
    {0x6E, XK_KP_Decimal, "Num Del"},
    {0x6F, XK_KP_Divide, "Num /"},
    {0x90, XK_Num_Lock, "Num Lock"},
    {0x91, XK_Scroll_Lock, "Scroll Lock"},
    {0xAD, XF86XK_AudioMute, nullptr},
    {0xAE, XF86XK_AudioLowerVolume, nullptr},
    {0xAF, XF86XK_AudioRaiseVolume, nullptr},
    {0xB0, XF86XK_AudioNext, nullptr},
    {0xB1, XF86XK_AudioPrev, nullptr},
    {0xB2, XF86XK_AudioStop, nullptr},
    {0xB3, XF86XK_AudioPlay, nullptr},
    {0xBA, XK_semicolon, ";"},
    {0xBB, XK_equal, "="},
    {0xBC, XK_comma, ","},
    {0xBD, XK_minus, "-"},
    {0xBE, XK_period, "."},
    {0xBF, XK_slash, "/"},
    {0xC0, XK_grave, "`"},
    {0xDB, XK_bracketleft, "["},
    {0xDC, XK_backslash, "\\"},
    {0xDD, XK_bracketright, "]"},
    {0xDE, XK_apostrophe, "'"},
};

const NamedKey* FindNamedKey(uint32_t vk)
{
    for (const NamedKey& key : kNamedKeys) {
        if (key.vk == vk)
            return &key;
    }
    return nullptr;
}

}  // namespace

std::string VirtualKeyName(uint32_t vk)
{
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
        return std::string(1, static_cast<char>(vk));
    if (vk >= 0x60 && vk <= 0x69)
        return "Num " + std::to_string(vk - 0x60);
    if (vk >= 0x70 && vk <= 0x87)
        return "F" + std::to_string(vk - 0x70 + 1);
    const NamedKey* key = FindNamedKey(vk);
    return key && key->name ? key->name : "";
}

std::string HotkeyText(uint32_t modifiers, uint32_t vk)
{
    std::string text;
    if (modifiers & hotkeymod::Ctrl)
        text += "Ctrl+";
    if (modifiers & hotkeymod::Alt)
        text += "Alt+";
    if (modifiers & hotkeymod::Shift)
        text += "Shift+";
    if (modifiers & hotkeymod::Win)
        text += "Win+";
    std::string name = VirtualKeyName(vk);
    if (name.empty()) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned>(vk));
        name = code;
    }
    return text + name;
}

std::string HotkeyListLine(const HotkeyEntry& entry)
{
    return HotkeyText(entry.modifiers, entry.vk) + " - " + HotkeyActionName(entry.action);
}

uint32_t KeysymForVirtualKey(uint32_t vk)
{
    if (vk >= '0' && vk <= '9')
        return XK_0 + (vk - '0');
    if (vk >= 'A' && vk <= 'Z')
        return XK_a + (vk - 'A');
    if (vk >= 0x60 && vk <= 0x69)
        return XK_KP_0 + (vk - 0x60);
    if (vk >= 0x70 && vk <= 0x87)
        return XK_F1 + (vk - 0x70);
    const NamedKey* key = FindNamedKey(vk);
    return key ? key->keysym : 0;
}

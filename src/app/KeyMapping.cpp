#include "app/KeyMapping.h"

#include "resources/MenuTable.h"

#include <wx/event.h>
#include <wx/defs.h>

#include <cstring>

namespace {

// With Shift held, GTK may report the shifted character; the table is
// written against the unshifted keys of a US layout.
int UnshiftedKey(int code)
{
    static const char shifted[] = "!@#$%^&*()<>_+{}";
    static const char plain[] = "1234567890,.-=[]";
    if (code > 0 && code < 128) {
        if (const char* p = std::strchr(shifted, code))
            return plain[p - shifted];
        if (code >= 'a' && code <= 'z')
            return code - 'a' + 'A';
    }
    return code;
}

int TableKey(int code)
{
    switch (code) {
    case WXK_LEFT: case WXK_NUMPAD_LEFT: return key::Left;
    case WXK_RIGHT: case WXK_NUMPAD_RIGHT: return key::Right;
    case WXK_UP: case WXK_NUMPAD_UP: return key::Up;
    case WXK_DOWN: case WXK_NUMPAD_DOWN: return key::Down;
    case WXK_HOME: case WXK_NUMPAD_HOME: return key::Home;
    case WXK_END: case WXK_NUMPAD_END: return key::End;
    case WXK_SPACE: case WXK_NUMPAD_SPACE: return key::Space;
    case WXK_BACK: return key::Back;
    case WXK_F1: return key::F1;
    case WXK_F11: return key::F11;
    default: return UnshiftedKey(code);
    }
}

}  // namespace

int AcceleratorForKey(const wxKeyEvent& event)
{
    if (event.AltDown() || event.MetaDown())
        return 0;
    std::uint8_t mods = mod::None;
    if (event.ControlDown())
        mods |= mod::Ctrl;
    if (event.ShiftDown())
        mods |= mod::Shift;
    return FindAccelerator(mods, TableKey(event.GetKeyCode()));
}

#include "hotkeys/GlobalKeys.h"

#include "hotkeys/Hotkeys.h"
#include "hotkeys/KeyNames.h"

#include <gdk/gdk.h>
#include <gdk/gdkx.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>
#include <vector>

namespace {

struct Grab {
    int32_t id;
    KeyCode keycode;
    unsigned mask;
};

std::vector<Grab> g_grabs;
bool g_filterInstalled = false;

constexpr unsigned kComboMask = ShiftMask | ControlMask | Mod1Mask | Mod4Mask;

Display* X11Display()
{
    GdkDisplay* display = gdk_display_get_default();
    if (!display || !GDK_IS_X11_DISPLAY(display))
        return nullptr;
    return GDK_DISPLAY_XDISPLAY(display);
}

unsigned NumLockMask(Display* display)
{
    const KeyCode numLock = XKeysymToKeycode(display, XK_Num_Lock);
    XModifierKeymap* map = XGetModifierMapping(display);
    if (!map)
        return 0;
    unsigned mask = 0;
    for (int modifier = 0; numLock && modifier < 8; ++modifier) {
        for (int k = 0; k < map->max_keypermod; ++k) {
            if (map->modifiermap[modifier * map->max_keypermod + k] == numLock)
                mask = 1u << modifier;
        }
    }
    XFreeModifiermap(map);
    return mask;
}

// A grab must also hold with Caps Lock or Num Lock on, which X counts as
// modifiers of their own.
std::vector<unsigned> LockVariants(Display* display)
{
    const unsigned numLock = NumLockMask(display);
    std::vector<unsigned> variants = {0, LockMask};
    if (numLock && numLock != LockMask) {
        variants.push_back(numLock);
        variants.push_back(numLock | LockMask);
    }
    return variants;
}

unsigned X11Modifiers(uint32_t modifiers)
{
    unsigned mask = 0;
    if (modifiers & hotkeymod::Alt)
        mask |= Mod1Mask;
    if (modifiers & hotkeymod::Ctrl)
        mask |= ControlMask;
    if (modifiers & hotkeymod::Shift)
        mask |= ShiftMask;
    if (modifiers & hotkeymod::Win)
        mask |= Mod4Mask;
    return mask;
}

GdkFilterReturn OnRootWindowEvent(GdkXEvent* raw, GdkEvent*, gpointer)
{
    const XEvent* event = static_cast<const XEvent*>(raw);
    if (event->type != KeyPress)
        return GDK_FILTER_CONTINUE;
    const unsigned state = event->xkey.state & kComboMask;
    for (const Grab& grab : g_grabs) {
        if (grab.keycode == event->xkey.keycode && grab.mask == state) {
            OnHotkey(grab.id);
            return GDK_FILTER_REMOVE;
        }
    }
    return GDK_FILTER_CONTINUE;
}

void InstallFilter()
{
    if (g_filterInstalled)
        return;
    gdk_window_add_filter(gdk_get_default_root_window(), OnRootWindowEvent, nullptr);
    g_filterInstalled = true;
}

void ReleaseGrab(Display* display, const Grab& grab)
{
    const Window root = DefaultRootWindow(display);
    for (unsigned extra : LockVariants(display))
        XUngrabKey(display, grab.keycode, grab.mask | extra, root);
}

bool GrabCombination(int32_t id, uint32_t modifiers, uint32_t vk)
{
    Display* display = X11Display();
    if (!display || (modifiers & ~hotkeymod::All) != 0)
        return false;
    const KeySym keysym = KeysymForVirtualKey(vk);
    const KeyCode keycode = keysym ? XKeysymToKeycode(display, keysym) : 0;
    if (keycode == 0)
        return false;
    const Grab grab{id, keycode, X11Modifiers(modifiers)};
    for (const Grab& held : g_grabs) {
        if (held.keycode == grab.keycode && held.mask == grab.mask)
            return false;  // one combination, one action: the first entry keeps it
    }

    // Another program holding the combination answers BadAccess; trap it
    // rather than let the default handler end the program.
    GdkDisplay* gdkDisplay = gdk_display_get_default();
    gdk_x11_display_error_trap_push(gdkDisplay);
    const Window root = DefaultRootWindow(display);
    for (unsigned extra : LockVariants(display))
        XGrabKey(display, keycode, grab.mask | extra, root, False, GrabModeAsync, GrabModeAsync);
    if (gdk_x11_display_error_trap_pop(gdkDisplay) != 0) {
        gdk_x11_display_error_trap_push(gdkDisplay);
        ReleaseGrab(display, grab);
        gdk_x11_display_error_trap_pop_ignored(gdkDisplay);
        return false;
    }
    InstallFilter();
    g_grabs.push_back(grab);
    return true;
}

}  // namespace

void RegisterHotkeys(wxFrame*)
{
    for (const MediaKey& key : kMediaKeys)
        GrabCombination(key.id, 0, key.vk);
    if (!g_hotkeys.hotkeysEnabled)
        return;
    for (const HotkeyEntry& entry : g_hotkeys.entries)
        GrabCombination(entry.id, entry.modifiers, entry.vk);
}

bool RegisterHotkeyEntry(const HotkeyEntry& entry)
{
    return GrabCombination(entry.id, entry.modifiers, entry.vk);
}

void UnregisterHotkeyId(int32_t id)
{
    Display* display = X11Display();
    if (!display)
        return;
    GdkDisplay* gdkDisplay = gdk_display_get_default();
    gdk_x11_display_error_trap_push(gdkDisplay);
    for (const Grab& grab : g_grabs) {
        if (grab.id == id)
            ReleaseGrab(display, grab);
    }
    gdk_x11_display_error_trap_pop_ignored(gdkDisplay);
    std::erase_if(g_grabs, [id](const Grab& grab) { return grab.id == id; });
}

void UnregisterHotkeys()
{
    Display* display = X11Display();
    if (display) {
        GdkDisplay* gdkDisplay = gdk_display_get_default();
        gdk_x11_display_error_trap_push(gdkDisplay);
        for (const Grab& grab : g_grabs)
            ReleaseGrab(display, grab);
        gdk_x11_display_error_trap_pop_ignored(gdkDisplay);
    }
    g_grabs.clear();
    if (g_filterInstalled) {
        gdk_window_remove_filter(gdk_get_default_root_window(), OnRootWindowEvent, nullptr);
        g_filterInstalled = false;
    }
}

#include "ui/PresetMenu.h"

#include "app/Commands.h"
#include "effects/Presets.h"
#include "i18n/Translations.h"
#include "speech/AnnouncementQueue.h"
#include "ui/SavePresetDialog.h"

#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/utils.h>

#include <algorithm>

namespace {

wxString Text(const char* english)
{
    return wxString::FromUTF8(Translate(english));
}

// At the pointer when it is over the window, else near its top-left corner
// (a keyboard user's pointer is usually elsewhere).
wxPoint MenuPosition(wxFrame* frame)
{
    const wxPoint mouse = wxGetMousePosition();
    if (frame->GetScreenRect().Contains(mouse))
        return frame->ScreenToClient(mouse);
    return frame->ScreenToClient(frame->GetScreenPosition() + wxPoint(20, 40));
}

}  // namespace

void ShowPresetMenu(wxFrame* frame)
{
    if (!frame)
        return;
    const std::vector<std::string> names = ListPresets();
    const int shown = std::min(static_cast<int>(names.size()), kMaxPresetMenuItems);

    wxMenu menu;
    if (shown == 0) {
        menu.Append(wxID_ANY, Text("(No presets saved)"))->Enable(false);
    } else {
        auto* deleteMenu = new wxMenu;
        for (int i = 0; i < shown; ++i) {
            // "&" would otherwise be taken as a mnemonic marker.
            wxString label = wxString::FromUTF8(names[i]);
            label.Replace("&", "&&");
            menu.Append(cmd::LoadPresetFirst + i, label);
            deleteMenu->Append(cmd::DeletePresetFirst + i, label);
        }
        menu.AppendSeparator();
        menu.AppendSubMenu(deleteMenu, Text("&Delete preset"));
    }
    menu.AppendSeparator();
    menu.Append(cmd::SavePreset, Text("&Save current as new preset..."));

    const int chosen = frame->GetPopupMenuSelectionFromUser(menu, MenuPosition(frame));
    if (chosen >= cmd::LoadPresetFirst && chosen < cmd::LoadPresetFirst + shown)
        LoadPresetCommand(chosen - cmd::LoadPresetFirst);
    else if (chosen >= cmd::DeletePresetFirst && chosen < cmd::DeletePresetFirst + shown)
        DeletePresetCommand(chosen - cmd::DeletePresetFirst);
    else if (chosen == cmd::SavePreset)
        SavePresetCommand(frame);
}

void SavePresetCommand(wxFrame* frame)
{
    std::string name;
    if (!ShowSavePresetDialog(frame, name) || name.empty())
        return;
    if (SavePreset(name))
        Announce(TranslateUtf8("Saved preset") + " " + name, true);
}

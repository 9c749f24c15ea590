#include "hotkeys/TrayIcon.h"

#include "app/AppMessages.h"
#include "app/Commands.h"
#include "i18n/Translations.h"

#include <wx/artprov.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/taskbar.h>

namespace {

wxString Label(const char* english)
{
    return wxString::FromUTF8(Translate(english));
}

class CorvaneTrayIcon final : public wxTaskBarIcon {
public:
    explicit CorvaneTrayIcon(wxFrame* frame) : frame_(frame)
    {
        // GTK reports a click on the icon as a double click when the
        // single click is not handled.
        Bind(wxEVT_TASKBAR_LEFT_DCLICK, [this](wxTaskBarIconEvent&) { RestoreFromTray(frame_); });
        // Menu choices run from the message loop like every other command.
        Bind(wxEVT_MENU, [](wxCommandEvent& event) { PostCommand(event.GetId(), 0); });
    }

protected:
    wxMenu* CreatePopupMenu() override
    {
        auto* menu = new wxMenu;
        menu->Append(cmd::TrayRestore, Label("&Restore"));
        menu->AppendSeparator();
        menu->Append(cmd::PlayPause, Label("&Play/Pause"));
        menu->Append(cmd::Stop, Label("&Stop"));
        menu->Append(cmd::Previous, Label("P&revious"));
        menu->Append(cmd::Next, Label("&Next"));
        menu->AppendSeparator();
        menu->Append(cmd::TrayExit, Label("E&xit"));
        return menu;
    }

private:
    wxFrame* frame_;
};

CorvaneTrayIcon* g_trayIcon = nullptr;

wxIcon ApplicationIcon(wxFrame* frame)
{
    const wxIcon own = frame->GetIcon();
    if (own.IsOk())
        return own;
    return wxArtProvider::GetIcon(wxART_EXECUTABLE_FILE, wxART_OTHER);
}

bool ShowTrayIcon(wxFrame* frame)
{
    if (g_trayIcon)
        return true;
    if (!wxTaskBarIcon::IsAvailable())
        return false;
    auto* icon = new CorvaneTrayIcon(frame);
    if (!icon->SetIcon(ApplicationIcon(frame), "Corvane")) {
        icon->Destroy();
        return false;
    }
    g_trayIcon = icon;
    return true;
}

}  // namespace

void HideToTray(wxFrame* frame)
{
    if (!frame)
        return;
    if (ShowTrayIcon(frame)) {
        frame->Hide();
        return;
    }
    // A hidden window with no icon to bring it back would be lost.
    if (!frame->IsIconized())
        frame->Iconize(true);
}

void RestoreFromTray(wxFrame* frame)
{
    if (!frame)
        return;
    frame->Show(true);
    if (frame->IsIconized())
        frame->Iconize(false);
    frame->Raise();
}

void ToggleWindow(wxFrame* frame)
{
    if (!frame)
        return;
    if (frame->IsShown() && !frame->IsIconized())
        HideToTray(frame);
    else
        RestoreFromTray(frame);
}

void RemoveTrayIcon()
{
    if (!g_trayIcon)
        return;
    g_trayIcon->RemoveIcon();
    g_trayIcon->Destroy();
    g_trayIcon = nullptr;
}

bool TrayIconShown()
{
    return g_trayIcon != nullptr;
}

#include "ui/PlaylistManagerDialog.h"

#include "i18n/TranslateWx.h"
#include "i18n/Translations.h"
#include "playback/PlaybackSession.h"
#include "playlist/Playlist.h"
#include "playlist/PlaylistFiles.h"
#include "playlist/QueueEdits.h"
#include "speech/AnnouncementQueue.h"
#include "storage/Settings.h"
#include "ui/Accessibility.h"
#include "ui/Clipboard.h"

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/filedlg.h>
#include <wx/listbox.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

namespace {

constexpr int kDialogId = 930;
constexpr int kListId = 931;
constexpr int kSaveId = 932;

wxListBox* g_openList = nullptr;  // the open manager's list, for following playback

wxString Text(const char* english)
{
    return wxString::FromUTF8(Translate(english));
}

void FillList(wxListBox* list, int selectIndex)
{
    list->Freeze();
    list->Clear();
    for (size_t i = 0; i < g_playlist.entries.size(); ++i)
        list->Append(wxString::FromUTF8(QueueLine(static_cast<int>(i), g_playlist.entries[i])));
    list->Thaw();
    if (selectIndex >= 0 && selectIndex < static_cast<int>(list->GetCount())) {
        list->SetSelection(selectIndex);
        list->EnsureVisible(selectIndex);
    }
}

std::vector<int> SelectedLines(wxListBox* list)
{
    wxArrayInt sel;
    list->GetSelections(sel);
    return std::vector<int>(sel.begin(), sel.end());
}

void SelectLines(wxListBox* list, const std::vector<int>& lines)
{
    for (int i : lines) {
        if (i >= 0 && i < static_cast<int>(list->GetCount()))
            list->SetSelection(i);
    }
}

// The line with the keyboard focus: the first selected one here.
int FocusedLine(wxListBox* list)
{
    const std::vector<int> sel = SelectedLines(list);
    return sel.empty() ? -1 : sel.front();
}

void SavePlaylist(wxWindow* owner)
{
    if (g_playlist.entries.empty()) {
        wxMessageBox(Text("Playlist is empty."), Text("Save Playlist"), wxOK | wxICON_INFORMATION, owner);
        return;
    }
    wxFileDialog dialog(owner, Text("Save Playlist"), "", "playlist.m3u",
                        "M3U Playlist (*.m3u)|*.m3u|M3U8 Playlist (*.m3u8)|*.m3u8|All Files (*.*)|*",
                        wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK)
        return;
    wxString path = dialog.GetPath();
    if (!path.Contains("."))
        path += ".m3u";
    if (WriteM3u(std::string(path.utf8_str()), g_playlist.entries))
        Announce(TranslateUtf8("Playlist saved"), true);
    else
        wxMessageBox(Text("Failed to save playlist."), Text("Error"), wxOK | wxICON_ERROR, owner);
}

}  // namespace

void PlaylistManagerCurrentChanged()
{
    if (!g_openList || !g_settings.playback.playlistFollow)
        return;
    const int cur = g_playlist.current;
    if (cur >= 0 && cur < static_cast<int>(g_openList->GetCount())) {
        g_openList->DeselectAll();
        g_openList->SetSelection(cur);
        g_openList->EnsureVisible(cur);
    }
}

void ShowPlaylistManager(wxWindow* owner)
{
    wxDialog dialog(owner, kDialogId, "Playlist Manager", wxDefaultPosition, wxSize(560, 420),
                    wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER | wxMINIMIZE_BOX | wxMAXIMIZE_BOX);
    dialog.SetMinSize(wxSize(350, 200));
    auto* list = new wxListBox(&dialog, kListId, wxDefaultPosition, wxDefaultSize, 0, nullptr,
                               wxLB_EXTENDED | wxLB_NEEDED_SB);
    auto* save = new wxButton(&dialog, kSaveId, "&Save...");
    auto* hint = new wxStaticText(&dialog, wxID_ANY,
                                  "Alt+Up/Down: Move  |  Delete: Remove  |  Enter: Play  |  Ctrl+V: Paste  |  Esc: Close");
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(list, 1, wxEXPAND | wxALL, 7);
    auto* bottom = new wxBoxSizer(wxHORIZONTAL);
    bottom->Add(save, 0, wxRIGHT, 8);
    bottom->Add(hint, 1, wxALIGN_CENTER_VERTICAL);
    sizer->Add(bottom, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 7);
    dialog.SetSizer(sizer);
    TranslateDialog(&dialog);
    SetAccessibleName(list, dialog.GetTitle());

    g_openList = list;
    FillList(list, g_playlist.current);

    auto playLine = [&](int line) {
        if (line < 0 || line >= static_cast<int>(g_playlist.entries.size()))
            return;
        dialog.EndModal(wxID_OK);
        PlayIndex(line, true);
    };
    list->Bind(wxEVT_LISTBOX_DCLICK, [&](wxCommandEvent& e) { playLine(e.GetSelection()); });
    save->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { SavePlaylist(&dialog); });

    // The list's own keys come after ours (GTK would take Ctrl+V and others).
    dialog.Bind(wxEVT_CHAR_HOOK, [&](wxKeyEvent& e) {
        const int key = e.GetKeyCode();
        const int mods = e.GetModifiers();
        if (key == WXK_ESCAPE) {
            dialog.EndModal(wxID_CANCEL);
            return;
        }
        if (dialog.FindFocus() != list) {
            e.Skip();
            return;
        }
        if ((key == WXK_RETURN || key == WXK_NUMPAD_ENTER) && mods == wxMOD_NONE) {
            playLine(FocusedLine(list));
        } else if (key == WXK_DELETE && mods == wxMOD_NONE) {
            const std::vector<int> sel = SelectedLines(list);
            if (sel.empty())
                return;
            const int select = RemoveEntries(g_playlist, sel);
            FillList(list, select);
            Announce(std::to_string(sel.size()) + " " + TranslateUtf8("removed"), true);
        } else if (key == 'A' && mods == wxMOD_CONTROL) {
            for (unsigned i = 0; i < list->GetCount(); ++i)
                list->SetSelection(static_cast<int>(i));
        } else if (key == 'V' && mods == wxMOD_CONTROL) {
            const std::vector<std::string> items = CollectClipboardMedia();
            if (items.empty())
                return;
            const int focus = FocusedLine(list);
            const int at = InsertEntries(g_playlist, focus >= 0 ? focus + 1 : static_cast<int>(g_playlist.entries.size()),
                                         items);
            FillList(list, at);
            Announce(std::to_string(items.size()) + " " + TranslateUtf8("files pasted"), true);
        } else if ((key == WXK_UP || key == WXK_DOWN) && mods == wxMOD_ALT) {
            const std::vector<int> sel = SelectedLines(list);
            const std::vector<int> moved = key == WXK_UP ? MoveEntriesUp(g_playlist, sel) : MoveEntriesDown(g_playlist, sel);
            if (moved.empty()) {
                if (sel.empty())
                    e.Skip();
                return;
            }
            FillList(list, moved.front());
            SelectLines(list, moved);
        } else {
            e.Skip();
        }
    });
    list->SetFocus();
    dialog.ShowModal();
    g_openList = nullptr;
}

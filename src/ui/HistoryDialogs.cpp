#include "ui/HistoryDialogs.h"

#include "i18n/TranslateWx.h"
#include "i18n/Translations.h"
#include "playback/Bookmarks.h"
#include "playlist/Playlist.h"
#include "speech/AnnouncementQueue.h"
#include "storage/Database.h"
#include "ui/Accessibility.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/clipbrd.h>
#include <wx/dialog.h>
#include <wx/listbox.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include <ctime>

namespace {

wxString Text(const char* english)
{
    return wxString::FromUTF8(Translate(english));
}

std::string LocalTime(int64_t seconds)
{
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&t, &local);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &local);
    return buf;
}

}  // namespace

void ShowBookmarksDialog(wxWindow* owner)
{
    wxDialog dialog(owner, wxID_ANY, "Bookmarks", wxDefaultPosition, wxSize(460, 320),
                    wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER);
    dialog.SetMinSize(wxSize(300, 200));
    auto* showLabel = new wxStaticText(&dialog, wxID_ANY, "&Show:");
    wxArrayString choices;
    choices.Add(Text("Current file"));
    choices.Add(Text("All bookmarks"));
    auto* show = new wxChoice(&dialog, wxID_ANY, wxDefaultPosition, wxDefaultSize, choices);
    auto* hint = new wxStaticText(&dialog, wxID_ANY, "Enter = jump, Delete = remove, Escape = close");
    auto* list = new wxListBox(&dialog, wxID_ANY);
    auto* close = new wxButton(&dialog, wxID_CANCEL, "Close");

    auto* top = new wxBoxSizer(wxHORIZONTAL);
    top->Add(showLabel, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    top->Add(show, 0);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(top, 0, wxALL, 6);
    sizer->Add(hint, 0, wxLEFT | wxRIGHT, 6);
    sizer->Add(list, 1, wxEXPAND | wxALL, 6);
    sizer->Add(close, 0, wxALIGN_RIGHT | wxALL, 6);
    dialog.SetSizer(sizer);
    TranslateDialog(&dialog);
    SetAccessibleName(show, showLabel->GetLabelText());
    SetAccessibleName(list, dialog.GetTitle());
    dialog.SetEscapeId(wxID_CANCEL);

    const int cur = g_playlist.current;
    const std::string currentPath =
        cur >= 0 && cur < static_cast<int>(g_playlist.entries.size()) ? g_playlist.entries[cur] : std::string();
    std::vector<BookmarkRow> all = ListBookmarks();
    std::vector<BookmarkRow> shown;
    show->SetSelection(currentPath.empty() ? 1 : 0);

    auto fill = [&] {
        shown = BookmarksToShow(all, currentPath, show->GetSelection() == 1);
        list->Clear();
        for (const BookmarkRow& b : shown)
            list->Append(wxString::FromUTF8(b.display));
        if (!shown.empty())
            list->SetSelection(0);
    };
    fill();
    show->Bind(wxEVT_CHOICE, [&](wxCommandEvent&) {
        fill();
        list->SetFocus();
    });
    auto jump = [&] {
        const int i = list->GetSelection();
        if (i == wxNOT_FOUND || i >= static_cast<int>(shown.size()))
            return;
        const BookmarkRow chosen = shown[i];
        dialog.EndModal(wxID_OK);
        JumpToBookmark(chosen);
    };
    list->Bind(wxEVT_LISTBOX_DCLICK, [&](wxCommandEvent&) { jump(); });
    list->Bind(wxEVT_KEY_DOWN, [&](wxKeyEvent& e) {
        if (e.GetKeyCode() == WXK_RETURN || e.GetKeyCode() == WXK_NUMPAD_ENTER) {
            jump();
        } else if (e.GetKeyCode() == WXK_DELETE) {
            const int i = list->GetSelection();
            if (i == wxNOT_FOUND || i >= static_cast<int>(shown.size()))
                return;
            const int id = shown[i].id;
            DeleteBookmark(id);
            all.erase(std::remove_if(all.begin(), all.end(), [id](const BookmarkRow& b) { return b.id == id; }), all.end());
            shown.erase(shown.begin() + i);
            list->Delete(i);
            if (!shown.empty())
                list->SetSelection(std::min(i, static_cast<int>(shown.size()) - 1));
            Announce(TranslateUtf8("Bookmark removed"), true);
        } else {
            e.Skip();
        }
    });
    list->SetFocus();
    dialog.ShowModal();
}

void ShowSongHistoryDialog(wxWindow* owner)
{
    wxDialog dialog(owner, wxID_ANY, "Song History", wxDefaultPosition, wxSize(520, 340),
                    wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER);
    dialog.SetMinSize(wxSize(300, 200));
    auto* label = new wxStaticText(&dialog, wxID_ANY, "Recent songs captured from stream metadata (Ctrl+C to copy):");
    auto* list = new wxListBox(&dialog, wxID_ANY);
    auto* copy = new wxButton(&dialog, wxID_ANY, "&Copy");
    auto* clear = new wxButton(&dialog, wxID_ANY, "C&lear");
    auto* close = new wxButton(&dialog, wxID_CANCEL, "Close");

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->Add(copy, 0, wxRIGHT, 6);
    buttons->Add(clear, 0);
    buttons->AddStretchSpacer();
    buttons->Add(close, 0);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(label, 0, wxALL, 6);
    sizer->Add(list, 1, wxEXPAND | wxLEFT | wxRIGHT, 6);
    sizer->Add(buttons, 0, wxEXPAND | wxALL, 6);
    dialog.SetSizer(sizer);
    TranslateDialog(&dialog);
    SetAccessibleName(list, label->GetLabelText());
    dialog.SetEscapeId(wxID_CANCEL);

    std::vector<SongHistoryEntry> shown;
    auto fill = [&] {
        shown = ListSongHistory();
        list->Clear();
        for (const SongHistoryEntry& e : shown)
            list->Append(wxString::FromUTF8(e.title + "\t" + LocalTime(e.timestamp)));
        if (!shown.empty())
            list->SetSelection(0);
    };
    auto copySelected = [&] {
        const int i = list->GetSelection();
        if (i == wxNOT_FOUND || i >= static_cast<int>(shown.size()) || shown[i].title.empty())
            return;
        if (wxTheClipboard->Open()) {
            wxTheClipboard->SetData(new wxTextDataObject(wxString::FromUTF8(shown[i].title)));
            wxTheClipboard->Close();
            Announce(TranslateUtf8("Song copied"), true);
        }
    };
    fill();
    copy->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { copySelected(); });
    clear->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) {
        if (wxMessageBox(Text("Clear all song history?"), Text("Song History"), wxYES_NO | wxICON_QUESTION, &dialog) ==
            wxYES) {
            ClearSongHistory();
            fill();
            list->SetFocus();
        }
    });
    // A focused list would take Ctrl+C for type-ahead; catch it first.
    dialog.Bind(wxEVT_CHAR_HOOK, [&](wxKeyEvent& e) {
        if (e.GetKeyCode() == 'C' && e.GetModifiers() == wxMOD_CONTROL && dialog.FindFocus() == list)
            copySelected();
        else
            e.Skip();
    });
    list->SetFocus();
    dialog.ShowModal();
}

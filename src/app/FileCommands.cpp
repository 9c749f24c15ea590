#include "app/FileCommands.h"

#include "app/Commands.h"
#include "app/Lifecycle.h"
#include "app/MainFrame.h"
#include "i18n/Translations.h"
#include "i18n/TranslateWx.h"
#include "ui/Accessibility.h"
#include "ui/Clipboard.h"
#include "playlist/FolderScan.h"
#include "playlist/MediaExtensions.h"
#include "playlist/Playlist.h"
#include "playlist/PlaylistFiles.h"
#include "playlist/QueueSources.h"
#include "speech/AnnouncementQueue.h"
#include "storage/Settings.h"

#include <wx/clipbrd.h>
#include <wx/dirdlg.h>
#include <wx/filedlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace {

constexpr int kOpenUrlDialogId = 650;
constexpr int kOpenUrlEditId = 651;
constexpr size_t kMaxUrlChars = 2047;

const char* const kOpenFilters =
    "All Supported|*.mp3;*.mp2;*.mp1;*.wav;*.ogg;*.oga;*.flac;*.m4a;*.m4b;*.m4r;*.mp4;*.wma;*.wmv;*.aac;"
    "*.opus;*.aiff;*.aif;*.ape;*.wv;*.alac;*.mid;*.midi;*.rmi;*.kar;*.dff;*.dsf;*.cda;*.mod;*.s3m;*.xm;*.it;"
    "*.mtm;*.umx;*.mkv;*.avi;*.mov;*.webm;*.flv;*.ts;*.m2ts;*.vob;*.ogv;*.3gp;*.mpg;*.mpeg;*.m4v;*.divx;"
    "*.rmvb;*.m3u;*.m3u8;*.pls"
    "|Audio Files|*.mp3;*.mp2;*.mp1;*.wav;*.ogg;*.oga;*.flac;*.m4a;*.m4b;*.m4r;*.mp4;*.wma;*.aac;*.opus;"
    "*.aiff;*.aif;*.ape;*.wv;*.alac;*.mid;*.midi;*.rmi;*.kar;*.dff;*.dsf;*.cda;*.mod;*.s3m;*.xm;*.it;*.mtm;*.umx"
    "|Video Files|*.mp4;*.mkv;*.avi;*.mov;*.webm;*.wmv;*.flv;*.ts;*.m2ts;*.vob;*.ogv;*.3gp;*.mpg;*.mpeg;"
    "*.m4v;*.divx;*.rmvb"
    "|Playlists|*.m3u;*.m3u8;*.pls"
    "|All Files (*.*)|*";

std::string Utf8(const wxString& s)
{
    return std::string(s.utf8_str());
}

void ReplaceQueueAndPlay(MainFrame& frame, std::vector<std::string> entries, int start)
{
    g_playlist.current = -1;
    g_playlist.entries = std::move(entries);
    if (!g_playlist.entries.empty())
        StartQueueAt(frame, start, true);
}

}  // namespace

void OpenFilesCommand(MainFrame& frame, int, long)
{
    wxFileDialog dialog(&frame, wxString::FromUTF8(Translate("Open")), "", "", kOpenFilters,
                        wxFD_OPEN | wxFD_MULTIPLE | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK)
        return;
    wxArrayString paths;
    dialog.GetPaths(paths);

    std::vector<std::string> chosen;
    for (const wxString& p : paths)
        chosen.push_back(Utf8(p));
    std::vector<std::string> queue;
    const int start = QueueFromOpenedFiles(chosen, g_settings.playback.loadFolder, queue);
    ReplaceQueueAndPlay(frame, std::move(queue), start);
}

void OpenUrlCommand(MainFrame& frame, int, long)
{
    wxDialog dialog(&frame, kOpenUrlDialogId, "Open URL");
    auto* label = new wxStaticText(&dialog, wxID_ANY, "Enter stream &URL (http/https):");
    auto* edit = new wxTextCtrl(&dialog, kOpenUrlEditId, "", wxDefaultPosition, wxSize(380, -1));
    edit->SetMaxLength(kMaxUrlChars);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(label, 0, wxALL, 6);
    sizer->Add(edit, 0, wxEXPAND | wxLEFT | wxRIGHT, 6);
    sizer->Add(dialog.CreateButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxALL, 6);
    dialog.SetSizerAndFit(sizer);
    TranslateDialog(&dialog);
    SetAccessibleName(edit, label->GetLabelText());

    if (wxTheClipboard->Open()) {
        wxTextDataObject data;
        if (wxTheClipboard->IsSupported(wxDF_UNICODETEXT) && wxTheClipboard->GetData(data)) {
            const wxString text = data.GetText();
            const wxString lower = text.Lower();
            if (lower.StartsWith("http://") || lower.StartsWith("https://")) {
                edit->SetValue(text.Left(kMaxUrlChars));
                edit->SelectAll();
            }
        }
        wxTheClipboard->Close();
    }
    edit->SetFocus();
    if (dialog.ShowModal() != wxID_OK)
        return;
    const std::string url = Utf8(edit->GetValue().Left(kMaxUrlChars));
    if (url.empty())
        return;
    ReplaceQueueAndPlay(frame, {url}, 0);
}

void AddFolderCommand(MainFrame& frame, int, long)
{
    wxDirDialog dialog(&frame, wxString::FromUTF8(Translate("Select folder to add to playlist")), "",
                       wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK)
        return;
    const AddFolderOutcome outcome = AddFolderToQueue(g_playlist, Utf8(dialog.GetPath()), TranslateUtf8("files loaded"),
                                                      TranslateUtf8("No audio files found"));
    if (outcome.replaced)
        StartQueueAt(frame, 0, true);
    Announce(outcome.announcement, true);
}

void ToggleShuffleCommand(MainFrame& frame, int, long)
{
    const ShuffleToggle toggle = ToggleShuffle(g_settings.playback.shuffle);
    g_settings.playback.shuffle = toggle.shuffle;
    Announce(TranslateUtf8(toggle.announcement), true);
    if (wxMenuBar* bar = frame.GetMenuBar())
        bar->Check(cmd::Shuffle, g_settings.playback.shuffle);
    SaveSettings();
}

void PasteCommand(MainFrame& frame, int, long)
{
    std::vector<std::string> items = CollectClipboardMedia();
    if (items.empty()) {
        Announce(TranslateUtf8("No media in clipboard"), true);
        return;
    }
    const size_t count = items.size();
    ReplaceQueueAndPlay(frame, std::move(items), 0);
    Announce(count == 1 ? TranslateUtf8("Pasted 1 item") : std::to_string(count) + " " + TranslateUtf8("items pasted"),
             true);
}

#include "app/FileCommands.h"

#include "app/Commands.h"
#include "app/Lifecycle.h"
#include "app/MainFrame.h"
#include "i18n/Translations.h"
#include "i18n/TranslateWx.h"
#include "playlist/FolderScan.h"
#include "playlist/MediaExtensions.h"
#include "playlist/Playlist.h"
#include "playlist/PlaylistFiles.h"
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

    std::vector<std::string> queue;
    int start = 0;
    if (paths.size() == 1) {
        const std::string path = Utf8(paths[0]);
        if (IsPlaylistFile(path))
            queue = ReadPlaylistFile(path);
        else if (g_settings.playback.loadFolder)
            start = LoadFolderOf(path, queue);
        else
            queue = {path};
    } else {
        for (const wxString& p : paths) {
            const std::string path = Utf8(p);
            if (IsPlaylistFile(path)) {
                for (std::string& e : ReadPlaylistFile(path))
                    queue.push_back(std::move(e));
            } else {
                queue.push_back(path);
            }
        }
    }
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
    edit->SetName(label->GetLabelText());

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
    std::vector<std::string> files = ScanFolderSorted(Utf8(dialog.GetPath()));
    if (files.empty()) {
        Announce(TranslateUtf8("No audio files found"), true);
        return;
    }
    const size_t count = files.size();
    ReplaceQueueAndPlay(frame, std::move(files), 0);
    Announce(std::to_string(count) + " " + TranslateUtf8("files loaded"), true);
}

void ToggleShuffleCommand(MainFrame& frame, int, long)
{
    g_settings.playback.shuffle = !g_settings.playback.shuffle;
    Announce(TranslateUtf8(g_settings.playback.shuffle ? "Shuffle on" : "Shuffle off"), true);
    if (wxMenuBar* bar = frame.GetMenuBar())
        bar->Check(cmd::Shuffle, g_settings.playback.shuffle);
    SaveSettings();
}

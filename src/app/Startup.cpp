#include "app/Startup.h"

#include "app/InstanceBatch.h"
#include "app/Lifecycle.h"
#include "app/MainFrame.h"
#include "app/SingleInstance.h"
#include "hotkeys/Hotkeys.h"
#include "i18n/Translations.h"
#include "i18n/TranslateWx.h"
#include "log/Log.h"
#include "platform/Paths.h"
#include "playlist/Playlist.h"
#include "storage/IniFile.h"
#include "storage/Settings.h"

#include <wx/app.h>
#include <wx/log.h>
#include <wx/msgdlg.h>

#include <csignal>
#include <cstdio>

namespace {

class CorvaneApp : public wxApp {
public:
    bool OnInit() override { return true; }  // the window is made by RunCorvane
};

void CloseOnSignal(int)
{
    if (MainFrame* frame = TheMainFrame())
        frame->Close(true);
    else if (wxTheApp)
        wxTheApp->ExitMainLoop();
}

void ShowStartError(const char* text)
{
    wxMessageBox(wxString::FromUTF8(Translate(text)), "Corvane", wxOK | wxICON_ERROR);
}

}  // namespace

int RunCorvane(int argc, char** argv)
{
    LogStart();

    const bool allowMultiple = IniReadInt(SettingsFilePath(), "Playback", "AllowMultipleInstances", 0) != 0;

    // Only existing paths count; switches and URLs are ignored everywhere.
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        if (PathExists(argv[i]))
            files.push_back(argv[i]);
    }

    const bool mustHandOver = !allowMultiple || !files.empty();
    const bool firstInstance = AcquireInstanceLock();
    if (!firstInstance && mustHandOver && SendToRunningInstance(RecordsForLaunch(files)))
        return 0;

    BuildTranslationTables();
    LoadSettings();
    SetLanguage(g_settings.general.language);
    LoadHotkeys();

    for (const std::string& f : files) {
        for (std::string& entry : ExpandLaunchPath(f))
            g_playlist.entries.push_back(std::move(entry));
    }

    wxApp::SetInstance(new CorvaneApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "Corvane: cannot open the display.\n");
        return 1;
    }
    int exitCode = 0;
    // wx's debug chatter would mix with speech captured on standard output.
    wxLog::SetLogLevel(wxLOG_Warning);
    wxTheApp->CallOnInit();
    wxTheApp->SetSignalHandler(SIGTERM, CloseOnSignal);
    wxTheApp->SetSignalHandler(SIGINT, CloseOnSignal);

    auto* frame = new MainFrame;
    if (!frame->Created()) {
        frame->Destroy();
        ShowStartError("Failed to create window.");
        exitCode = 1;
    } else {
        frame->Show();
        frame->RefreshTitle();
        if (g_playlist.entries.empty())
            RestoreQueueFromSettings(*frame);
        wxTheApp->OnRun();
    }
    wxTheApp->OnExit();
    wxEntryCleanup();
    ReleaseInstanceLock();
    return exitCode;
}

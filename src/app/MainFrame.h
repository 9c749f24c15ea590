#pragma once
// The main window: the switchboard that turns commands, timers and posted
// messages into calls on the subsystems.
#include "app/AppMessages.h"

#include <wx/frame.h>
#include <wx/timer.h>

class StatusBarPanel;
class wxMenu;

namespace timer_id {
constexpr int Status = 400;
constexpr int Batch = 401;
constexpr int Scheduler = 402;
constexpr int ScheduledEnd = 403;
constexpr int HidePointer = 410;
}  // namespace timer_id

class MainFrame : public wxFrame {
public:
    MainFrame();
    ~MainFrame() override;

    // False when the creation sequence failed (the window must not be shown).
    bool Created() const { return created_; }

    void RefreshStatus();
    void RefreshTitle();
    void RebuildRecentMenu();
    void RunCommand(int id, long lParam);
    void BringForward();

    StatusBarPanel* StatusBar() const { return statusBar_; }
    wxWindow* VideoHost() const { return videoHost_; }
    wxTimer& Timer(int id);

    // Called on the UI thread for each record another launch sends.
    int ReceiveInstanceRecord(unsigned kind, const std::string& path);

private:
    bool RunCreationSequence();
    void RunShutdownSequence();
    void BuildMenuBar();
    void FlushPendingBatch();

    void OnCharHook(wxKeyEvent& event);
    void OnMenu(wxCommandEvent& event);
    void OnTimer(wxTimerEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnMenuOpen(wxMenuEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnIconize(wxIconizeEvent& event);
    void OnAppMessage(PostedMessage& message);

    StatusBarPanel* statusBar_ = nullptr;
    wxWindow* videoHost_ = nullptr;
    wxMenu* fileMenu_ = nullptr;
    wxMenu* recentMenu_ = nullptr;
    wxTimer statusTimer_, batchTimer_, schedulerTimer_, scheduledEndTimer_, pointerTimer_;
    bool created_ = false;
    bool shutDown_ = false;

    friend void DeliverAppMessage(PostedMessage&&);
};

// The one main window while it exists (UI thread only).
MainFrame* TheMainFrame();

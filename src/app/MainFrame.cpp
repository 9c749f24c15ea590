#include "app/MainFrame.h"

#include "app/CommandTable.h"
#include "app/Commands.h"
#include "app/InstanceBatch.h"
#include "app/KeyMapping.h"
#include "app/MessageHandlers.h"
#include "app/RecentMenu.h"
#include "app/Lifecycle.h"
#include "app/StatusView.h"
#include "app/SingleInstance.h"
#include "app/StatusBarPanel.h"
#include "hotkeys/TrayIcon.h"
#include "storage/Settings.h"
#include "i18n/TranslateWx.h"
#include "platform/Clock.h"
#include "resources/MenuTable.h"

#include <wx/app.h>
#include <wx/menu.h>
#include <wx/sizer.h>

#include <future>
#include <mutex>

namespace {

std::mutex g_frameMutex;
MainFrame* g_frame = nullptr;  // guarded by g_frameMutex for other threads

wxDEFINE_EVENT(EVT_APP_MESSAGE, wxThreadEvent);

// Posted messages travel inside a wxThreadEvent; the payload is shared only
// so the event can be cloned, and is taken out once by the receiver.
struct MessageBox {
    PostedMessage message;
};

void PostMessageSink(PostedMessage&& message)
{
    std::lock_guard lock(g_frameMutex);
    if (!g_frame)
        return;
    auto* event = new wxThreadEvent(EVT_APP_MESSAGE);
    event->SetPayload(std::make_shared<MessageBox>(MessageBox{std::move(message)}));
    wxQueueEvent(g_frame, event);
}

void PostCommandSink(PostedCommand command)
{
    std::lock_guard lock(g_frameMutex);
    if (!g_frame)
        return;
    auto* event = new wxCommandEvent(wxEVT_MENU, command.id);
    event->SetExtraLong(command.lParam);
    wxQueueEvent(g_frame, event);
}

int HandleInstanceRecordFromListener(const InstanceRecord& record)
{
    auto reply = std::make_shared<std::promise<int>>();
    std::future<int> result = reply->get_future();
    {
        std::lock_guard lock(g_frameMutex);
        if (!g_frame)
            return 0;
        g_frame->CallAfter([record, reply] {
            MainFrame* frame = TheMainFrame();
            reply->set_value(frame ? frame->ReceiveInstanceRecord(static_cast<unsigned>(record.kind), record.path) : 0);
        });
    }
    if (result.wait_for(std::chrono::seconds(5)) != std::future_status::ready)
        return 0;
    return result.get();
}

}  // namespace

MainFrame* TheMainFrame()
{
    return g_frame;
}

MainFrame::MainFrame()
    : wxFrame(nullptr, wxID_ANY, "Corvane", wxDefaultPosition, wxSize(500, 150)),
      statusTimer_(this, timer_id::Status),
      batchTimer_(this, timer_id::Batch),
      schedulerTimer_(this, timer_id::Scheduler),
      scheduledEndTimer_(this, timer_id::ScheduledEnd),
      pointerTimer_(this, timer_id::HidePointer)
{
    SetName("CorvaneWindow");
    Bind(wxEVT_CHAR_HOOK, &MainFrame::OnCharHook, this);
    Bind(wxEVT_MENU, &MainFrame::OnMenu, this);
    Bind(wxEVT_TIMER, &MainFrame::OnTimer, this);
    Bind(wxEVT_CLOSE_WINDOW, &MainFrame::OnClose, this);
    Bind(wxEVT_MENU_OPEN, &MainFrame::OnMenuOpen, this);
    Bind(wxEVT_SIZE, &MainFrame::OnSize, this);
    Bind(wxEVT_ICONIZE, &MainFrame::OnIconize, this);
    Bind(EVT_APP_MESSAGE, [this](wxThreadEvent& e) {
        auto box = e.GetPayload<std::shared_ptr<MessageBox>>();
        if (box)
            OnAppMessage(box->message);
    });
    created_ = RunCreationSequence();
}

MainFrame::~MainFrame()
{
    RunShutdownSequence();
}

wxTimer& MainFrame::Timer(int id)
{
    switch (id) {
    case timer_id::Batch: return batchTimer_;
    case timer_id::Scheduler: return schedulerTimer_;
    case timer_id::ScheduledEnd: return scheduledEndTimer_;
    case timer_id::HidePointer: return pointerTimer_;
    default: return statusTimer_;
    }
}

bool MainFrame::RunCreationSequence()
{
    {
        std::lock_guard lock(g_frameMutex);
        g_frame = this;
    }
    SetMessageSinks(PostMessageSink, PostCommandSink);

    BuildMenuBar();

    // The video surface fills the client area above the status bar; it stays
    // hidden until a video plays.
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    videoHost_ = new wxWindow(this, wxID_ANY, wxPoint(0, 0), wxSize(100, 100));
    videoHost_->SetBackgroundColour(*wxBLACK);
    videoHost_->Hide();
    sizer->Add(videoHost_, 1, wxEXPAND);
    sizer->AddStretchSpacer(videoHost_->IsShown() ? 0 : 1);
    statusBar_ = new StatusBarPanel(this);
    sizer->Add(statusBar_, 0, wxEXPAND);
    SetSizer(sizer);

    if (!CreationSteps(*this))
        return false;

    TranslateMenu(GetMenuBar());
    statusTimer_.Start(250);
    schedulerTimer_.Start(60000);
    g_instanceBatch.startTick = TickCount();
    PlayCommandLineQueue(*this);
    RefreshStatus();
    StartBackgroundChecks(*this);
    StartInstanceServer(HandleInstanceRecordFromListener);
    return true;
}

void MainFrame::RunShutdownSequence()
{
    if (shutDown_)
        return;
    shutDown_ = true;
    StopInstanceServer();
    statusTimer_.Stop();
    schedulerTimer_.Stop();
    scheduledEndTimer_.Stop();
    batchTimer_.Stop();
    pointerTimer_.Stop();
    ShutdownSteps(*this);
    SetMessageSinks(nullptr, nullptr);
    std::lock_guard lock(g_frameMutex);
    g_frame = nullptr;
}

void MainFrame::BuildMenuBar()
{
    auto* bar = new wxMenuBar;
    for (const MenuDef& def : MainMenuBar()) {
        auto* menu = new wxMenu;
        wxMenu* target = menu;
        wxString subTitle;
        wxMenu* sub = nullptr;
        for (const MenuItemDef& item : def.items) {
            switch (item.kind) {
            case MenuItemKind::Command: target->Append(item.id, wxString::FromUTF8(item.text)); break;
            case MenuItemKind::Check: target->AppendCheckItem(item.id, wxString::FromUTF8(item.text)); break;
            case MenuItemKind::Separator: target->AppendSeparator(); break;
            case MenuItemKind::Disabled: target->Append(wxID_ANY, wxString::FromUTF8(item.text))->Enable(false); break;
            case MenuItemKind::SubMenuBegin:
                sub = new wxMenu;
                subTitle = wxString::FromUTF8(item.text);
                target = sub;
                break;
            case MenuItemKind::SubMenuEnd:
                menu->AppendSubMenu(sub, subTitle);
                recentMenu_ = sub;
                target = menu;
                break;
            }
        }
        if (!fileMenu_)
            fileMenu_ = menu;
        bar->Append(menu, wxString::FromUTF8(def.title));
    }
    SetMenuBar(bar);
}

void MainFrame::OnCharHook(wxKeyEvent& event)
{
    // Alt+F4 closes the window the same way where no window manager does it.
    if (event.GetKeyCode() == WXK_F4 && event.GetModifiers() == wxMOD_ALT) {
        Close(true);
        return;
    }
    const int id = AcceleratorForKey(event);
    if (id == 0) {
        event.Skip();
        return;
    }
    RunCommand(id, 0);
}

void MainFrame::OnMenu(wxCommandEvent& event)
{
    RunCommand(event.GetId(), event.GetExtraLong());
}

void MainFrame::RunCommand(int id, long lParam)
{
    if (const CommandRoute* route = FindCommandRoute(id))
        route->run(*this, id, lParam);
}

void MainFrame::OnTimer(wxTimerEvent& event)
{
    switch (event.GetId()) {
    case timer_id::Status:
        RefreshStatus();
        break;
    case timer_id::Batch:
        FlushPendingBatch();
        break;
    case timer_id::Scheduler:
        break;
    case timer_id::ScheduledEnd:
        scheduledEndTimer_.Stop();
        break;
    case timer_id::HidePointer:
        pointerTimer_.Stop();
        break;
    }
}

void MainFrame::OnClose(wxCloseEvent&)
{
    // Every way out (Alt+F4, File > Exit, the tray's Exit, a signal) ends here.
    RunShutdownSequence();
    Destroy();
    // The main window's end is the program's end; don't wait for an idle turn.
    wxTheApp->ExitMainLoop();
}

void MainFrame::OnMenuOpen(wxMenuEvent& event)
{
    if (event.GetMenu() == fileMenu_ || event.GetMenu() == recentMenu_)
        RebuildRecentMenu();
    event.Skip();
}

void MainFrame::OnSize(wxSizeEvent& event)
{
    event.Skip();
}

void MainFrame::OnIconize(wxIconizeEvent& event)
{
    if (event.IsIconized() && g_settings.playback.minimizeToTray && !shutDown_)
        HideToTray(this);
    event.Skip();
}

void MainFrame::OnAppMessage(PostedMessage& message)
{
    HandleAppMessage(*this, message);
}

int MainFrame::ReceiveInstanceRecord(unsigned kind, const std::string& path)
{
    if (kind == static_cast<unsigned>(InstanceKind::BringForward)) {
        BringForward();
        return 1;
    }
    if (kind != static_cast<unsigned>(InstanceKind::FirstFile) &&
        kind != static_cast<unsigned>(InstanceKind::FurtherFile))
        return 1;
    const ReceiveResult r = ReceiveFileFromQueueOwner(path);
    if (r.restartTimer) {
        batchTimer_.Stop();
        // A zero period still waits for the next turn of the event loop.
        batchTimer_.StartOnce(std::max<int>(1, static_cast<int>(r.timerMs)));
    }
    return 1;
}

void MainFrame::FlushPendingBatch()
{
    batchTimer_.Stop();
    PlayPendingBatch(*this);
}

void MainFrame::BringForward()
{
    RestoreFromTray(this);
    if (IsIconized())
        Iconize(false);
    Show();
    Raise();
    SetFocus();
}

void MainFrame::RefreshStatus()
{
    RefreshStatusBar(*this);
}

void MainFrame::RefreshTitle()
{
    RefreshWindowTitle(*this);
}

void MainFrame::RebuildRecentMenu()
{
    RebuildRecentFilesMenu(*this, recentMenu_);
}

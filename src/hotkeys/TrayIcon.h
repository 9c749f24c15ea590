#pragma once
// The notification-area icon and hiding the main window to it.
class wxFrame;

// Shows the icon (once) and hides the window. Where the desktop has no
// notification area the window is minimised instead, so that it can
// always be found again.
void HideToTray(wxFrame* frame);
// Shows, un-minimises and raises the window; the icon stays until exit.
void RestoreFromTray(wxFrame* frame);
// Hides the window if it is visible, else restores it.
void ToggleWindow(wxFrame* frame);
// At exit.
void RemoveTrayIcon();
bool TrayIconShown();

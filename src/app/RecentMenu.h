#pragma once
class MainFrame;
class wxMenu;

// Rebuilds File > Recent Files from the recent-files list.
void RebuildRecentFilesMenu(MainFrame& frame, wxMenu* recent);

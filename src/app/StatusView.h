#pragma once
class MainFrame;

// Rewrites the three status-bar parts from the current playback state.
void RefreshStatusBar(MainFrame& frame);
// Recomputes the window title.
void RefreshWindowTitle(MainFrame& frame);

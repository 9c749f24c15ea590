#pragma once
class MainFrame;

// 260-269 and 214 speak a fact of the current item; 270-279 show it.
void SpeakInfoCommand(MainFrame& frame, int id, long lParam);
void ShowInfoCommand(MainFrame& frame, int id, long lParam);

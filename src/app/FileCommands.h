#pragma once
class MainFrame;

// Commands that fill the play queue from dialogs, and the shuffle switch.
void OpenFilesCommand(MainFrame& frame, int id, long lParam);
void OpenUrlCommand(MainFrame& frame, int id, long lParam);
void AddFolderCommand(MainFrame& frame, int id, long lParam);
void PasteCommand(MainFrame& frame, int id, long lParam);
void ToggleShuffleCommand(MainFrame& frame, int id, long lParam);

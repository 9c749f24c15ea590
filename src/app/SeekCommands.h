#pragma once
class MainFrame;

// Seeking, seek units, time readouts and the Jump to Time dialog.
void SeekCommand(MainFrame& frame, int id, long lParam);
void SeekUnitCommand(MainFrame& frame, int id, long lParam);
void TimeReadoutCommand(MainFrame& frame, int id, long lParam);
void JumpToTimeCommand(MainFrame& frame, int id, long lParam);

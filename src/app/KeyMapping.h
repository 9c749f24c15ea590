#pragma once
class wxKeyEvent;

// The command the main window's accelerator table binds to this key press, or 0.
int AcceleratorForKey(const wxKeyEvent& event);

#pragma once
#include "app/AppMessages.h"

class MainFrame;

// The main window's handling of posted private messages (UI thread).
void HandleAppMessage(MainFrame& frame, PostedMessage& message);

#pragma once
// Information about the current item, read from the playback session.
#include <string>

#include "playback/InfoFields.h"

// Bitrate in kbps for the status bar: the tag channel's, else the one read
// at open, else the station's header; 0 when unknown.
int CurrentBitrate();
// The facts of what plays now, for the digit keys and the tag view.
PlayingInfo CurrentPlayingInfo();
// What Speak Title would say (the window title uses it).
std::string CurrentTitleText();

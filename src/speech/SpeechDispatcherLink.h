#pragma once
// The connection to the speech service the desktop screen reader speaks
// through. Opened on need, kept, and opened afresh once when it has dropped.
#include <string>

struct SpeechDispatcherLink {
    void* connection = nullptr;  // SPDConnection*, kept out of this header
};

// Opens the connection unless it is open; true when the service answers.
// The address comes from SPEECHD_ADDRESS when set, else the user's default.
bool OpenSpeechLink(SpeechDispatcherLink& link);
// Cancels what is being said (by every client) first when interrupt is set.
bool SpeakOnLink(SpeechDispatcherLink& link, const std::string& text, bool interrupt);
bool CancelOnLink(SpeechDispatcherLink& link);
void CloseSpeechLink(SpeechDispatcherLink& link);

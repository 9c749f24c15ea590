#pragma once
// Spoken results: any thread queues a text, the UI thread speaks what has
// piled up as one utterance when it next handles WM_ANNOUNCE.
#include <string>

// Queues a text already in the user's language and posts WM_ANNOUNCE. Does
// nothing while the queue is inactive or no main window exists. Narrow text
// is UTF-8 (malformed bytes are spoken as U+FFFD); a null text is empty.
void Announce(const std::string& text, bool interrupt);
void Announce(const char* text, bool interrupt);
void Announce(const std::u16string& text, bool interrupt);
void Announce(const char16_t* text, bool interrupt);

// Main window creation, after the audio engine and the database.
void InitAnnouncements();
// UI thread, on every WM_ANNOUNCE: joins the queued texts with ", " and
// speaks them, cutting off current speech when the oldest entry asks to.
void DrainAnnouncements();
// Last step of the main window's destruction: silence, drop what is queued.
void ShutdownAnnouncements();

#pragma once
// Text on the braille display through the BRLTTY daemon, when it runs.
#include <string>

struct BrailleLink {
    bool connected = false;
};

// True when the display took the text, and also when no BRLTTY runs (there
// is then no display to fail on). False when the daemon runs but the
// write failed; the connection is then closed to be opened again next time.
bool WriteBraille(BrailleLink& link, const std::string& text);
void CloseBrailleLink(BrailleLink& link);

#pragma once
// What the effect commands speak: the real announcement queue in front of a
// screen reader that only writes down what it is given.
#include <string>
#include <vector>

struct SpokenTexts {
    SpokenTexts();   // fresh settings, English tables, an active queue
    ~SpokenTexts();
    // Delivers what is queued, as the main window would, and returns the
    // utterances since the last call.
    std::vector<std::string> Take();
};

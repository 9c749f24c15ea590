// Process entry: the single-instance hand-over runs before any window code,
// so a second launch exits at once without touching the display.
#include "app/Startup.h"

int main(int argc, char** argv)
{
    return RunCorvane(argc, argv);
}

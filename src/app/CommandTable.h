#pragma once
// The one table from command id to handler. Ids without a row do nothing.
class MainFrame;

using CommandFn = void (*)(MainFrame& frame, int id, long lParam);

struct CommandRoute {
    int first;
    int last;
    CommandFn run;
    const char* name;
};

const CommandRoute* FindCommandRoute(int id);

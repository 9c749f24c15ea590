#pragma once
// The whole life of the process; returns its exit code.
int RunCorvane(int argc, char** argv);

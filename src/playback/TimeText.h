#pragma once
// Times as the player reads and speaks them; they are shown with FormatTime
// (app/StatusText.h).
#include <string>
#include <string_view>

// The numbers at the start of text for a pattern of fields joined by ':',
// 'i' an integer and 'f' a real number (as "%d:%d:%lf" would read them):
// the count of fields read before the first mismatch; values in out[].
int ScanTimeFields(std::string_view text, std::string_view pattern, double* out);

// The jump-to-time entry (at most 63 characters read): "h:m:s", else "m:s",
// else seconds. -1 when it matches none; a negative result means no jump.
double ParseJumpTime(std::string_view text);

// A chapter start of a Vorbis comment: "h:m:s", else "m:s", else seconds,
// else 0.
double ParseChapterTime(std::string_view text);

// The spoken length of a file of `seconds` (> 0): "Duration: %d hours, ...",
// "Duration: %d minutes, %d seconds" or "Duration: %d seconds", translated.
std::string SpokenDuration(double seconds);

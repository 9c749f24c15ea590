#pragma once
// The diagnostic log: start, stop and the video engine's loading steps.
// One line per call, the file opened and closed each time so that it can be
// read while the program runs and nothing is lost at a crash.
#include <cstddef>
#include <string>
#include <string_view>

// Lines are "[YYYY-MM-DD hh:mm:ss] [CATEGORY] message\r\n" in local time.
// A log that has grown past kLogRotateAbove bytes becomes "<path>.old"
// (replacing the earlier one) before the next line is written.
constexpr std::size_t kLogRotateAbove = 1048575;
constexpr std::size_t kLogFormatLimit = 2047;

// $XDG_STATE_HOME/Corvane/corvane.log (the folder is not created here).
std::string DefaultLogPath();

// Enables the log and writes the start line. An empty path means
// DefaultLogPath(), whose folder is created; tests pass their own file.
void LogStart(const std::string& path = {});

// Writes the stop line and disables the log; later calls write nothing.
void LogStop();

// The file in use, or empty while the log is not running.
std::string LogFilePath();

// Thread-safe; does nothing before LogStart or after LogStop.
void Log(std::string_view category, std::string_view message);

// printf-style; the formatted text is cut to kLogFormatLimit bytes.
void LogFormat(const char* category, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// For callers holding UTF-16 text; unpaired surrogates become U+FFFD.
void LogWide(std::string_view category, std::u16string_view message);

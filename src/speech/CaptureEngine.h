#pragma once
// A stand-in screen reader that writes what it is asked to say to a file,
// one line per call: "SPEAK <0|1> <text>", "STOP", "BRAILLE <text>". Used
// by end-to-end tests and headless runs (CORVANE_SPEECH_LOG). "-" means
// standard output. Line breaks and backslashes in the text are escaped
// (\n, \r, \\) so that every call stays one line.
#include "speech/ScreenReaderBridge.h"

#include <memory>
#include <string>

std::unique_ptr<ScreenReaderEngine> MakeCaptureEngine(const std::string& logPath);

// The text as it appears on a capture line.
std::string EscapeCaptureText(const std::string& text);

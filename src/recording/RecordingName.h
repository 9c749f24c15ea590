#pragma once
// Names of recordings: the user's date-and-time template with its word
// placeholders, and the extension of each format.
#include <ctime>
#include <string>

enum RecordingFormat { kRecordWav = 0, kRecordMp3 = 1, kRecordOgg = 2, kRecordFlac = 3 };

// Out-of-range formats are clamped to 0..3.
int ClampRecordingFormat(int format);
// ".wav", ".mp3", ".ogg" or ".flac".
const char* RecordingExtension(int format);
// The template with "{year}", "{jour}", ... replaced by strftime conversions.
std::string ReplaceRecordingPlaceholders(const std::string& filenameTemplate);
// The file name (no folder) for `when`, from g_settings.recording's template.
std::string RecordingFileName(int format, const std::tm& when);
// The same at the current local time.
std::string RecordingFileName(int format);

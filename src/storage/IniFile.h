#pragma once
#include "storage/IniDocument.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// The INI store on disk. Every write replaces the whole file atomically
// (temporary file in the same folder, fsync, rename), so a crash or a full
// disk leaves either the old file or the new one, never a mix.

// Reads and parses a file. A missing file gives an empty document and true;
// a file that exists but cannot be read gives false.
bool IniReadFile(const std::string& path, IniDocument& doc);
// Missing or unreadable: an empty document.
IniDocument IniLoadFile(const std::string& path);

bool IniSaveFile(const std::string& path, const IniDocument& doc);

// Reads the file, lets `change` edit it and writes it back, serialised with
// every other update in this process. False, with the file untouched, when
// the old file cannot be read or the new one cannot be written.
bool IniUpdateFile(const std::string& path, const std::function<void(IniDocument&)>& change);

// One-key operations on a file, as the Windows private-profile functions.
int IniReadInt(const std::string& path, const std::string& section, const std::string& key, int def);
std::string IniReadString(const std::string& path, const std::string& section,
                          const std::string& key, const std::string& def, size_t bufferChars);
bool IniWriteString(const std::string& path, const std::string& section, const std::string& key,
                    const std::string& value);
bool IniClearSection(const std::string& path, const std::string& section);

// Replaces `path` with `data`: temporary file beside it, fsync, rename.
// A symbolic link is followed, so the file it points to is replaced.
bool WriteFileAtomically(const std::string& path, std::string_view data);

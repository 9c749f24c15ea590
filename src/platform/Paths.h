#pragma once
#include <string>

// Where the program and its per-user data live on this platform.
// Every function returns a path without a trailing slash; empty when unknown.

std::string ExecutablePath();
std::string ExecutableDir();

// The folder holding `lib` and `docs`: beside the executable when they are
// there, else the install prefix's share/corvane.
std::string ResourceDir();

// An installed copy keeps its data in the user's folders; a portable copy
// keeps it beside the executable.
bool IsInstalledCopy();

std::string HomeDir();
std::string XdgConfigHome();   // $XDG_CONFIG_HOME or ~/.config
std::string XdgStateHome();    // $XDG_STATE_HOME or ~/.local/state
std::string XdgCacheHome();    // $XDG_CACHE_HOME or ~/.cache
std::string XdgMusicDir();     // user-dirs.dirs XDG_MUSIC_DIR or ~/Music
std::string RuntimeDir();      // $XDG_RUNTIME_DIR or /tmp/corvane-<uid>

// Folder of settings and database: `Corvane` under XdgConfigHome for an
// installed copy (created on need), the executable's folder otherwise.
std::string UserDataDir();

// Creates a folder and its parents; true when it exists afterwards.
bool MakeDirectories(const std::string& path);

bool PathExists(const std::string& path);
bool IsDirectory(const std::string& path);

// The text after the last '/' (or '\'), or the whole text.
std::string FileNamePart(const std::string& path);
std::string ParentDir(const std::string& path);

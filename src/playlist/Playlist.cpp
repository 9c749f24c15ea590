#include "playlist/Playlist.h"

Playlist g_playlist;

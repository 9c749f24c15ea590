#pragma once
// What is said when a new item starts.
#include <string>

struct TagBlocks;

// The stream title; else "artist - title" from the tags (the title, and then
// the artist, falling back to ID3v1); else the entry's file name.
std::string TrackAnnouncementText(const TagBlocks& blocks, const std::string& entry);
// The same for the current item's tag channel.
std::string TrackAnnouncementText(const std::string& entry);

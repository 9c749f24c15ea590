#pragma once
// The 128-byte ID3v1 record at the end of a file, and the ID3v1 genre names.
#include <string>
#include <string_view>

struct Id3v1Fields {
    std::string title;
    std::string artist;
    std::string album;
    std::string year;
    std::string comment;
    int track = 0;      // ID3v1.1 track number; 0 when the record has none
    int genre = 255;    // the raw genre byte
};

// The fields of a record starting with "TAG"; false (and empty fields) for
// anything shorter than 128 bytes or without that marker.
bool ReadId3v1(std::string_view block, Id3v1Fields* fields);

// Name of genres 0-79 ("Blues" .. "Hard Rock"); empty outside that range.
std::string Id3v1GenreName(int genre);

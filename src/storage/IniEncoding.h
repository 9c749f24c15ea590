#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// Settings files may come from a Windows copy of the program: UTF-16 with a
// byte-order mark, or lines in Windows-1252. Everything becomes UTF-8 here.

// Decodes a whole file: a UTF-8 or UTF-16 (LE/BE) byte-order mark picks the
// encoding; otherwise each line is UTF-8 when it is valid UTF-8 and
// Windows-1252 when it is not. NUL characters and leading byte-order marks
// are dropped, so decoding the result again changes nothing.
std::string DecodeIniText(std::string_view bytes);

// Cuts text to what a buffer of `bufferChars` UTF-16 units holds, terminator
// included (so at most bufferChars - 1 units), never inside a character.
std::string TruncateToBuffer(const std::string& utf8, size_t bufferChars);

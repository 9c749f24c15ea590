#pragma once
#include <string>
#include <string_view>

// Byte-to-text decoding for playlist files, which come from any system.

// The bytes as they are when they are strict UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF), else read as Windows-1252, whose five
// undefined bytes map to the C1 controls of the same value as on Windows.
std::string DecodePlaylistText(std::string_view bytes);

// UTF-16 (without its byte-order mark) to UTF-8; an unpaired surrogate
// becomes U+FFFD and a trailing odd byte is dropped.
std::string Utf16BytesToUtf8(std::string_view bytes, bool bigEndian);

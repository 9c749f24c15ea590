#pragma once
// UTF-8 is the text of the core; UTF-16 appears only at edges that hand it in.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Malformed input (bad UTF-8 sequences, lone surrogates) becomes U+FFFD, so
// whatever comes in can still be shown or spoken.
std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);
std::u32string Utf8ToUtf32(std::string_view text);
std::string SanitizeUtf8(std::string_view text);

bool IsValidUtf8(std::string_view text);

// Appends one code point; surrogates and values past U+10FFFF become U+FFFD.
void AppendUtf8(std::string& out, char32_t codePoint);

// The ANSI fallback for text that is not UTF-8.
std::string Windows1252ToUtf8(std::string_view bytes);

// UTF-16 units the text needs; empty when it is not valid UTF-8.
std::optional<std::size_t> Utf16Length(std::string_view utf8);

#pragma once
// Turning a network body into program text.
#include <string>
#include <string_view>

// The bytes up to the first zero byte, as valid UTF-8: every maximal invalid
// subsequence (stray continuation bytes, truncated or overlong sequences,
// surrogates, values above U+10FFFF) becomes one U+FFFD.
std::string DecodeBodyText(std::string_view body);

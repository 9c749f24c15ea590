#pragma once
// Percent-encoding of query values. Letters, digits and "-._~" stay; every
// other UTF-8 byte becomes "%XX" with upper-case hexadecimal digits.
#include <string>
#include <string_view>

// A space becomes "+" (form style): directory and podcast searches.
std::string UrlEncodeQuery(std::string_view text);

// A space becomes "%20" like every other escaped byte: video-site search.
std::string UrlEncodeStrict(std::string_view text);

#include "playback/TimeText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "i18n/Translations.h"

namespace {

// Past this, times are nonsense from a broken file; clamping keeps the
// arithmetic defined.
constexpr double kMaxSeconds = 1e12;

void SkipSpaces(std::string_view text, std::size_t* at)
{
    while (*at < text.size() && (text[*at] == ' ' || (text[*at] >= '\t' && text[*at] <= '\r')))
        ++*at;
}

bool ScanInteger(std::string_view text, std::size_t* at, double* value)
{
    std::size_t i = *at;
    SkipSpaces(text, &i);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    const std::size_t digits = i;
    double v = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        if (v < kMaxSeconds)
            v = v * 10 + (text[i] - '0');
        ++i;
    }
    if (i == digits)
        return false;
    if (v > kMaxSeconds)
        v = kMaxSeconds;
    *value = negative ? -v : v;
    *at = i;
    return true;
}

bool ScanReal(std::string_view text, std::size_t* at, double* value)
{
    std::size_t i = *at;
    SkipSpaces(text, &i);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        return false;  // from_chars would take a second sign
    double v = 0;
    const auto [end, error] = std::from_chars(text.data() + i, text.data() + text.size(), v);
    if (error == std::errc::result_out_of_range) {
        v = kMaxSeconds;  // a huge exponent; a tiny one reads as 0 below
    } else if (error != std::errc() || !std::isfinite(v)) {
        return false;
    }
    if (std::fabs(v) > kMaxSeconds)
        v = kMaxSeconds;
    *value = negative ? -v : v;
    *at = static_cast<std::size_t>(end - text.data());
    return true;
}

}  // namespace

int ScanTimeFields(std::string_view text, std::string_view pattern, double* out)
{
    std::size_t at = 0;
    int count = 0;
    for (std::size_t k = 0; k < pattern.size(); ++k) {
        if (k > 0) {
            if (at >= text.size() || text[at] != ':')
                break;
            ++at;
        }
        const bool ok = pattern[k] == 'i' ? ScanInteger(text, &at, &out[k]) : ScanReal(text, &at, &out[k]);
        if (!ok)
            break;
        ++count;
    }
    return count;
}

double ParseJumpTime(std::string_view text)
{
    text = text.substr(0, 63);
    double v[3] = {};
    if (ScanTimeFields(text, "iii", v) == 3)
        return v[0] * 3600 + v[1] * 60 + v[2];
    if (ScanTimeFields(text, "ii", v) == 2)
        return v[0] * 60 + v[1];
    if (ScanTimeFields(text, "f", v) == 1)
        return v[0];
    return -1;
}

double ParseChapterTime(std::string_view text)
{
    double v[3] = {};
    if (ScanTimeFields(text, "iif", v) == 3)
        return v[0] * 3600 + v[1] * 60 + v[2];
    if (ScanTimeFields(text, "if", v) == 2)
        return v[0] * 60 + v[1];
    if (ScanTimeFields(text, "f", v) == 1)
        return v[0];
    return 0;
}

std::string SpokenDuration(double seconds)
{
    const auto total = static_cast<long long>(seconds > 0 ? (seconds < kMaxSeconds ? seconds : kMaxSeconds) : 0);
    const int h = static_cast<int>(total / 3600 > 2000000000 ? 2000000000 : total / 3600);
    const int m = static_cast<int>((total % 3600) / 60);
    const int s = static_cast<int>(total % 60);
    char text[256];
    if (h >= 1)
        std::snprintf(text, sizeof text, TranslateUtf8("Duration: %d hours, %d minutes, %d seconds").c_str(), h, m, s);
    else if (m > 0)
        std::snprintf(text, sizeof text, TranslateUtf8("Duration: %d minutes, %d seconds").c_str(), m, s);
    else
        std::snprintf(text, sizeof text, TranslateUtf8("Duration: %d seconds").c_str(), s);
    return text;
}

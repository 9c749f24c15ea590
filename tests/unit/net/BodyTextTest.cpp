#include "net/BodyText.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

using namespace std::string_literals;

namespace {

const std::string kBad = "\xEF\xBF\xBD";

// A strict validity check written independently of the decoder.
bool IsValidUtf8(const std::string& s)
{
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size())
            return false;
        char32_t cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
        for (std::size_t k = 1; k < n; ++k) {
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        const char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < minimum[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += n;
    }
    return true;
}

}  // namespace

TEST(BodyText, KeepsValidTextAndReplacesEachBrokenPart)
{
    struct Case { std::string in; std::string out; };
    const Case cases[] = {
        {"plain", "plain"},
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xB5", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xB5"},
        {"stop\0here"s, "stop"},
        {"\0"s, ""},
        {"a\x80z", "a" + kBad + "z"},                   // stray continuation byte
        {"a\xE2\x82", "a" + kBad},                      // sequence cut at the end
        {"\xE2\x82z", kBad + "z"},                      // cut in the middle
        {"\xC0\xAF", kBad + kBad},                      // overlong "/"
        {"\xE0\x80\xAF", kBad + kBad + kBad},           // overlong, three bytes
        {"\xED\xA0\x80", kBad + kBad + kBad},           // a UTF-16 surrogate
        {"\xF4\x90\x80\x80", kBad + kBad + kBad + kBad},// above U+10FFFF
        {"\xFF\xFE", kBad + kBad},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeBodyText(c.in), c.out) << testing::PrintToString(c.in);
}

TEST(BodyText, AnyBytesComeOutAsValidUtf8WithoutZeros)
{
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(random() % 64, '\0');
        for (char& b : bytes)
            b = static_cast<char>(random() % 8 == 0 ? 0x80 + random() % 0x80 : random() % 256);
        const std::string text = DecodeBodyText(bytes);
        ASSERT_TRUE(IsValidUtf8(text)) << testing::PrintToString(bytes);
        ASSERT_EQ(text.find('\0'), std::string::npos);
    }
}

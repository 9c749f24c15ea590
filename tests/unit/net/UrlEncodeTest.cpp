#include "net/UrlEncode.h"

#include <gtest/gtest.h>

TEST(UrlEncode, QueryAndStrictDifferOnlyInTheSpace)
{
    struct Case { const char* text; const char* query; const char* strict; };
    const Case cases[] = {
        {"rock & roll", "rock+%26+roll", "rock%20%26%20roll"},
        {"caf\xC3\xA9", "caf%C3%A9", "caf%C3%A9"},
        {"a b", "a+b", "a%20b"},
        {"A-z_0.9~", "A-z_0.9~", "A-z_0.9~"},
        {"", "", ""},
        // Outside the BMP: all four UTF-8 bytes.
        {"\xF0\x9F\x8E\xB5", "%F0%9F%8E%B5", "%F0%9F%8E%B5"},
        // Characters with a meaning in URLs never pass through.
        {"a+b=c/d?e#f%", "a%2Bb%3Dc%2Fd%3Fe%23f%25", "a%2Bb%3Dc%2Fd%3Fe%23f%25"},
        {"\r\n", "%0D%0A", "%0D%0A"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UrlEncodeQuery(c.text), c.query) << c.text;
        EXPECT_EQ(UrlEncodeStrict(c.text), c.strict) << c.text;
    }
}

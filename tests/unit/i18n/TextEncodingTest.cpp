#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

namespace {

TEST(TextEncoding, ConversionsBetweenUtf8AndUtf16)
{
    struct Case {
        std::string utf8;
        std::u16string utf16;
        bool valid;
    };
    const Case cases[] = {
        {"", u"", true},
        {"Vol", u"Vol", true},
        {"Durée : ça", u"Durée : ça", true},
        {"日本", u"日本", true},
        {"\U0001F3B5", u"\U0001F3B5", true},                // surrogate pair
        {"a\x80z", u"a\uFFFDz", false},                      // stray continuation byte
        {"\xC0\xAF", u"\uFFFD\uFFFD", false},                // overlong slash
        {"end\xE2\x82", u"end\uFFFD\uFFFD", false},          // cut off at the end
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD", false},      // encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD", false},  // past U+10FFFF
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16);
        EXPECT_EQ(IsValidUtf8(c.utf8), c.valid);
        EXPECT_EQ(Utf16ToUtf8(c.utf16), c.valid ? c.utf8 : SanitizeUtf8(c.utf8));
        EXPECT_TRUE(IsValidUtf8(SanitizeUtf8(c.utf8)));
    }
    EXPECT_EQ(Utf16ToUtf8(std::u16string(u"a") + char16_t(0xDC00) + u"b"), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(Utf16Length("\U0001F3B5x"), 3u);
    EXPECT_FALSE(Utf16Length("\xFF").has_value());
}

}  // namespace

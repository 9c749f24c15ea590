#include "playback/PlaybackSession.h"

#include "i18n/Translations.h"

#include <gtest/gtest.h>

TEST(PlaybackText, ErrorBoxesByCode)
{
    BuildTranslationTables();
    SetLanguage("en");
    struct Case { int code; const char* reason; };
    const Case files[] = {{1, "Out of memory."}, {2, "Could not open the file."}, {6, "Unsupported sample format."},
                          {21, "3D sound is not available."}, {41, "Unsupported file format."},
                          {44, "Required codec is not available."}, {40, "Unknown error."}};
    for (const Case& c : files)
        EXPECT_EQ(FileErrorText("/music/a b.flac", c.code), std::string("Cannot play file:\na b.flac\n\n") + c.reason);

    EXPECT_EQ(UrlErrorText("http://x/y", 2), "Cannot play URL:\nhttp://x/y\n\nError: Could not connect to URL. (code 2)");
    EXPECT_EQ(UrlErrorText("http://x/y", 40), "Cannot play URL:\nhttp://x/y\n\nError: Connection timed out. (code 40)");
    EXPECT_EQ(UrlErrorText("http://x/y", 99), "Cannot play URL:\nhttp://x/y\n\nError: Could not open stream. (code 99)");

    // Long URLs are cut at 100 characters, never inside a character.
    const std::string longUrl = "http://radio.example/" + std::string(79, 'a') + "\xC3\xA9tail";
    const std::string text = UrlErrorText(longUrl, 2);
    EXPECT_NE(text.find("\n" + longUrl.substr(0, 100) + "...\n"), std::string::npos) << text;
    const std::string accented = "http://r.example/" + std::string(82, 'a') + "\xC3\xA9\xC3\xA9";
    EXPECT_NE(UrlErrorText(accented, 2).find(accented.substr(0, 101) + "..."), std::string::npos);
}

TEST(PlaybackText, UrlPrefixes)
{
    EXPECT_TRUE(IsStreamUrl("HTTP://a"));
    EXPECT_TRUE(IsStreamUrl("https://a"));
    EXPECT_TRUE(IsStreamUrl("ftp://a"));
    EXPECT_FALSE(IsStreamUrl("/home/http://a"));
    EXPECT_FALSE(IsStreamUrl("file:///a"));
}

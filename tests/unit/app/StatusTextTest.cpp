#include "app/StatusText.h"
#include "i18n/Translations.h"

#include <gtest/gtest.h>

TEST(StatusText, TimeFormat)
{
    struct Case { double seconds; const char* text; };
    const Case cases[] = {
        {0, "0:00"}, {65.9, "1:05"}, {599, "9:59"}, {3599, "59:59"},
        {3600, "1:00:00"}, {36061, "10:01:01"}, {-5, "0:00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatTime(c.seconds), c.text) << c.seconds;
}

TEST(StatusText, ThreeParts)
{
    BuildTranslationTables();
    SetLanguage("en");
    struct Case {
        StatusInputs in;
        const char* time;
        const char* volume;
        const char* state;
    };
    StatusInputs nothing;
    StatusInputs file;
    file.position = 65; file.length = 200; file.volume = 0.8f; file.state = ChannelState::Playing; file.bitrateKbps = 192;
    StatusInputs radio;
    radio.volume = 0.005f; radio.state = ChannelState::Playing; radio.bitrateKbps = 128; radio.recording = true;
    StatusInputs vbrPaused;
    vbrPaused.length = 10; vbrPaused.state = ChannelState::Paused; vbrPaused.bitrateKbps = 245; vbrPaused.vbr = true; vbrPaused.volume = 4.0f;
    StatusInputs stalled;
    stalled.state = ChannelState::Stalled; stalled.bitrateKbps = 64;
    const Case cases[] = {
        {nothing, "--:-- / --:--", "Vol: 100%", "Stopped"},
        {file, "1:05 / 3:20", "Vol: 80%", "Playing | 192 kbps"},
        {radio, "--:-- / --:--", "Vol: 1%", "Playing | 128 kbps | REC"},
        {vbrPaused, "0:00 / 0:10", "Vol: 400%", "Paused | ~245 kbps VBR"},
        {stalled, "--:-- / --:--", "Vol: 100%", "64 kbps"},
    };
    for (const Case& c : cases) {
        const StatusTexts t = ComposeStatus(c.in);
        EXPECT_EQ(t.time, c.time);
        EXPECT_EQ(t.volume, c.volume);
        EXPECT_EQ(t.state, c.state);
    }
}

TEST(StatusText, WindowTitle)
{
    BuildTranslationTables();
    SetLanguage("en");
    TitleInputs in;
    EXPECT_EQ(ComposeWindowTitle(in), "Corvane");
    in.hasCurrentItem = true;
    in.currentItem = "/music/song.mp3";
    in.titleText = "Song Title";
    EXPECT_EQ(ComposeWindowTitle(in), "Corvane - Song Title");
    in.titleText = "No title";
    EXPECT_EQ(ComposeWindowTitle(in), "Corvane - song.mp3");
    in.titleText = "";
    in.currentItem = "http://radio.example/stream";
    EXPECT_EQ(ComposeWindowTitle(in), "Corvane - http://radio.example/stream");
    in.showTitleInWindow = false;
    EXPECT_EQ(ComposeWindowTitle(in), "Corvane");
}

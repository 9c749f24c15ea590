// MIDI decode streams: length from the tempo map, the note heard, seeking,
// SoundFont handles, and MIDI files the parser must refuse.
#include <cstring>

#include "AudioTestSupport.h"
#include "audio/MidiTiming.h"

using namespace audio;
using namespace audiotest;

namespace {

constexpr const char* kFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

std::string Be32(std::uint32_t v)
{
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

// Format 0, 480 ticks per quarter: an ocarina A4 for one second at 120 bpm,
// then at 240 bpm an A4 lasting half a second: 1.5 s in all.
std::string TwoTempoSmf()
{
    const unsigned char events[] = {
        0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,  // tempo 500000 us per quarter
        0x00, 0xC0, 79,                            // program: ocarina
        0x00, 0x90, 69, 100,                       // A4 on
        0x87, 0x40, 0x80, 69, 0,                   // +960: off
        0x00, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90,  // tempo 250000
        0x00, 0x90, 69, 100,                       // on
        0x87, 0x40, 0x80, 69, 0,                   // +960: off
        0x00, 0xFF, 0x2F, 0x00,
    };
    std::string track(reinterpret_cast<const char*>(events), sizeof events);
    std::string smf = "MThd" + Be32(6) + std::string("\x00\x00\x00\x01\x01\xE0", 6);
    smf += "MTrk" + Be32(static_cast<std::uint32_t>(track.size())) + track;
    return smf;
}

TEST(MidiTimingParse, TempoMapGivesSecondsBothWays)
{
    const std::string smf = TwoTempoSmf();
    MidiTiming t;
    ASSERT_TRUE(ParseMidiTiming(reinterpret_cast<const unsigned char*>(smf.data()), smf.size(), &t));
    EXPECT_EQ(t.totalTicks, 1920);
    EXPECT_DOUBLE_EQ(MidiTicksToSeconds(t, 960), 1.0);
    EXPECT_DOUBLE_EQ(MidiTicksToSeconds(t, 1920), 1.5);
    EXPECT_EQ(MidiSecondsToTicks(t, 1.25), 1440);
    EXPECT_EQ(MidiSecondsToTicks(t, 0.5), 480);

    // The same file inside an RMID wrapper.
    std::string riff = "RIFF" + std::string(4, '\0') + "RMIDdata";
    const auto n = static_cast<std::uint32_t>(smf.size());
    riff += std::string{static_cast<char>(n), static_cast<char>(n >> 8), static_cast<char>(n >> 16), static_cast<char>(n >> 24)};
    riff += smf;
    MidiTiming r;
    ASSERT_TRUE(ParseMidiTiming(reinterpret_cast<const unsigned char*>(riff.data()), riff.size(), &r));
    EXPECT_EQ(r.totalTicks, 1920);
}

TEST(MidiTimingParse, RefusesBrokenFiles)
{
    const std::string good = TwoTempoSmf();
    const std::string broken[] = {
        "", "MThd", "not a midi file at all", good.substr(0, 14),           // header only, no track
        good.substr(0, 12) + std::string("\x00\x00", 2) + good.substr(14),  // division 0
        good.substr(0, 22) + std::string("\x00\x45", 2) + good.substr(24),  // data byte without a status
    };
    for (const auto& b : broken) {
        MidiTiming t;
        EXPECT_FALSE(ParseMidiTiming(reinterpret_cast<const unsigned char*>(b.data()), b.size(), &t)) << b.size();
    }
}

TEST_F(EngineTest, MidiStreamPlaysTheNoteForItsLength)
{
    const std::string mid = dir.File("a.mid");
    ASSERT_TRUE(WriteFile(mid, TwoTempoSmf()));
    const Handle font = MidiFontLoad(kFont);
    ASSERT_NE(font, 0u);
    ASSERT_TRUE(MidiStreamSetFont(0, font));

    for (std::uint32_t flags : {kStreamDecode, kStreamDecode | kMidiSincInterp}) {
        const Handle h = MidiStreamCreateFile(mid, flags);
        ASSERT_NE(h, 0u) << AudioErrorCode();
        EXPECT_NEAR(ChannelBytes2Seconds(h, ChannelGetLength(h)), 1.5, 0.001);
        const std::vector<float> pcm = DecodeAll(h);
        const double seconds = pcm.size() / 2.0 / 44100.0;
        EXPECT_GE(seconds, 1.5);
        EXPECT_LT(seconds, 4.5);  // the release tail, not seconds of silence
        const std::vector<float> firstNote(pcm.begin() + 4410 * 2, pcm.begin() + 39690 * 2);
        EXPECT_GT(Rms(firstNote), 0.01);
        EXPECT_NEAR(PeakFrequency(firstNote, 2, 44100, 200, 1000), 440.0, 3.0);
        StreamFree(h);
    }

    // Seeking into the gap-free second note lands in the sound.
    const Handle h = MidiStreamCreateFile(mid, kStreamDecode);
    ASSERT_TRUE(ChannelSetPosition(h, ChannelSeconds2Bytes(h, 1.2), kPosFlush));
    EXPECT_NEAR(ChannelBytes2Seconds(h, ChannelGetPosition(h)), 1.2, 0.001);
    std::vector<float> part(4410 * 2);
    ASSERT_GT(ChannelGetData(h, part.data(), static_cast<std::uint32_t>(part.size() * 4)), 0);
    std::vector<float> more(8820 * 2);
    ChannelGetData(h, more.data(), static_cast<std::uint32_t>(more.size() * 4));
    EXPECT_GT(Rms(more), 0.01);

    EXPECT_TRUE(MidiFontFree(font));
    EXPECT_FALSE(MidiFontFree(font));
    EXPECT_FALSE(MidiStreamSetFont(h, font));
    EXPECT_EQ(AudioErrorCode(), kErrHandle);
}

TEST_F(EngineTest, MidiErrorsAndFontErrors)
{
    ASSERT_TRUE(WriteFile(dir.File("bad.mid"), "MThd garbage"));
    EXPECT_EQ(MidiStreamCreateFile(dir.File("bad.mid"), kStreamDecode), 0u);
    EXPECT_EQ(AudioErrorCode(), kErrFileForm);
    EXPECT_EQ(MidiStreamCreateFile(dir.File("none.mid"), kStreamDecode), 0u);
    EXPECT_EQ(AudioErrorCode(), kErrFileOpen);
    EXPECT_EQ(MidiFontLoad(dir.File("bad.mid")), 0u);
    EXPECT_EQ(AudioErrorCode(), kErrFileForm);
    EXPECT_EQ(MidiFontLoad(dir.File("none.sf2")), 0u);
    EXPECT_EQ(AudioErrorCode(), kErrFileOpen);

    // A font set on a file stream is refused.
    const std::string wav = dir.File("a.wav");
    ASSERT_TRUE(MakeSineFile(wav, 0.2, 440, "-c:a pcm_s16le"));
    const Handle font = MidiFontLoad(kFont);
    EXPECT_FALSE(MidiStreamSetFont(StreamCreateFile(wav, kStreamDecode), font));
}

}  // namespace

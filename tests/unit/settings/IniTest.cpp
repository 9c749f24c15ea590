#include "storage/IniDocument.h"
#include "storage/IniFile.h"

#include "SettingsTestSupport.h"

#include <climits>
#include <random>

namespace {

// The same file with every line ending and with junk around the keys.
const char* const kMixedFile =
    "; written by hand\r\n"
    "stray=before any section\r\n"
    "[ Playback ]\r\n"
    "  Volume = 80  \r\n"
    "volume=10\r\n"
    "DeviceName=\"  Speakers  \"\r"
    "Quoted='x'\n"
    "no equals sign here\n"
    "=orphan value\n"
    "[playback]\n"
    "Volume=99\n"
    "Later=only in the second copy\n"
    "[Empty]\n"
    "[Unclosed\n"
    "Key=in Empty, after a broken header";

TEST(IniDocument, LookupFollowsPrivateProfileRules)
{
    const IniDocument doc = IniParse(kMixedFile);
    struct Case { const char* section; const char* key; const char* expected; };
    const Case cases[] = {
        {"Playback", "Volume", "80"},          // trimmed; first of duplicated keys
        {"PLAYBACK", "VOLUME", "80"},          // names ignore case
        {"Playback", "DeviceName", "  Speakers  "},  // quotes keep the blanks
        {"Playback", "Quoted", "x"},
        {"Playback", "Later", nullptr},        // a later copy of a section is not read
        {"Playback", "no equals sign here", nullptr},
        {"Playback", "", nullptr},
        {"Empty", "Key", "in Empty, after a broken header"},
        {"", "stray", nullptr},
        {"Missing", "Volume", nullptr},
    };
    for (const Case& c : cases) {
        const std::string* v = IniFindValue(doc, c.section, c.key);
        if (c.expected) {
            ASSERT_NE(v, nullptr) << c.section << "/" << c.key;
            EXPECT_EQ(*v, c.expected) << c.section << "/" << c.key;
        } else {
            EXPECT_EQ(v, nullptr) << c.section << "/" << c.key;
        }
    }
}

TEST(IniDocument, IntegerReadingTakesTheLeadingNumber)
{
    struct Case { const char* stored; int expected; };
    const Case cases[] = {
        {"42", 42}, {"  -7 apples", -7}, {"+5", 5}, {"3.9", 3}, {"abc", 0}, {"-", 0},
        {"0x10", 0}, {"99999999999", INT_MAX}, {"-99999999999", INT_MIN}, {"", -3},
    };
    for (const Case& c : cases) {
        const IniDocument doc = IniParse(std::string("[S]\nK=") + c.stored + "\n");
        EXPECT_EQ(IniGetInt(doc, "S", "K", -3), c.expected) << "'" << c.stored << "'";
    }
    EXPECT_EQ(IniGetInt(IniParse(""), "S", "K", 17), 17);
}

TEST(IniDocument, DecimalReadingTakesTheLeadingNumberOnly)
{
    struct Case { const char* text; double expected; };
    const Case cases[] = {
        {"1.5", 1.5}, {" -2.25e1x", -22.5}, {".5", 0.5}, {"7.", 7.0}, {"+3", 3.0},
        {"1,5", 1.0},  // a full stop, whatever the locale
        {"abc", 0.0}, {"", 0.0}, {"nan", 0.0}, {"inf", 0.0}, {"1e999", 0.0}, {"0x1p3", 0.0},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(IniParseDouble(c.text), c.expected) << "'" << c.text << "'";

    EXPECT_EQ(IniFormatDouble(-0.5, 2), "-0.50");
    EXPECT_EQ(IniFormatDouble(1.0, 1), "1.0");
    EXPECT_EQ(IniFormatDouble(0.0005, 3), "0.001");
    EXPECT_EQ(IniFormatDouble(12000.0, 1), "12000.0");
}

TEST(IniDocument, BufferLimitCountsCharactersNotBytes)
{
    // "é" is one UTF-16 unit, the musical symbol two; neither may be split.
    const IniDocument doc = IniParse("[S]\nK=ab\xC3\xA9\xF0\x9D\x84\x9E" "cd\n");
    struct Case { size_t buffer; const char* expected; };
    const Case cases[] = {
        {0, ""}, {1, ""}, {3, "ab"}, {4, "ab\xC3\xA9"}, {5, "ab\xC3\xA9"},
        {6, "ab\xC3\xA9\xF0\x9D\x84\x9E"}, {100, "ab\xC3\xA9\xF0\x9D\x84\x9E" "cd"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IniGetString(doc, "S", "K", "unused", c.buffer), c.expected) << c.buffer;
    EXPECT_EQ(IniGetString(doc, "S", "Missing", "default", 4), "def");
}

TEST(IniDocument, WritingReplacesInPlaceAndKeepsTheRestOfTheFile)
{
    IniDocument doc = IniParse(
        "; comment\n[Playback]\nvolume=10\nShuffle=1\n\n[Hotkeys]\nCount=0\n; end\n");
    ASSERT_TRUE(IniSetString(doc, "PLAYBACK", "Volume", "55"));
    ASSERT_TRUE(IniSetString(doc, "Playback", "Rate", "1.00"));
    ASSERT_TRUE(IniSetString(doc, "Hotkeys", "Enabled", "1"));
    ASSERT_TRUE(IniSetString(doc, "New", "Key", "v"));
    EXPECT_EQ(IniSerialize(doc),
              "; comment\n[Playback]\nVolume=55\nShuffle=1\nRate=1.00\n\n"
              "[Hotkeys]\nCount=0\nEnabled=1\n; end\n[New]\nKey=v\n");
}

TEST(IniDocument, ValuesReadBackExactlyAndUnstorableTextIsRefused)
{
    IniDocument doc;
    const std::string values[] = {"  padded  ", "\"quoted\"", "'single'", "\"", "a=b;c", "", "[x]"};
    for (size_t i = 0; i < std::size(values); ++i)
        ASSERT_TRUE(IniSetString(doc, "S", "K" + std::to_string(i), values[i]));
    const IniDocument reread = IniParse(IniSerialize(doc));
    for (size_t i = 0; i < std::size(values); ++i) {
        const std::string* v = IniFindValue(reread, "S", "K" + std::to_string(i));
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(*v, values[i]);
    }

    // A line break would let a value plant keys of its own.
    const std::string before = IniSerialize(doc);
    EXPECT_FALSE(IniSetString(doc, "S", "K0", "x\n[Playback]\nVolume=400"));
    EXPECT_FALSE(IniSetString(doc, "S", "K0", "x\ry"));
    EXPECT_FALSE(IniSetString(doc, "S", "K0", std::string("x\0y", 3)));
    EXPECT_FALSE(IniSetString(doc, "S", "a=b", "v"));
    EXPECT_FALSE(IniSetString(doc, "S", "", "v"));
    EXPECT_FALSE(IniSetString(doc, "S", ";k", "v"));
    EXPECT_FALSE(IniSetString(doc, "S]x", "k", "v"));
    EXPECT_FALSE(IniSetString(doc, "", "k", "v"));
    EXPECT_EQ(IniSerialize(doc), before);
}

TEST(IniDocument, ClearingASectionEmptiesEveryCopyOfIt)
{
    IniDocument doc = IniParse(
        "[Playlist]\nTrack0=a\nTrack1=b\n[State]\nTrackCount=2\n[playlist]\nTrack2=c\n");
    IniClearSection(doc, "PLAYLIST");
    EXPECT_EQ(IniSerialize(doc), "[Playlist]\n[State]\nTrackCount=2\n");
    ASSERT_TRUE(IniSetString(doc, "Playlist", "Track0", "z"));
    EXPECT_EQ(IniSectionEntries(doc, "playlist"),
              (std::vector<std::pair<std::string, std::string>>{{"Track0", "z"}}));
}

TEST(IniDocument, WindowsEncodingsAreReadAsUtf8)
{
    const std::string text = "[General]\nLanguage=fr\n[Playback]\nDeviceName=Haut-parleurs \xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xB5\n";
    std::string le = "\xFF\xFE", be = "\xFE\xFF";
    // The same text in UTF-16, written out by hand.
    const char16_t* u16 = u"[General]\r\nLanguage=fr\r\n[Playback]\r\nDeviceName=Haut-parleurs \u00E9 \u20AC \U0001F3B5\r\n";
    for (const char16_t* p = u16; *p; ++p) {
        le += static_cast<char>(*p & 0xFF);
        le += static_cast<char>(*p >> 8);
        be += static_cast<char>(*p >> 8);
        be += static_cast<char>(*p & 0xFF);
    }
    struct Case { const char* name; std::string bytes; std::string device; };
    const Case cases[] = {
        {"utf-8", text, "Haut-parleurs \xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xB5"},
        {"utf-16le", le, "Haut-parleurs \xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xB5"},
        {"utf-16be", be, "Haut-parleurs \xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xB5"},
        {"1252 line", "[Playback]\nDeviceName=Haut-parleurs \xE9 \x80 \x81\n",
         "Haut-parleurs \xC3\xA9 \xE2\x82\xAC \xC2\x81"},
    };
    for (const Case& c : cases) {
        const IniDocument doc = IniParse(c.bytes);
        EXPECT_EQ(IniGetString(doc, "Playback", "DeviceName", "", 256), c.device) << c.name;
    }
    // A file edited in two editors: Windows-1252 on one line, UTF-8 (and
    // its byte-order mark) on the others.
    const IniDocument doc = IniParse("\xEF\xBB\xBF[Playback]\nDeviceName=Caf\xE9\n"
                                     "[Recording]\nPath=/home/\xC3\xA9l\xC3\xA8ve\n");
    EXPECT_EQ(IniGetString(doc, "Playback", "DeviceName", "", 256), "Caf\xC3\xA9");
    EXPECT_EQ(IniGetString(doc, "Recording", "Path", "", 512), "/home/\xC3\xA9l\xC3\xA8ve");
}

// Parsing, writing and parsing again must give the same values: what a
// save writes is what the next start reads.
void ExpectStableRoundTrip(const std::string& bytes)
{
    const IniDocument first = IniParse(bytes);
    const std::string written = IniSerialize(first);
    const IniDocument second = IniParse(written);
    EXPECT_EQ(IniSerialize(second), written);
    for (size_t i = 1; i < first.sections.size(); ++i) {
        for (const auto& [key, value] : IniSectionEntries(first, first.sections[i].name)) {
            const std::string* v = IniFindValue(second, first.sections[i].name, key);
            ASSERT_NE(v, nullptr) << key;
            EXPECT_EQ(*v, value) << key;
        }
    }
}

TEST(IniDocument, HostileInputParsesAndRoundTrips)
{
    std::mt19937 rng(1234);
    for (size_t size : {1u, 7u, 64u, 4096u, 65536u}) {
        std::string bytes(size, '\0');
        for (char& b : bytes)
            b = static_cast<char>(rng() & 0xFF);
        ExpectStableRoundTrip(bytes);
        // Random text made of INI punctuation hits the parser's branches.
        const char alphabet[] = "[]=;\"' \t\r\nab";
        for (char& b : bytes)
            b = alphabet[rng() % (sizeof alphabet - 1)];
        ExpectStableRoundTrip(bytes);
    }
    ExpectStableRoundTrip("");
    ExpectStableRoundTrip("[Playback]\nVolume=5");  // no trailing newline
    ExpectStableRoundTrip("\xEF\xBB\xBF\xEF\xBB\xBF[Playback]\nVolume=5\n");  // two byte-order marks
    ExpectStableRoundTrip("[Playback]\nDeviceName=" + std::string(100000, 'x') + "\nVolume=5\n");
    ExpectStableRoundTrip(std::string("[Play\0back]\nVol\0ume=5\n", 22));

    const IniDocument doc = IniParse("[Playback]\nVolume=5");
    EXPECT_EQ(IniGetInt(doc, "Playback", "Volume", 0), 5);
}

class IniFileTest : public TempFolderTest {};

TEST_F(IniFileTest, OneKeyOperationsOnAFile)
{
    const std::string path = Path("Corvane.ini");
    EXPECT_EQ(IniReadInt(path, "Playback", "AllowMultipleInstances", 0), 0);
    EXPECT_EQ(IniReadString(path, "Playback", "DeviceName", "dflt", 256), "dflt");

    ASSERT_TRUE(IniWriteString(path, "Playback", "AllowMultipleInstances", "1"));
    ASSERT_TRUE(IniWriteString(path, "Hotkeys", "Hotkey0", "3,65,1"));
    EXPECT_EQ(IniReadInt(path, "playback", "allowmultipleinstances", 0), 1);
    EXPECT_EQ(IniReadString(path, "Hotkeys", "Hotkey0", "", 64), "3,65,1");

    ASSERT_TRUE(IniClearSection(path, "Hotkeys"));
    EXPECT_EQ(IniReadString(path, "Hotkeys", "Hotkey0", "gone", 64), "gone");
    EXPECT_EQ(ReadBytes(path), "[Playback]\nAllowMultipleInstances=1\n[Hotkeys]\n");

    EXPECT_FALSE(IniWriteString(path, "Playback", "DeviceName", "a\nb"));
    EXPECT_EQ(ReadBytes(path), "[Playback]\nAllowMultipleInstances=1\n[Hotkeys]\n");
}

TEST_F(IniFileTest, AFileFromWindowsIsRewrittenAsUtf8WithItsKeys)
{
    const std::string path = Path("Corvane.ini");
    std::string le = "\xFF\xFE";
    for (const char16_t* p = u"[Hotkeys]\r\nCount=1\r\nHotkey0=3,65,1\r\n[General]\r\nLanguage=fr\r\n"; *p; ++p) {
        le += static_cast<char>(*p & 0xFF);
        le += static_cast<char>(*p >> 8);
    }
    WriteBytes(path, le);
    ASSERT_TRUE(IniWriteString(path, "Playback", "Volume", "50"));
    EXPECT_EQ(ReadBytes(path),
              "[Hotkeys]\nCount=1\nHotkey0=3,65,1\n[General]\nLanguage=fr\n[Playback]\nVolume=50\n");
}

TEST_F(IniFileTest, ASymbolicLinkKeepsPointingAtTheRealFile)
{
    const std::string real = Path("real.ini");
    const std::string link = Path("Corvane.ini");
    WriteBytes(real, "[Playback]\nVolume=10\n");
    ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
    ASSERT_TRUE(IniWriteString(link, "Playback", "Volume", "20"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadBytes(real), "[Playback]\nVolume=20\n");
}

}  // namespace

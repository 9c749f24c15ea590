#include "i18n/Translations.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace {

class TranslationsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { BuildTranslationTables(); }
    void TearDown() override { SetLanguage("en"); }
};

TEST_F(TranslationsTest, LookupByLanguage)
{
    struct Case {
        const char* language;
        std::string key;
        std::string expected;
    };
    const std::string longUnknown(600, 'x');
    const Case cases[] = {
        {"en", "&Open...\tCtrl+O", "&Open...\tCtrl+O"},
        {"fr", "&Open...\tCtrl+O", "&Ouvrir...\tCtrl+O"},
        {"fr", "Speech", "Voix"},
        {"fr", "Playing", "Lecture"},
        {"en", "(Uses strftime format: %Y=year, %m=month, %d=day, %H=hour, %M=min, %S=sec)",
         "(Available: {year}, {month}, {day}, {hour}, {minute}, {second})"},
        {"en", "BTN_CANCEL", "Cancel"},
        {"fr", "BTN_CANCEL", "Annuler"},
        {"fr", "Downloading: %.1f MB / %.1f MB (%d%%)", "Téléchargement : %.1f Mo / %.1f Mo (%d %%)"},
        {"en", "Shuffle on", "Shuffle on"},
        {"fr", "Shuffle on", "Shuffle on"},  // French wording still to be written
        {"de", "BTN_CANCEL", "Cancel"},      // unknown codes select English
        {"FR", "BTN_CANCEL", "Cancel"},
        {"", "BTN_CANCEL", "Cancel"},
        // Not keys: the text itself, in both languages.
        {"en", "My Song - 01.mp3", "My Song - 01.mp3"},
        {"fr", "My Song - 01.mp3", "My Song - 01.mp3"},
        {"fr", "Lecture", "Lecture"},  // a French text translated again stays
        // The fallback copy holds 511 UTF-16 units; what does not fit is empty.
        {"en", std::string(511, 'y'), std::string(511, 'y')},
        {"en", std::string(512, 'y'), ""},
        {"en", longUnknown, ""},
        {"en", [] { std::string s; for (int i = 0; i < 255; ++i) s += "\U0001F3B5"; return s; }(),
         [] { std::string s; for (int i = 0; i < 255; ++i) s += "\U0001F3B5"; return s; }()},
        {"en", [] { std::string s; for (int i = 0; i < 256; ++i) s += "\U0001F3B5"; return s; }(), ""},
        {"en", "broken \xC3", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.language) + " / " + c.key.substr(0, 40));
        SetLanguage(c.language);
        EXPECT_EQ(std::string(Translate(c.key)), c.expected);
        EXPECT_EQ(std::string(Translate(c.key.c_str())), c.expected);
        EXPECT_EQ(TranslateUtf8(c.key), c.expected);
    }
}

TEST_F(TranslationsTest, NullKeyGivesEmptyText)
{
    EXPECT_STREQ(Translate(static_cast<const char*>(nullptr)), "");
    EXPECT_EQ(TranslateUtf8(static_cast<const char*>(nullptr)), "");
}

TEST_F(TranslationsTest, LaterAdditionWinsAndTheOtherTableIsTheFallback)
{
    AddTranslation(Language::French, "test: only in French", "seulement en français");
    AddTranslation(Language::English, "test: added twice", "first");
    AddTranslation(Language::English, "test: added twice", "second");
    SetLanguage("en");
    EXPECT_STREQ(Translate("test: only in French"), "seulement en français");
    EXPECT_STREQ(Translate("test: added twice"), "second");
}

TEST_F(TranslationsTest, FallbackCopiesBelongToTheirThread)
{
    std::vector<std::thread> threads;
    std::vector<int> mismatches(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &mismatches] {
            const std::string key = "unknown text of thread " + std::to_string(t);
            for (int i = 0; i < 2000; ++i) {
                const char* text = Translate(key);
                std::this_thread::yield();
                if (key != text)
                    ++mismatches[t];
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}

// Callers format the looked-up text with the English arguments, so every
// French text must carry the same conversions in the same order.
TEST(TranslationData, FrenchTextsKeepTheConversionsOfTheirEnglishText)
{
    const std::regex conversion(R"(%[-+ #0]*[0-9*]*(?:\.[0-9*]+)?(?:hh|h|ll|l|z)?[diouxXfFeEgGcsp%])");
    const auto conversions = [&](const std::string& text) {
        std::vector<std::string> found;
        for (std::sregex_iterator it(text.begin(), text.end(), conversion), end; it != end; ++it) {
            const std::string spec = it->str();
            found.push_back(spec);
        }
        return found;
    };
    int rows = 0;
    const auto check = [&](const char* key, const char* english, const char* french) {
        ++rows;
        const std::string englishText = english ? english : key;
        const std::string frenchText = french ? french : englishText;
        EXPECT_EQ(conversions(frenchText), conversions(englishText)) << key;
    };
    constexpr const char* AS_KEY = nullptr;
    constexpr const char* AS_ENGLISH = nullptr;
#define CORVANE_TRANSLATION(key, english, french) check(key, english, french);
#include "i18n/TranslationData.inc"
#undef CORVANE_TRANSLATION
    EXPECT_GT(rows, 0);
}

}  // namespace

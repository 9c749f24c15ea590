#include "i18n/Translations.h"

#include "platform/TextEncoding.h"

#include <atomic>
#include <cstring>
#include <unordered_map>

namespace {

using TranslationTable = std::unordered_map<std::string, std::string>;

struct TranslationState {
    TranslationTable english;
    TranslationTable french;
    std::atomic<Language> current{Language::English};
};

TranslationState g_translations;

// Room for 511 units and the terminator, as the fixed buffer it stands for.
constexpr std::size_t kFallbackUnits = 512;

TranslationTable& TableFor(Language language)
{
    return language == Language::French ? g_translations.french : g_translations.english;
}

const char* LookUp(const char* key, std::size_t length)
{
    const std::string wanted(key, length);
    const Language current = g_translations.current.load(std::memory_order_relaxed);
    const Language other = current == Language::French ? Language::English : Language::French;
    for (Language language : {current, other}) {
        const TranslationTable& table = TableFor(language);
        auto found = table.find(wanted);
        if (found != table.end())
            return found->second.c_str();
    }
    thread_local std::string fallback;
    const auto units = Utf16Length(wanted);
    if (!units || *units >= kFallbackUnits)
        return "";
    fallback = wanted;
    return fallback.c_str();
}

}  // namespace

void AddTranslation(Language language, const std::string& key, const std::string& text)
{
    TableFor(language)[key] = text;
}

void BuildTranslationTables()
{
    // English first, then French, row by row: a key met again takes the
    // texts of its last row.
    const auto addRow = [](const char* key, const char* english, const char* french) {
        const char* englishText = english ? english : key;
        AddTranslation(Language::English, key, englishText);
        AddTranslation(Language::French, key, french ? french : englishText);
    };
    constexpr const char* AS_KEY = nullptr;
    constexpr const char* AS_ENGLISH = nullptr;
#define CORVANE_TRANSLATION(key, english, french) addRow(key, english, french);
#include "i18n/TranslationData.inc"
#undef CORVANE_TRANSLATION
}

void SetLanguage(const std::string& code)
{
    g_translations.current.store(code == "fr" ? Language::French : Language::English);
}

Language CurrentLanguage()
{
    return g_translations.current.load();
}

const char* Translate(const char* key)
{
    if (!key)
        return "";
    return LookUp(key, std::strlen(key));
}

const char* Translate(const std::string& key)
{
    return LookUp(key.data(), key.size());
}

std::string TranslateUtf8(const char* key)
{
    return Translate(key);
}

std::string TranslateUtf8(const std::string& key)
{
    return Translate(key);
}

#pragma once
// Lookup of user-visible texts by their English wording. The tables are
// filled once at start-up and only read afterwards, from any thread.
#include <string>

enum class Language { English, French };

// Inserts or replaces one entry; the later addition of a key wins. Only for
// start-up: a replaced text invalidates pointers handed out for it.
void AddTranslation(Language language, const std::string& key, const std::string& text);

// Fills both tables from the compiled-in rows (TranslationData.inc).
void BuildTranslationTables();

// "fr" selects French; every other code, unknown ones included, English.
void SetLanguage(const std::string& code);
Language CurrentLanguage();

// The current language's text for a key, else the other language's, else
// the key itself. That last copy lives in a per-thread buffer of 512 UTF-16
// units, overwritten by the next such fallback on the same thread; a key
// that does not fit, or is not valid UTF-8, gives "". A null key gives "".
const char* Translate(const char* key);
const char* Translate(const std::string& key);

// The same text as an owned string.
std::string TranslateUtf8(const char* key);
std::string TranslateUtf8(const std::string& key);

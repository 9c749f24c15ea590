#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// An INI file held in memory, with the per-key semantics of the Windows
// private-profile functions: section and key names compare without regard to
// ASCII case, the first of duplicated sections or keys is the one that
// counts, and lines the store does not understand (comments, junk) are kept
// as they are when the file is written back.

struct IniLine {
    std::string raw;    // the line as it is written to the file
    std::string key;    // empty for lines that are not key=value
    std::string value;  // trimmed, outer quotes removed
};

struct IniSection {
    std::string name;  // empty for the lines before the first header
    std::string header;
    std::vector<IniLine> lines;
    std::unordered_map<std::string, size_t> keyIndex;  // lower-case key -> first line
};

struct IniDocument {
    std::vector<IniSection> sections = std::vector<IniSection>(1);  // [0]: the lines before any header
    std::unordered_map<std::string, size_t> sectionIndex;  // lower-case name -> first section
};

// Decodes (see IniEncoding.h) and parses; never fails.
IniDocument IniParse(std::string_view bytes);
// UTF-8, one "\n" after every line.
std::string IniSerialize(const IniDocument& doc);

// The stored value, or nullptr when the section or key is missing.
const std::string* IniFindValue(const IniDocument& doc, std::string_view section,
                                std::string_view key);

// GetPrivateProfileString: the value, or `def` when the key is missing, cut
// to what a buffer of `bufferChars` characters (terminator included) holds.
std::string IniGetString(const IniDocument& doc, std::string_view section, std::string_view key,
                         const std::string& def, size_t bufferChars);

// GetPrivateProfileInt: `def` when the key is missing or empty, else the
// value's leading integer (0 when it has none).
int IniGetInt(const IniDocument& doc, std::string_view section, std::string_view key, int def);

// Replaces the key's line or appends it to the section, creating the
// section at the end of the file when needed. False, and nothing changed,
// when the names or the value cannot be stored in an INI line (line breaks,
// '=' in a key, ']' in a section name, empty names).
bool IniSetString(IniDocument& doc, std::string_view section, std::string_view key,
                  std::string_view value);

// Empties a section (every copy of it); its header stays.
void IniClearSection(IniDocument& doc, std::string_view section);

// The keys of a section in file order, each key once (its first value).
std::vector<std::pair<std::string, std::string>> IniSectionEntries(const IniDocument& doc,
                                                                   std::string_view section);

// Value conversions, independent of the C locale.
int IniParseInt(std::string_view text);        // leading integer, else 0; saturates
double IniParseDouble(std::string_view text);  // leading decimal number, else 0; finite only
std::string IniFormatDouble(double value, int decimals);  // "%.<decimals>f" with a full stop

#include "storage/IniDocument.h"

#include "storage/IniEncoding.h"

#include <charconv>
#include <climits>
#include <cmath>

namespace {

constexpr std::string_view kSpace = " \t\r\v\f";

std::string_view Trim(std::string_view s)
{
    const size_t b = s.find_first_not_of(kSpace);
    if (b == std::string_view::npos)
        return {};
    const size_t e = s.find_last_not_of(kSpace);
    return s.substr(b, e - b + 1);
}

std::string Lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

// Matching outer quotes are not part of the value (Windows strips them too).
std::string_view Unquote(std::string_view v)
{
    if (v.size() >= 2 && IsQuote(v.front()) && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

bool HasLineBreakOrNul(std::string_view s)
{
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// A value that reading would alter (outer blanks, outer quotes) is written
// inside quotes so that it reads back exactly.
std::string QuoteIfNeeded(std::string_view value)
{
    const bool alters = Trim(value).size() != value.size() ||
                        (value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front());
    if (!alters)
        return std::string(value);
    return "\"" + std::string(value) + "\"";
}

IniLine ParseLine(std::string_view raw)
{
    IniLine line;
    line.raw = std::string(raw);
    const std::string_view t = Trim(raw);
    if (t.empty() || t.front() == ';' || t.front() == '[')
        return line;
    const size_t eq = t.find('=');
    if (eq == std::string_view::npos)
        return line;
    const std::string_view key = Trim(t.substr(0, eq));
    if (key.empty())
        return line;
    line.key = std::string(key);
    line.value = std::string(Unquote(Trim(t.substr(eq + 1))));
    return line;
}

void IndexSection(IniSection& s, size_t lineIndex)
{
    const IniLine& l = s.lines[lineIndex];
    if (!l.key.empty())
        s.keyIndex.emplace(Lower(l.key), lineIndex);  // keeps the first
}

void RebuildSectionIndex(IniDocument& doc)
{
    doc.sectionIndex.clear();
    for (size_t i = 1; i < doc.sections.size(); ++i)
        doc.sectionIndex.emplace(Lower(doc.sections[i].name), i);
}

const IniSection* FindSection(const IniDocument& doc, std::string_view name)
{
    const auto it = doc.sectionIndex.find(Lower(name));
    return it == doc.sectionIndex.end() ? nullptr : &doc.sections[it->second];
}

bool ValidSectionName(std::string_view s)
{
    return !s.empty() && Trim(s).size() == s.size() && !HasLineBreakOrNul(s) &&
           s.find(']') == std::string_view::npos;
}

bool ValidKeyName(std::string_view k)
{
    return !k.empty() && Trim(k).size() == k.size() && !HasLineBreakOrNul(k) &&
           k.find('=') == std::string_view::npos && k.front() != ';' && k.front() != '[';
}

}  // namespace

IniDocument IniParse(std::string_view bytes)
{
    const std::string text = DecodeIniText(bytes);
    IniDocument doc;
    std::string_view rest = text;
    while (!rest.empty()) {
        size_t end = rest.find_first_of("\r\n");
        std::string_view raw = rest.substr(0, end);
        if (end == std::string_view::npos) {
            rest = {};
        } else {
            // "\r\n", "\n" and a lone "\r" all end a line.
            const size_t skip = (rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n') ? 2 : 1;
            rest.remove_prefix(end + skip);
        }
        const std::string_view t = Trim(raw);
        if (!t.empty() && t.front() == '[') {
            const size_t close = t.find(']');
            if (close != std::string_view::npos) {
                IniSection s;
                s.name = std::string(Trim(t.substr(1, close - 1)));
                s.header = std::string(raw);
                doc.sections.push_back(std::move(s));
                continue;
            }
        }
        IniSection& s = doc.sections.back();
        s.lines.push_back(ParseLine(raw));
        IndexSection(s, s.lines.size() - 1);
    }
    RebuildSectionIndex(doc);
    return doc;
}

std::string IniSerialize(const IniDocument& doc)
{
    std::string out;
    for (size_t i = 0; i < doc.sections.size(); ++i) {
        const IniSection& s = doc.sections[i];
        if (i > 0)
            out += s.header + "\n";
        for (const IniLine& l : s.lines)
            out += l.raw + "\n";
    }
    return out;
}

const std::string* IniFindValue(const IniDocument& doc, std::string_view section,
                                std::string_view key)
{
    const IniSection* s = FindSection(doc, section);
    if (!s)
        return nullptr;
    const auto it = s->keyIndex.find(Lower(key));
    return it == s->keyIndex.end() ? nullptr : &s->lines[it->second].value;
}

std::string IniGetString(const IniDocument& doc, std::string_view section, std::string_view key,
                         const std::string& def, size_t bufferChars)
{
    const std::string* v = IniFindValue(doc, section, key);
    return TruncateToBuffer(v ? *v : def, bufferChars);
}

int IniGetInt(const IniDocument& doc, std::string_view section, std::string_view key, int def)
{
    const std::string* v = IniFindValue(doc, section, key);
    if (!v || v->empty())
        return def;
    return IniParseInt(*v);
}

bool IniSetString(IniDocument& doc, std::string_view section, std::string_view key,
                  std::string_view value)
{
    if (!ValidSectionName(section) || !ValidKeyName(key) || HasLineBreakOrNul(value))
        return false;
    const std::string lowerSection = Lower(section);
    auto sit = doc.sectionIndex.find(lowerSection);
    if (sit == doc.sectionIndex.end()) {
        IniSection s;
        s.name = std::string(section);
        s.header = "[" + s.name + "]";
        doc.sections.push_back(std::move(s));
        sit = doc.sectionIndex.emplace(lowerSection, doc.sections.size() - 1).first;
    }
    IniSection& s = doc.sections[sit->second];
    IniLine line;
    line.key = std::string(key);
    line.value = std::string(value);
    line.raw = line.key + "=" + QuoteIfNeeded(value);

    const std::string lowerKey = Lower(key);
    if (const auto kit = s.keyIndex.find(lowerKey); kit != s.keyIndex.end()) {
        s.lines[kit->second] = std::move(line);
        return true;
    }
    // Append after the section's last key line, before any trailing blank
    // lines or comments; no key line sits after that point, so no indexed
    // line moves.
    size_t pos = 0;
    for (size_t i = s.lines.size(); i > 0; --i) {
        if (!s.lines[i - 1].key.empty()) {
            pos = i;
            break;
        }
    }
    if (pos == 0) {
        // No key yet: keep leading comments above the new key.
        while (pos < s.lines.size() && !Trim(s.lines[pos].raw).empty())
            ++pos;
    }
    s.lines.insert(s.lines.begin() + static_cast<std::ptrdiff_t>(pos), std::move(line));
    s.keyIndex.emplace(lowerKey, pos);
    return true;
}

void IniClearSection(IniDocument& doc, std::string_view section)
{
    const std::string lower = Lower(section);
    bool seen = false;
    std::vector<IniSection> kept;
    kept.reserve(doc.sections.size());
    for (size_t i = 0; i < doc.sections.size(); ++i) {
        IniSection& s = doc.sections[i];
        if (i > 0 && Lower(s.name) == lower) {
            if (seen)
                continue;  // a later copy of the section goes altogether
            seen = true;
            s.lines.clear();
            s.keyIndex.clear();
        }
        kept.push_back(std::move(s));
    }
    doc.sections = std::move(kept);
    RebuildSectionIndex(doc);
}

std::vector<std::pair<std::string, std::string>> IniSectionEntries(const IniDocument& doc,
                                                                   std::string_view section)
{
    std::vector<std::pair<std::string, std::string>> out;
    const IniSection* s = FindSection(doc, section);
    if (!s)
        return out;
    for (size_t i = 0; i < s->lines.size(); ++i) {
        const IniLine& l = s->lines[i];
        if (l.key.empty())
            continue;
        const auto it = s->keyIndex.find(Lower(l.key));
        if (it != s->keyIndex.end() && it->second == i)
            out.emplace_back(l.key, l.value);
    }
    return out;
}

int IniParseInt(std::string_view text)
{
    size_t i = text.find_first_not_of(kSpace);
    if (i == std::string_view::npos)
        return 0;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') {
        negative = text[i] == '-';
        ++i;
    }
    long long v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        v = v * 10 + (text[i] - '0');
        if (v > static_cast<long long>(INT_MAX) + 1)
            v = static_cast<long long>(INT_MAX) + 1;  // saturate, keep reading digits
    }
    if (negative)
        return static_cast<int>(-v);
    return v > INT_MAX ? INT_MAX : static_cast<int>(v);
}

double IniParseDouble(std::string_view text)
{
    size_t i = text.find_first_not_of(kSpace);
    if (i == std::string_view::npos)
        return 0.0;
    text.remove_prefix(i);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // Only digits, a full stop and an exponent: no "inf", "nan" or hex.
    if (text.empty() || !((text[0] >= '0' && text[0] <= '9') || text[0] == '.'))
        return 0.0;
    double v = 0.0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v,
                                           std::chars_format::fixed | std::chars_format::scientific);
    if (ec != std::errc() || !std::isfinite(v))
        return 0.0;
    (void)ptr;
    return negative ? -v : v;
}

std::string IniFormatDouble(double value, int decimals)
{
    if (!std::isfinite(value))
        value = 0.0;
    char buf[400];
    const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    if (ec != std::errc())
        return "0";
    return std::string(buf, ptr);
}

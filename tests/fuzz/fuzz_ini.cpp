// The settings file is outside input: whatever bytes it holds, reading it
// must not crash, and what a save writes must read back the same.
#include "storage/IniDocument.h"
#include "storage/IniEncoding.h"
#include "storage/Settings.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    IniDocument doc = IniParse(bytes);

    // Every key the parser found reads back from its own output.
    const std::string written = IniSerialize(doc);
    // Already decoded: valid UTF-8, no NUL, no byte-order mark.
    if (DecodeIniText(written) != written)
        abort();
    const IniDocument again = IniParse(written);
    if (IniSerialize(again) != written)
        abort();
    for (size_t i = 1; i < doc.sections.size(); ++i) {
        for (const auto& [key, value] : IniSectionEntries(doc, doc.sections[i].name)) {
            const std::string* v = IniFindValue(again, doc.sections[i].name, key);
            if (!v || *v != value)
                abort();
            IniGetString(doc, doc.sections[i].name, key, "", size % 300);
            IniGetInt(doc, doc.sections[i].name, key, 0);
            IniParseDouble(value);
        }
    }

    // The settings record over the same input: load, save, load, save is stable.
    const Settings loaded = ReadSettings(doc);
    WriteSettings(loaded, doc);
    const std::string once = IniSerialize(doc);
    IniDocument reread = IniParse(once);
    WriteSettings(ReadSettings(reread), reread);
    if (IniSerialize(reread) != once)
        abort();

    // Editing a section the input named must not disturb the others.
    if (doc.sections.size() > 1) {
        const std::string name = doc.sections[1].name;
        IniSetString(doc, name, "Key", bytes.substr(0, 64));
        IniClearSection(doc, name);
        IniSerialize(doc);
    }
    return 0;
}

// Fuzzes the INI reader: any bytes must parse, answer lookups and survive edits without
// reading out of bounds, and an edit must keep every other line.
#include "core/base/IniFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    zarn::IniDocument doc(bytes);

    // The file must come back byte for byte when nothing was changed.
    if (doc.bytes() != bytes)
        __builtin_trap();

    for (const auto& section : doc.sections()) {
        for (const auto& key : doc.keys(section)) {
            const auto value = doc.find(section, key);
            if (!value)
                __builtin_trap(); // a listed key must be found
        }
        (void)doc.entries(section);
    }
    (void)doc.read("LANGUAGE", "Noname_8", "x");
    (void)doc.hasSection("NAMEF");

    // Edits of an existing and of a new key, then read back.
    const std::string section = doc.sections().empty() ? "S" : doc.sections().front();
    doc.write(section, "zarnKey", "value 1");
    if (doc.read(section, "zarnKey") != "value 1")
        __builtin_trap();
    doc.write("NewSection", "k", "v");
    if (doc.read("NewSection", "k") != "v")
        __builtin_trap();
    zarn::IniDocument reread(doc.bytes());
    if (reread.read(section, "zarnKey") != "value 1")
        __builtin_trap();
    return 0;
}

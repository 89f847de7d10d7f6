// Identification payloads from the wire -> the texts kept and shown.
#include "core/comm/Identification.h"
#include "core/comm/InstrumentFrames.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    (void)zarn::frames::identificationLength(bytes);
    auto id = zarn::decodeIdentification(bytes);
    size_t total = 0;
    for (const auto& s : id.strings)
        total += s.size();
    if (total > size)
        std::abort();
    zarn::applyFixedTexts(id);
    const auto row = zarn::identificationRowOf(id);
    for (char c : row.user)
        if (c != '\r' && (static_cast<uint8_t>(c) < 32 || static_cast<uint8_t>(c) > 127))
            std::abort();
    (void)zarn::instrumentDataOf(id);
    (void)zarn::instrumentDataOf(row);
    return 0;
}

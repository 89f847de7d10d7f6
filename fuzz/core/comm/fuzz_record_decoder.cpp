// Record payloads from the wire -> result row cells.
#include "core/comm/InstrumentFrames.h"
#include "core/comm/RecordDecoder.h"
#include "core/lang/NamefTables.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const zarn::NamefTables namef = [] {
        zarn::NamefTables t;
        t.load({"funkcija0=Zero", "funkcija7=RCD$contact voltage", "funkcija255=Last$$one"});
        return t;
    }();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto rec = zarn::decodeRecord(bytes, namef);
    if (rec.complete != (size >= 5) || !rec.cells[9].empty() || !rec.cells[0].empty())
        std::abort();
    // The frame readers see the same bytes as headers.
    (void)zarn::frames::recordLength(bytes);
    (void)zarn::frames::ackResult(bytes);
    (void)zarn::frames::countFromFrame(bytes);
    return 0;
}

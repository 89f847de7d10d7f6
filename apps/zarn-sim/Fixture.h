// Instrument contents described in JSON:
//   {"type_code": 16, "strings": ["name", ...],
//    "records": [{"block": 1, "element": 2, "function": 7,
//                 "items": [{"letter": "R", "quantity": 1, "unit": 5, "text": "> 1999"},
//                           {"letter": "T", "text": "PASS"}]},
//                {"payload_hex": "0001000207..."}]}
// "identification_hex" may replace type_code and strings with raw payload bytes.
#pragma once

#include "sim/InstrumentSimulator.h"

#include <string>

namespace zarnsim {

// Throws std::runtime_error with a readable message on a malformed description.
zarn::SimulatorData parseFixture(const std::string& json);

} // namespace zarnsim

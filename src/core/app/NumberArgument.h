// Numbers given on the command line of zarn, zarnctl and zarn-sim.
//
// One reader for all of them, so that "--retries abc" is refused everywhere instead of being
// read as 0 by one program and refused by another.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace zarn {

class NumberArgumentError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// The value of `option`: decimal digits only (no sign, spaces or other characters), within
// min..max. Anything else throws NumberArgumentError with a message naming the option, the
// range and the text given, e.g. `--retries needs a whole number from 0 to 1000, not "abc"`.
int parseNumberArgument(std::string_view option, std::string_view text, int min, int max);

} // namespace zarn

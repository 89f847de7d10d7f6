// Line speeds beyond the fixed Bnnn codes of termios (14400, 56000, 128000, any user speed).
// Kept apart because the kernel's termios2 header cannot share a file with <termios.h>.
#pragma once

namespace zarn::termios_speed {

// Sets input and output speed to any value the driver accepts. 0 on success, else errno.
int setArbitrary(int fd, int speed);
// The output speed the device runs at in bits per second; -1 when it cannot be read.
long current(int fd);

} // namespace zarn::termios_speed

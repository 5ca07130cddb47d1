#pragma once

// termios for serial ports: the mapping from line settings to attributes, and applying it.
// The mapping is a pure function; the others act on one open descriptor and are as
// thread-safe as the ioctls beneath them.

#include "platform/SerialLineSettings.h"

#include <optional>
#include <termios.h>

// The Bxxx code of a rate, or nothing when the table lacks it (14400, 56000, 128000, ...).
std::optional<speed_t> standardSpeed(int baudRate);

// Raw-mode attributes for `line`, built on `current` (the device's own attributes, so that
// flags this mapping does not own are kept). Nothing when the settings cannot be expressed
// (data bits outside 5-8, a rate of 0 or less). Parity is generated but not checked on input,
// and the speed bits are left alone for a rate outside the table (see setDeviceBaudRate).
std::optional<termios> termiosFor(const termios& current, const SerialLineSettings& line);

// tcgetattr, termiosFor, tcsetattr, and BOTHER for a rate outside the table. A
// pseudo-terminal is given eight data bits without parity, the only framing it keeps. False
// (errno set) when the device refused or the settings cannot be expressed (errno EINVAL).
bool applyLineSettings(int fd, const SerialLineSettings& line);

// The rate as the device holds it, read through termios2; 0 when it cannot be read.
int deviceBaudRate(int fd);

// Sets any rate through termios2 and BOTHER; false (errno set) when the device refused.
bool setDeviceBaudRate(int fd, int baudRate);

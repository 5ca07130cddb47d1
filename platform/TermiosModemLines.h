#pragma once

#include "platform/ModemLines.h"

// Modem lines through TIOCMGET/TIOCMBIS/TIOCMBIC. ENOTTY and EINVAL mean "no modem lines"
// (a pseudo-terminal): all lines off, setting them succeeds without effect. Stateless, so
// any thread may call it.
class TermiosModemLines : public ModemLines {
public:
    Status status(int fd) override;
    bool set(int fd, int line, bool on) override;
};

#pragma once

// The modem lines of an open serial device, behind an interface so that tests can stand in
// for lines a pseudo-terminal does not have. Implementations must be callable from several
// threads at once (the serial engine reads the lines on its timer thread while the caller
// sets DTR or RTS).
class ModemLines {
public:
    // Line bits as TIOCMGET reports them (TIOCM_CTS, TIOCM_DSR, TIOCM_RNG, TIOCM_CAR, ...).
    struct Status {
        bool ok = true; // false when the device is gone (errno set)
        int bits = 0;
    };

    virtual ~ModemLines() = default;

    // The current lines. A device without modem lines (a pseudo-terminal) reports all lines
    // off and ok.
    virtual Status status(int fd) = 0;

    // Raises or drops one output line (TIOCM_DTR or TIOCM_RTS). A device without modem lines
    // accepts it; false (errno set) only when the device refused.
    virtual bool set(int fd, int line, bool on) = 0;

    // The termios implementation, shared by every port of the process.
    static ModemLines& system();
};

#include "platform/SerialTermios.h"

#include <cerrno>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

struct SpeedEntry {
    int rate;
    speed_t code;
};

constexpr SpeedEntry SpeedTable[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

tcflag_t sizeFlag(int dataBits) {
    switch (dataBits) {
    case 5:
        return CS5;
    case 6:
        return CS6;
    case 7:
        return CS7;
    default:
        return CS8;
    }
}

tcflag_t parityFlags(SerialParity parity) {
    switch (parity) {
    case SerialParity::Odd:
        return PARENB | PARODD;
    case SerialParity::Even:
        return PARENB;
    case SerialParity::Mark:
        return PARENB | CMSPAR | PARODD;
    case SerialParity::Space:
        return PARENB | CMSPAR;
    case SerialParity::None:
        break;
    }
    return 0;
}

// Unix98 pseudo-terminal slaves: majors 136 to 143.
bool isPseudoTerminal(int fd) {
    struct stat info {};
    return fstat(fd, &info) == 0 && S_ISCHR(info.st_mode) && major(info.st_rdev) >= 136 &&
           major(info.st_rdev) <= 143;
}

} // namespace

std::optional<speed_t> standardSpeed(int baudRate) {
    for (const SpeedEntry& entry : SpeedTable)
        if (entry.rate == baudRate) return entry.code;
    return std::nullopt;
}

std::optional<termios> termiosFor(const termios& current, const SerialLineSettings& line) {
    if (line.dataBits < 5 || line.dataBits > 8 || line.baudRate <= 0) return std::nullopt;
    termios t = current;
    // Raw bytes both ways: no line editing, no translation, no signals, no echo.
    t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                   IXANY | INPCK | IGNPAR);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    // CIBAUD cleared: the input runs at the output's rate, whatever an earlier BOTHER left.
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | CIBAUD);
    // The carrier line is watched, not obeyed: a missing carrier must not block the port.
    t.c_cflag |= CREAD | CLOCAL | sizeFlag(line.dataBits) | parityFlags(line.parity);
    if (line.stopBits != SerialStopBits::One) t.c_cflag |= CSTOPB;
    if (line.rtsCts) t.c_cflag |= CRTSCTS;
    if (line.xonOutput) t.c_iflag |= IXON;
    if (line.xonInput) t.c_iflag |= IXOFF;
    t.c_cc[VSTART] = line.xonChar;
    t.c_cc[VSTOP] = line.xoffChar;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    if (const std::optional<speed_t> code = standardSpeed(line.baudRate)) {
        cfsetispeed(&t, *code);
        cfsetospeed(&t, *code);
    }
    return t;
}

bool applyLineSettings(int fd, const SerialLineSettings& line) {
    termios current{};
    if (tcgetattr(fd, &current) != 0) return false;
    std::optional<termios> wanted = termiosFor(current, line);
    if (!wanted) {
        errno = EINVAL;
        return false;
    }
    // A pseudo-terminal carries bytes, not bits: it keeps eight data bits without parity and
    // refuses a request that changes nothing else.
    if (isPseudoTerminal(fd)) {
        wanted->c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR);
        wanted->c_cflag |= CS8;
    }
    if (tcsetattr(fd, TCSANOW, &*wanted) != 0) return false;
    return standardSpeed(line.baudRate) || setDeviceBaudRate(fd, line.baudRate);
}

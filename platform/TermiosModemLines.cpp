#include "platform/TermiosModemLines.h"

#include <cerrno>
#include <sys/ioctl.h>

namespace {

bool hasNoModemLines(int error) {
    return error == ENOTTY || error == EINVAL;
}

int ioctlRetrying(int fd, unsigned long request, int* value) {
    int result;
    do {
        result = ioctl(fd, request, value);
    } while (result != 0 && errno == EINTR);
    return result;
}

} // namespace

ModemLines& ModemLines::system() {
    static TermiosModemLines lines;
    return lines;
}

ModemLines::Status TermiosModemLines::status(int fd) {
    int bits = 0;
    if (ioctlRetrying(fd, TIOCMGET, &bits) == 0) return {true, bits};
    return {hasNoModemLines(errno), 0};
}

bool TermiosModemLines::set(int fd, int line, bool on) {
    int bits = line;
    return ioctlRetrying(fd, on ? TIOCMBIS : TIOCMBIC, &bits) == 0 || hasNoModemLines(errno);
}

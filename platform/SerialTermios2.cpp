// The only file that sees the kernel's termios2: <asm/termbits.h> redefines what <termios.h>
// declares, so the two never meet in one translation unit.
#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <sys/ioctl.h>

// Declared in platform/SerialTermios.h, which cannot be included here.
int deviceBaudRate(int fd);
bool setDeviceBaudRate(int fd, int baudRate);

int deviceBaudRate(int fd) {
    termios2 t{};
    if (ioctl(fd, TCGETS2, &t) != 0) return 0;
    return static_cast<int>(t.c_ospeed);
}

bool setDeviceBaudRate(int fd, int baudRate) {
    termios2 t{};
    if (ioctl(fd, TCGETS2, &t) != 0) return false;
    t.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    t.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    t.c_ispeed = static_cast<speed_t>(baudRate);
    t.c_ospeed = static_cast<speed_t>(baudRate);
    return ioctl(fd, TCSETS2, &t) == 0;
}

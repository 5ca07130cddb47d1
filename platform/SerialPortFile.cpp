#include "platform/SerialPortFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

int SerialPortFile::open(const QString& path) {
    close();
    const QByteArray name = QFile::encodeName(path);
    int fd;
    do {
        fd = ::open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return errno;
    int error = 0;
    if (!isatty(fd))
        error = ENOTTY;
    else if (flock(fd, LOCK_EX | LOCK_NB) != 0)
        error = errno == EWOULDBLOCK ? EBUSY : errno;
    else if (ioctl(fd, TIOCEXCL) != 0)
        error = errno;
    if (error != 0) {
        ::close(fd);
        return error;
    }
    m_fd = fd;
    return 0;
}

void SerialPortFile::close() {
    if (m_fd < 0) return;
    // Let later opens in: TIOCEXCL outlives the descriptor on the device.
    ioctl(m_fd, TIOCNXCL);
    ::close(m_fd);
    m_fd = -1;
}

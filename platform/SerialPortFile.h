#pragma once

// One serial device held open for exclusive use: TIOCEXCL keeps other programs out and an
// flock(LOCK_EX) does the same for root, whom TIOCEXCL does not stop. The descriptor is
// non-blocking, not a controlling terminal and closed on exec. Not copyable; open and close
// it from one thread, while other threads may use fd() between the two.

#include <QString>

class SerialPortFile {
public:
    SerialPortFile() = default;
    ~SerialPortFile() { close(); }
    SerialPortFile(const SerialPortFile&) = delete;
    SerialPortFile& operator=(const SerialPortFile&) = delete;

    // 0 on success, else the errno of the failing step: EBUSY when another descriptor holds
    // the device, ENOTTY when the path is no terminal.
    int open(const QString& path);
    void close();

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }

private:
    int m_fd = -1;
};

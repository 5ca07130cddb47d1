#pragma once

// The serial ports this machine offers, as names "COM1", "COM2", ... in ascending number:
// - a link comN in the port folder gives COMN when the device it names exists;
// - a UART the kernel lists as /sys/class/tty/ttyS<k> (with a device behind it and a UART
//   type other than 0, "unknown") gives COM<k+1>, unless the port folder has an entry comN
//   for that number: the link decides where the port leads, so the ttyS line does not count.
// Other serial devices (ttyUSB, ttyACM, ...) have no fixed number: they appear once a link in
// the port folder gives them one. When nothing is found the list is COM1 to COM4.
// Reads the file system only; one object per thread.

#include "platform/PortMap.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace ZaldoComm32 {

// Where the port list is read from; the defaults are the running system's folders.
struct SerialSystemFolders {
    QString sysfsRoot = QStringLiteral("/sys");
    QString portFolder = PortMap().folder();
};

class TCommSerialPortInfo {
public:
    explicit TCommSerialPortInfo(SerialSystemFolders folders = {});
    virtual ~TCommSerialPortInfo() = default;

    // Lists again: the system's ports, or the fallback list when there are none.
    void Refresh();
    // Adds the system's ports to the list, sorts it and marks it as listed from the system.
    void ListFromSystem();

    const QStringList& ports() const { return m_ports; }
    // False when the list is the fallback COM1 to COM4.
    bool listedFromSystem() const { return m_listedFromSystem; }

    // n for a name that starts with "COM" in any case followed by the digits of n ("COM12abc"
    // gives 12); 0 for any other name and for numbers that are 0 or do not fit an int.
    static int PortNo(const QString& name);
    static QString PortName(std::int32_t n);
    // Orders items i and j of a list by port number: negative, 0 or positive.
    static int PortListSortCompare(const QStringList& list, int i, int j);

private:
    void addUarts();
    void addLinks();

    SerialSystemFolders m_folders;
    QStringList m_ports;
    bool m_listedFromSystem = false;
};

} // namespace ZaldoComm32

#pragma once

#include <QString>

// Where a port name leads: COMn is the link "comN" in the port folder when that link exists
// (the redirector publishes its virtual ports there, a user may point one at any device),
// otherwise /dev/ttyS<n-1>. Both programs resolve names through this class so that they agree.
// The folder is $COMPORTS_DIR, else $XDG_CONFIG_HOME/comports, else ~/.config/comports.
// A PortMap only reads the file system; any thread may use its own or a shared instance.
class PortMap {
public:
    // The port folder named by the environment at the time of the call.
    PortMap();
    explicit PortMap(QString folder);

    const QString& folder() const { return m_folder; }

    // The link that stands for COMn in the port folder, whether it exists or not.
    QString linkPath(int portNo) const;

    // The device to open for COMn.
    QString devicePath(int portNo) const;

    // The same for a name "COMn" (any case, n from 1 on); empty text for any other name.
    QString devicePath(const QString& portName) const;

    // n for a name "COMn" (any case, decimal digits only), else 0.
    static int portNumber(const QString& portName);

private:
    QString m_folder;
};

#include "redirector/tools/LocalAddressList.h"

#include "platform/HostAddresses.h"

#include <QComboBox>
#include <QSignalBlocker>

#include <arpa/inet.h>

namespace {

// The four bytes of an address in network byte order, first byte first: "192.168.1.20".
QString dotted(std::uint32_t networkOrder) {
    const std::uint32_t address = ntohl(networkOrder);
    return QStringLiteral("%1.%2.%3.%4")
        .arg(address >> 24)
        .arg((address >> 16) & 0xFF)
        .arg((address >> 8) & 0xFF)
        .arg(address & 0xFF);
}

} // namespace

bool WinsockReady() {
    return true;
}

void LocalAddressList(QComboBox* box) {
    if (!box || !WinsockReady()) return;
    // Adding to an empty box would select the first address; the list grows, nothing else.
    const QSignalBlocker quiet(box);
    const int current = box->currentIndex();
    const QString editText = box->currentText();
    for (const std::uint32_t address : HostAddresses::localIPv4Addresses())
        box->addItem(dotted(address));
    box->setCurrentIndex(current);
    if (box->isEditable()) box->setEditText(editText);
}

#include "redirector/tools/LocalAddressList.h"

#include "platform/HostAddresses.h"

#include <QComboBox>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <arpa/inet.h>

namespace {

QStringList machineAddresses() {
    QStringList addresses;
    for (const std::uint32_t address : HostAddresses::localIPv4Addresses()) {
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &address, text, sizeof text);
        addresses << QString::fromLatin1(text);
    }
    return addresses;
}

QStringList items(const QComboBox& box) {
    QStringList texts;
    for (int i = 0; i < box.count(); ++i)
        texts << box.itemText(i);
    return texts;
}

TEST(LocalAddressListTest, AppendsTheMachineAddressesEachCall) {
    ASSERT_TRUE(WinsockReady());
    const QStringList addresses = machineAddresses();
    QComboBox box;
    box.setEditable(true);
    box.addItem("earlier entry");
    box.setEditText("typed text");
    QSignalSpy changes(&box, &QComboBox::currentIndexChanged);

    LocalAddressList(&box);
    EXPECT_EQ(items(box), QStringList{"earlier entry"} + addresses);
    LocalAddressList(&box);
    EXPECT_EQ(items(box), QStringList{"earlier entry"} + addresses + addresses);
    EXPECT_EQ(box.currentText(), "typed text");
    EXPECT_EQ(changes.count(), 0);
}

TEST(LocalAddressListTest, EmptyBoxGetsNoSelection) {
    QComboBox list;
    LocalAddressList(&list);
    EXPECT_EQ(items(list), machineAddresses());
    EXPECT_EQ(list.currentIndex(), -1);

    QComboBox editable;
    editable.setEditable(true);
    LocalAddressList(&editable);
    EXPECT_EQ(editable.currentText(), "");

    LocalAddressList(nullptr);
}

} // namespace

#include "redirector/shell/frmMain.h"
#include "platform/ScriptedPrompts.h"
#include "redirector/session/frmDocument.h"
#include "tests/redirector/session/SessionTestSupport.h"
#include "tests/support/TestWait.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace {

const QString Loopback = QStringLiteral("127.0.0.1");

class frmMainTest : public PortFolderTest {
protected:
    ScriptedPrompts m_prompts;
};

TEST_F(frmMainTest, StartsWithOneSessionAndKeepsThemInOpeningOrder) {
    frmMain window(m_prompts);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Norvex"));
    ASSERT_EQ(window.sessions().size(), 1);
    frmDocument* first = window.sessions().front();
    EXPECT_EQ(first->windowTitle(), QStringLiteral("New - Serial to TCP/IP"));
    EXPECT_EQ(window.mdiArea()->subWindowList().front()->windowTitle(),
              QStringLiteral("New - Serial to TCP/IP"));

    frmDocument* second = window.NewSession();
    frmDocument* third = window.NewSession();
    EXPECT_EQ(window.sessions(), (QList<frmDocument*>{first, second, third}));
    window.mdiArea()->subWindowList(QMdiArea::CreationOrder).at(1)->close();
    ASSERT_TRUE(waitUntil([&] { return window.sessions().size() == 2; }));
    EXPECT_EQ(window.sessions(), (QList<frmDocument*>{first, third}));
}

TEST_F(frmMainTest, ClosingASessionWindowReleasesWhatTheSessionHolds) {
    PseudoTerminal device;
    ASSERT_TRUE(device.linkAs(dir(), 3));
    Endpoint listener = Endpoint::tcpListener();
    frmMain window(m_prompts);

    // A serial session as TCP client, and a virtual-port session as TCP server.
    frmDocument* serial = window.sessions().front();
    serial->Combo2->setCurrentIndex(3);
    serial->IPAddress->setText(Loopback);
    serial->PortNumber->setText(QString::number(listener.localPort()));
    serial->Command1_Click();
    ASSERT_TRUE(serial->isActive());
    Endpoint peer = listener.acceptConnection();
    frmDocument* server = window.NewSession();
    server->chkVPort->setChecked(true);
    server->Combo2->setCurrentIndex(4);
    server->TCPOption[1]->setChecked(true);
    server->LocalIP->setEditText(Loopback);
    server->PortNumber->setText(QStringLiteral("0"));
    server->Command1_Click();
    ASSERT_TRUE(server->isActive());
    const int listening = server->Winsock1[0].localPort();
    ASSERT_TRUE(QFileInfo(linkPath(4)).isSymLink());

    const QPointer<frmDocument> watched(serial);
    for (QMdiSubWindow* frame : window.mdiArea()->subWindowList())
        frame->close();
    ASSERT_TRUE(window.sessions().isEmpty());
    // Released on closing already, before the windows are deleted.

    SerialPortControl port;
    ASSERT_TRUE(port.setPortNumber(3));
    EXPECT_TRUE(port.setPortOpen(true)) << port.errorDescription().toStdString();
    EXPECT_TRUE(peer.waitForEnd());
    SocketControl probe;
    EXPECT_TRUE(probe.bind(listening, Loopback) && probe.listen());
    EXPECT_FALSE(QFileInfo(linkPath(4)).isSymLink());

    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watched.isNull());
}

} // namespace

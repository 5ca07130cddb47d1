#include "redirector/session/frmClientOptions.h"

#include "redirector/session/OptionDialogParts.h"
#include "redirector/session/OptionTransfer.h"
#include "redirector/tools/LoadResource.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

frmClientOptions::frmClientOptions(OptionTransfer& options, QWidget* parent)
    : QDialog(parent), m_options(options) {
    setTag(this, 5013);
    auto* layout = new QVBoxLayout(this);
    Frame1 = radioFrame(5014, {5015, 5016, 5017}, Option1, this);
    layout->addWidget(Frame1);
    chkConnectOnVirtualPort = new QCheckBox(this);
    setTag(chkConnectOnVirtualPort, 5018);
    layout->addWidget(chkConnectOnVirtualPort);
    Command1 = new QPushButton(this);
    Command2 = new QPushButton(this);
    setTag(Command1, 1207);
    setTag(Command2, 1208);
    addOkCancel(layout, Command1, Command2);
    connect(Command1, &QPushButton::clicked, this, &frmClientOptions::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmClientOptions::Command2_Click);

    ApplyResourceStrings(this);
    selectIndex(Option1, m_options.ClientOptions);
    chkConnectOnVirtualPort->setChecked(m_options.ConnectOnVirtualOpen != 0);
}

void frmClientOptions::Command1_Click() {
    m_options.ClientOptions =
        static_cast<std::int16_t>(selectedIndex(Option1, m_options.ClientOptions));
    m_options.ConnectOnVirtualOpen = chkConnectOnVirtualPort->isChecked() ? 1 : 0;
    accept();
}

void frmClientOptions::Command2_Click() {
    reject();
}

void frmClientOptions::reject() {
    m_options.ClientOptions = -1;
    QDialog::reject();
}

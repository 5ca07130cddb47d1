#include "redirector/session/frmServerOptions.h"

#include "redirector/session/OptionDialogParts.h"
#include "redirector/session/OptionTransfer.h"
#include "redirector/tools/LoadResource.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

frmServerOptions::frmServerOptions(OptionTransfer& options, QWidget* parent)
    : QDialog(parent), m_options(options) {
    setTag(this, 5019);
    auto* layout = new QVBoxLayout(this);
    chkMultiClients = new QCheckBox(this);
    setTag(chkMultiClients, 5020);
    layout->addWidget(chkMultiClients);
    Frame1 = radioFrame(5021, {5022, 5023, 5024}, OptionTCP, this);
    layout->addWidget(Frame1);
    Frame2 = radioFrame(5025, {5026, 5027, 5028}, OptionSerial, this);
    layout->addWidget(Frame2);
    Command1 = new QPushButton(this);
    Command2 = new QPushButton(this);
    setTag(Command1, 1207);
    setTag(Command2, 1208);
    addOkCancel(layout, Command1, Command2);
    connect(Command1, &QPushButton::clicked, this, &frmServerOptions::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmServerOptions::Command2_Click);

    ApplyResourceStrings(this);
    chkMultiClients->setChecked(m_options.AllowMultiConnect != 0);
    selectIndex(OptionSerial, m_options.ServerSerialOptions);
    selectIndex(OptionTCP, m_options.ServerTCPOptions);
}

void frmServerOptions::Command1_Click() {
    m_options.AllowMultiConnect = chkMultiClients->isChecked() ? 1 : 0;
    m_options.ServerTCPOptions =
        static_cast<std::int16_t>(selectedIndex(OptionTCP, m_options.ServerTCPOptions));
    m_options.ServerSerialOptions =
        static_cast<std::int16_t>(selectedIndex(OptionSerial, m_options.ServerSerialOptions));
    accept();
}

void frmServerOptions::Command2_Click() {
    reject();
}

void frmServerOptions::reject() {
    m_options.AllowMultiConnect = -1;
    QDialog::reject();
}

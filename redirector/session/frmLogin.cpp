#include "redirector/session/frmLogin.h"

#include "redirector/session/OptionDialogParts.h"
#include "redirector/session/OptionTransfer.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmLogin::frmLogin(OptionTransfer& options, QWidget* parent) : QDialog(parent), m_options(options) {
    setWindowTitle(QStringLiteral("Client Login Options"));
    auto* layout = new QVBoxLayout(this);
    auto* fields = new QFormLayout;
    txtUserPrompt = new QLineEdit(m_options.UserPrompt, this);
    txtUserPromptResponse = new QLineEdit(m_options.UserPromptResponse, this);
    txtPasswordPrompt = new QLineEdit(m_options.PasswordPrompt, this);
    txtPasswordPromptResponse = new QLineEdit(m_options.PasswordPromptResponse, this);
    fields->addRow(QStringLiteral("Username Prompt:"), txtUserPrompt);
    fields->addRow(QStringLiteral("Username Prompt Response:"), txtUserPromptResponse);
    fields->addRow(QStringLiteral("Password Prompt:"), txtPasswordPrompt);
    fields->addRow(QStringLiteral("Password Prompt Response:"), txtPasswordPromptResponse);
    layout->addLayout(fields);
    Command1 = new QPushButton(QStringLiteral("&OK"), this);
    Command2 = new QPushButton(QStringLiteral("&Cancel"), this);
    addOkCancel(layout, Command1, Command2);
    connect(Command1, &QPushButton::clicked, this, &frmLogin::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmLogin::Command2_Click);
    // Until OK is pressed the dialog counts as cancelled, however it ends.
    m_options.LoginCancelled = true;
}

void frmLogin::Command1_Click() {
    m_options.UserPrompt = txtUserPrompt->text();
    m_options.UserPromptResponse = txtUserPromptResponse->text();
    m_options.PasswordPrompt = txtPasswordPrompt->text();
    m_options.PasswordPromptResponse = txtPasswordPromptResponse->text();
    m_options.LoginCancelled = false;
    accept();
}

void frmLogin::Command2_Click() {
    reject();
}

void frmLogin::reject() {
    m_options.LoginCancelled = true;
    QDialog::reject();
}

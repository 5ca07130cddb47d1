#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
struct OptionTransfer;

// "Client Login Options": edits the four login prompt texts of the option record. Only OK
// clears LoginCancelled; Cancel, Escape and closing the window leave it set. Its texts are
// fixed, not taken from the string table. GUI thread only.
class frmLogin : public QDialog {
    Q_OBJECT
public:
    explicit frmLogin(OptionTransfer& options, QWidget* parent = nullptr);

    QLineEdit* txtUserPrompt = nullptr;
    QLineEdit* txtUserPromptResponse = nullptr;
    QLineEdit* txtPasswordPrompt = nullptr;
    QLineEdit* txtPasswordPromptResponse = nullptr;
    QPushButton* Command1 = nullptr; // OK
    QPushButton* Command2 = nullptr; // Cancel

    void Command1_Click();
    void Command2_Click();
    void reject() override;

private:
    OptionTransfer& m_options;
};

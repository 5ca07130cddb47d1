#include "platform/QtPrompts.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include <utility>
#include <vector>

namespace {

struct ButtonChoice {
    QMessageBox::StandardButton button;
    int answer;
};

std::vector<ButtonChoice> buttonsFor(int flags) {
    using B = QMessageBox;
    switch (flags & 0x0F) {
    case Prompts::MbOkCancel:
        return {{B::Ok, Prompts::IdOk}, {B::Cancel, Prompts::IdCancel}};
    case Prompts::MbAbortRetryIgnore:
        return {{B::Abort, Prompts::IdAbort}, {B::Retry, Prompts::IdRetry},
                {B::Ignore, Prompts::IdIgnore}};
    case Prompts::MbYesNoCancel:
        return {{B::Yes, Prompts::IdYes}, {B::No, Prompts::IdNo}, {B::Cancel, Prompts::IdCancel}};
    case Prompts::MbYesNo:
        return {{B::Yes, Prompts::IdYes}, {B::No, Prompts::IdNo}};
    case Prompts::MbRetryCancel:
        return {{B::Retry, Prompts::IdRetry}, {B::Cancel, Prompts::IdCancel}};
    default:
        return {{B::Ok, Prompts::IdOk}};
    }
}

QMessageBox::Icon iconFor(int flags) {
    switch (flags & 0xF0) {
    case Prompts::MbIconError:
        return QMessageBox::Critical;
    case Prompts::MbIconQuestion:
        return QMessageBox::Question;
    case Prompts::MbIconWarning:
        return QMessageBox::Warning;
    case Prompts::MbIconInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

using FileDialogFunction = QString (*)(QWidget*, const QString&, const QString&, const QString&,
                                       QString*, QFileDialog::Options);

// Runs one of the static file dialogs with the request's 1-based filter index in and out.
QString askFileName(QWidget* parent, Prompts::FileRequest& request, FileDialogFunction ask) {
    const QStringList filters = request.filter.split(QStringLiteral(";;"));
    QString selected = filters.value(request.filterIndex - 1);
    const QString path = ask(parent, request.caption, request.fileName, request.filter, &selected,
                             QFileDialog::Options());
    if (!path.isEmpty())
        request.filterIndex = static_cast<int>(filters.indexOf(selected)) + 1;
    return path;
}

} // namespace

int QtPrompts::messageBox(QWidget* parent, const QString& text, const QString& caption,
                          int flags) {
    QMessageBox box(iconFor(flags), caption, text, QMessageBox::NoButton, parent);
    std::vector<std::pair<QAbstractButton*, int>> answers;
    for (const ButtonChoice& choice : buttonsFor(flags))
        answers.emplace_back(box.addButton(choice.button), choice.answer);
    box.exec();
    for (const auto& [button, answer] : answers)
        if (box.clickedButton() == button)
            return answer;
    return 0;
}

QString QtPrompts::openFileName(QWidget* parent, FileRequest& request) {
    return askFileName(parent, request, &QFileDialog::getOpenFileName);
}

QString QtPrompts::saveFileName(QWidget* parent, FileRequest& request) {
    return askFileName(parent, request, &QFileDialog::getSaveFileName);
}

int QtPrompts::runModal(QDialog& dialog) { return dialog.exec(); }

#include "bench/ui/TcmInfoDlg.h"

#include "platform/Prompts.h"
#include "platform/SystemLanguage.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <vector>

namespace {

// Standard buttons shown for each message-box button code, by caption index.
std::vector<int> standardButtons(int code) {
    switch (code) {
    case Prompts::MbOkCancel:
        return {0, 1};
    case Prompts::MbAbortRetryIgnore:
        return {2, 3, 4};
    case Prompts::MbYesNoCancel:
        return {5, 6, 1};
    case Prompts::MbYesNo:
        return {5, 6};
    case Prompts::MbRetryCancel:
        return {3, 1};
    default:
        return {0};
    }
}

QStyle::StandardPixmap stockIcon(int index) {
    switch (index) {
    case 1:
        return QStyle::SP_MessageBoxCritical;
    case 2:
        return QStyle::SP_MessageBoxQuestion;
    case 3:
        return QStyle::SP_MessageBoxWarning;
    default:
        return QStyle::SP_MessageBoxInformation;
    }
}

} // namespace

TcmInfoDlg::TcmInfoDlg(Prompts& prompts, QObject* parent)
    : QObject(parent), m_prompts(prompts),
      m_language(systemLanguage() == SystemLanguage::SimplifiedChinese ? Chinese : English) {}

QString TcmInfoDlg::standardCaption(int language, int n) {
    static const char* const english[] = {"OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No"};
    static const char* const chinese[] = {"确定", "取消", "终止", "重试", "忽略", "是", "否"};
    if (n < 0 || n > 6)
        return {};
    return QString::fromUtf8(language == Chinese ? chinese[n] : english[n]);
}

void TcmInfoDlg::SetUserButton(const QString& b1, const QString& b2, const QString& b3,
                               const QString& b4) {
    m_userButtons = {b4, b3, b2, b1};
}

int TcmInfoDlg::MessageDlg(const QString& text, const QString& caption, int flags) {
    QLabel label(text);
    label.setWordWrap(true);
    label.setTextInteractionFlags(Qt::TextSelectableByMouse);
    return run(&label, caption, flags);
}

int TcmInfoDlg::ControlDlg(QWidget* control, const QString& caption, int flags) {
    QWidget* const home = control->parentWidget();
    const bool wasVisible = control->isVisibleTo(home);
    const QRect geometry = control->geometry();
    const int result = run(control, caption, flags);
    // The panel belongs to its window: put it back exactly as it was.
    control->setParent(home);
    control->setGeometry(geometry);
    control->setVisible(wasVisible);
    return result;
}

void TcmInfoDlg::addButtons(QDialog& dialog, QHBoxLayout& row, int flags) const {
    row.addStretch();
    if ((flags & 0x0F) == UserButtons) {
        // Slot 0 is the rightmost: add from the highest slot so it ends up on the right.
        for (int slot = 3; slot >= 0; --slot) {
            if (m_userButtons[slot].isEmpty())
                continue;
            auto* button = new QPushButton(m_userButtons[slot], &dialog);
            connect(button, &QPushButton::clicked, &dialog, [&dialog, slot] { dialog.done(slot); });
            row.addWidget(button);
        }
        return;
    }
    for (int index : standardButtons(flags & 0x0F)) {
        auto* button = new QPushButton(standardCaption(m_language, index), &dialog);
        const int id = index + 1;
        connect(button, &QPushButton::clicked, &dialog, [&dialog, id] { dialog.done(id); });
        row.addWidget(button);
    }
}

int TcmInfoDlg::run(QWidget* content, const QString& caption, int flags) {
    QDialog dialog(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint);
    dialog.setWindowTitle(caption);
    dialog.setModal(true);
    auto* layout = new QVBoxLayout(&dialog);
    auto* body = new QHBoxLayout;
    const int icon = (flags >> 4) & 0x0F;
    if (icon >= 1 && icon <= 4) {
        auto* iconLabel = new QLabel(&dialog);
        iconLabel->setObjectName(QStringLiteral("icon%1").arg(icon));
        iconLabel->setPixmap(QApplication::style()->standardIcon(stockIcon(icon)).pixmap(32, 32));
        body->addWidget(iconLabel, 0, Qt::AlignTop);
    }
    content->setParent(&dialog);
    content->show();
    body->addWidget(content, 1);
    layout->addLayout(body);
    auto* row = new QHBoxLayout;
    addButtons(dialog, *row, flags);
    layout->addLayout(row);
    const int result = m_prompts.runModal(dialog);
    // The content is the caller's: take it out before the dialog deletes its children.
    content->hide();
    content->setParent(nullptr);
    return result;
}

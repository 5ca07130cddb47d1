#include "bench/ui/TcmInfoDlg.h"
#include "platform/ScriptedPrompts.h"

#include <QDialog>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// The captions of the dialog's buttons from left to right.
QStringList buttonCaptions(QDialog& dialog) {
    QList<QPushButton*> buttons = dialog.findChildren<QPushButton*>();
    std::sort(buttons.begin(), buttons.end(),
              [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
    QStringList captions;
    for (QPushButton* b : buttons)
        captions << b->text();
    return captions;
}

QPushButton* buttonNamed(QDialog& dialog, const QString& caption) {
    for (QPushButton* b : dialog.findChildren<QPushButton*>())
        if (b->text() == caption)
            return b;
    return nullptr;
}

// Lays the dialog out, reports its buttons, and presses the one with `caption`.
ScriptedPrompts::ModalScript press(const QString& caption, QStringList* seen = nullptr) {
    return [caption, seen](QDialog& dialog) {
        dialog.adjustSize();
        dialog.layout()->activate();
        if (seen)
            *seen = buttonCaptions(dialog);
        QPushButton* b = buttonNamed(dialog, caption);
        if (!b)
            return -1;
        b->click();
        return dialog.result();
    };
}

} // namespace

TEST(TcmInfoDlg, StandardButtonsReturnTheirIdsInEitherLanguage) {
    ScriptedPrompts prompts;
    TcmInfoDlg dlg(prompts);
    dlg.setLanguage(TcmInfoDlg::English);
    QStringList seen;
    prompts.setNextModal(press("No", &seen));
    EXPECT_EQ(dlg.MessageDlg("Go?", "Question", Prompts::MbYesNo), Prompts::IdNo);
    EXPECT_EQ(seen, QStringList({"Yes", "No"}));
    EXPECT_EQ(prompts.lastQuestion()->text, "Question");

    dlg.setLanguage(TcmInfoDlg::Chinese);
    prompts.setNextModal(press("是", &seen));
    EXPECT_EQ(dlg.MessageDlg("继续?", "问题", Prompts::MbYesNo), Prompts::IdYes);
    EXPECT_EQ(seen, QStringList({"是", "否"}));

    prompts.setNextModal(press("重试", &seen));
    EXPECT_EQ(dlg.MessageDlg("x", "y", Prompts::MbAbortRetryIgnore), Prompts::IdRetry);
    EXPECT_EQ(seen, QStringList({"终止", "重试", "忽略"}));
}

TEST(TcmInfoDlg, UserButtonsFillSlotsFromTheRightAndSkipEmptyNames) {
    ScriptedPrompts prompts;
    TcmInfoDlg dlg(prompts);
    dlg.SetUserButton("", "Overwrite", "Append", "Cancel");
    QStringList seen;
    prompts.setNextModal(press("Cancel", &seen));
    EXPECT_EQ(dlg.MessageDlg("Exists", "File", TcmInfoDlg::UserButtons), 0);
    EXPECT_EQ(seen, QStringList({"Overwrite", "Append", "Cancel"}));
    prompts.setNextModal(press("Overwrite"));
    EXPECT_EQ(dlg.MessageDlg("Exists", "File", TcmInfoDlg::UserButtons), 2);
}

TEST(TcmInfoDlg, ClosingWithoutAButtonGivesZeroAndTheIconFollowsTheFlags) {
    ScriptedPrompts prompts;
    TcmInfoDlg dlg(prompts);
    bool hasIcon = false;
    prompts.setNextModal([&](QDialog& dialog) {
        hasIcon = dialog.findChild<QLabel*>("icon3") != nullptr;
        dialog.reject();
        return dialog.result();
    });
    EXPECT_EQ(dlg.MessageDlg("x", "y", Prompts::MbOk | 0x30), 0);
    EXPECT_TRUE(hasIcon);
}

TEST(TcmInfoDlg, ControlDlgShowsThePanelAndGivesItBack) {
    ScriptedPrompts prompts;
    TcmInfoDlg dlg(prompts);
    dlg.setLanguage(TcmInfoDlg::English);
    QWidget home;
    auto* panel = new QWidget(&home);
    panel->setGeometry(5, 6, 70, 80);
    panel->hide();
    bool shownInDialog = false;
    prompts.setNextModal([&](QDialog& dialog) {
        shownInDialog = panel->parentWidget() == &dialog && panel->isVisibleTo(&dialog);
        buttonNamed(dialog, "Yes")->click();
        return dialog.result();
    });
    EXPECT_EQ(dlg.ControlDlg(panel, "Checksum", Prompts::MbYesNo), Prompts::IdYes);
    EXPECT_TRUE(shownInDialog);
    EXPECT_EQ(panel->parentWidget(), &home);
    EXPECT_EQ(panel->geometry(), QRect(5, 6, 70, 80));
    EXPECT_FALSE(panel->isVisibleTo(&home));
}

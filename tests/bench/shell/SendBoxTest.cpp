#include "FormNetFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QTest>

namespace {

struct PaneBoxes {
    QPlainTextEdit* memo;
    QPlainTextEdit* hidden;
    QCheckBox* asHex;
};

} // namespace

class SendBoxTest : public FormNetTest, public ::testing::WithParamInterface<bool> {
protected:
    PaneBoxes pane() const {
        if (GetParam())
            return {form->MemoSend_L, form->MemoSend_LHind, form->CheckBox_SendAsHex_L};
        return {form->MemoSend, form->MemoSend_Hind, form->CheckBox_SendAsHex};
    }
    // The user is in the box, as when typing or pasting.
    void focus(QPlainTextEdit* memo) {
        memo->setFocus();
        ASSERT_EQ(form->focusWidget(), memo);
        memo->moveCursor(QTextCursor::End);
    }
};

TEST_P(SendBoxTest, SendAsHexShowsTheBytesAndGivesTheTextBack) {
    const PaneBoxes p = pane();
    p.memo->setPlainText("  AB\n");
    p.asHex->setChecked(true);
    EXPECT_EQ(p.memo->toPlainText(), "41 42");
    EXPECT_EQ(p.hidden->toPlainText(), "AB");
    p.asHex->setChecked(false);
    EXPECT_EQ(p.memo->toPlainText(), "AB");
    EXPECT_EQ(p.hidden->toPlainText(), "");

    // A long text stays one line of pairs; a non-ASCII character becomes its UTF-8 bytes.
    const QString text = QString(30, QLatin1Char('a')) + QStringLiteral("中");
    p.memo->setPlainText(text);
    p.asHex->setChecked(true);
    EXPECT_FALSE(p.memo->toPlainText().contains('\n'));
    EXPECT_TRUE(p.memo->toPlainText().endsWith("61 E4 B8 AD"));
    p.asHex->setChecked(false);
    EXPECT_EQ(p.memo->toPlainText(), text);
}

TEST_P(SendBoxTest, EditsWhileCheckedReachTheHiddenText) {
    const PaneBoxes p = pane();
    p.memo->setPlainText("AB");
    p.asHex->setChecked(true);
    focus(p.memo);
    QTest::keyClick(p.memo, Qt::Key_Backspace);
    QTest::keyClicks(p.memo, "3");
    EXPECT_EQ(p.memo->toPlainText(), "41 43");
    EXPECT_EQ(p.hidden->toPlainText(), "AC");
    p.asHex->setChecked(false);
    EXPECT_EQ(p.memo->toPlainText(), "AC");
}

TEST_P(SendBoxTest, TypedAndPastedHexIsTidied) {
    const PaneBoxes p = pane();
    p.memo->clear();
    p.asHex->setChecked(true);
    focus(p.memo);
    QTest::keyClicks(p.memo, "abcd");
    EXPECT_EQ(p.memo->toPlainText(), "AB CD");
    // Keys that hex text never holds are refused: letters past F, punctuation, Ctrl+Enter.
    QTest::keyClicks(p.memo, "xz,.");
    QTest::keyClick(p.memo, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(p.memo->toPlainText(), "AB CD");

    p.memo->clear();
    QApplication::clipboard()->setText("123456");
    QTest::keyClick(p.memo, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(p.memo->toPlainText(), "12 3 4 5 6");
    EXPECT_EQ(p.hidden->toPlainText(), QString::fromLatin1("\x12\x03\x04\x05\x06"));
}

TEST_P(SendBoxTest, ViewThatIsNotHexLeavesTheHiddenTextEmpty) {
    const PaneBoxes p = pane();
    p.asHex->setChecked(true);
    focus(p.memo);
    // Text starting with "/" is left as typed and stands for no bytes; no error is raised.
    QTest::keyClicks(p.memo, "41");
    p.memo->setPlainText("/41 42");
    EXPECT_EQ(p.memo->toPlainText(), "/41 42");
    EXPECT_EQ(p.hidden->toPlainText(), "");
    // Set by code with a line break: the token "42\n43" is no number.
    form->setFocus();
    p.memo->setPlainText("41 42\n43");
    EXPECT_EQ(p.hidden->toPlainText(), "");
}

TEST_P(SendBoxTest, PlainModeTakesEveryKeyButCtrlEnter) {
    const PaneBoxes p = pane();
    p.memo->clear();
    focus(p.memo);
    QTest::keyClicks(p.memo, "xyz!");
    QTest::keyClick(p.memo, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClick(p.memo, Qt::Key_Return);
    EXPECT_EQ(p.memo->toPlainText(), "xyz!\n");
}

INSTANTIATE_TEST_SUITE_P(BothPanes, SendBoxTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Serial" : "Network"; });

#include "bench/ui/TContextPopupMenu.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <gtest/gtest.h>

namespace {

void select(QPlainTextEdit& edit, int from, int to) {
    QTextCursor cursor = edit.textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    edit.setTextCursor(cursor);
}

} // namespace

TEST(TContextPopupMenu, ConvertsTheSelectionAsOneUndoableStep) {
    struct Case {
        const char* text;
        int tag;
        const char* result;
    } cases[] = {
        {"AB", TContextPopupMenu::AsciiToHex, "41 42"},
        {"41 42 00 43", TContextPopupMenu::HexToAscii, "AB"},
        {"ff 10", TContextPopupMenu::HexToDec, "255 16"},
        {"3", TContextPopupMenu::HexToBinary, "0011"},
        {"中", TContextPopupMenu::AsciiToHex, "E4 B8 AD"},
    };
    TContextPopupMenu menu;
    for (const Case& c : cases) {
        QPlainTextEdit edit;
        edit.setPlainText(QStringLiteral("<") + QString::fromUtf8(c.text) + QStringLiteral(">"));
        const int length = static_cast<int>(QString::fromUtf8(c.text).size());
        select(edit, 1, 1 + length);
        menu.DoPopup(&edit);
        ASSERT_TRUE(menu.item(c.tag)->isEnabled());
        menu.OnClick(c.tag);
        EXPECT_EQ(edit.toPlainText(), QStringLiteral("<%1>").arg(c.result)) << c.text;
        edit.undo();
        EXPECT_EQ(edit.toPlainText(), QStringLiteral("<%1>").arg(QString::fromUtf8(c.text)));
    }
}

TEST(TContextPopupMenu, ItemsFollowTheSelectionAndTheEnhancedFlag) {
    TContextPopupMenu menu;
    ASSERT_EQ(menu.actions().size(), TContextPopupMenu::ItemCount);
    EXPECT_EQ(menu.item(0)->text(), "撤消(&U)");
    EXPECT_TRUE(menu.item(1)->isSeparator());
    EXPECT_EQ(menu.item(12)->text(), "HEX -> BINARY");

    QPlainTextEdit edit;
    edit.setPlainText("12");
    menu.DoPopup(&edit);
    for (int tag : {2, 3, 5, 9, 10, 11, 12})
        EXPECT_FALSE(menu.item(tag)->isEnabled()) << tag;
    EXPECT_TRUE(menu.item(TContextPopupMenu::Paste)->isEnabled());
    EXPECT_TRUE(menu.item(TContextPopupMenu::SelectAll)->isEnabled());

    menu.SetEnhanced(false);
    for (int tag = 8; tag < TContextPopupMenu::ItemCount; ++tag)
        EXPECT_FALSE(menu.item(tag)->isVisible()) << tag;
    EXPECT_TRUE(menu.item(TContextPopupMenu::SelectAll)->isVisible());
}

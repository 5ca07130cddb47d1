#pragma once

#include <QMenu>
#include <QPointer>

class QPlainTextEdit;

// The edit boxes' popup menu: the usual editing items plus four conversions of the selection
// (text to hex, hex to text, hex to decimal, hex to binary), each an undoable replacement.
class TContextPopupMenu : public QMenu {
    Q_OBJECT
public:
    // Item tags are their indexes.
    enum Tag : int {
        Undo = 0,
        Cut = 2,
        Copy = 3,
        Paste = 4,
        Delete = 5,
        SelectAll = 7,
        AsciiToHex = 9,
        HexToAscii = 10,
        HexToDec = 11,
        HexToBinary = 12,
        ItemCount = 13
    };

    explicit TContextPopupMenu(QWidget* parent = nullptr);

    // Makes this the popup menu of the box.
    void attachTo(QPlainTextEdit* edit);

    bool Enhanced() const { return m_enhanced; }
    void SetEnhanced(bool enhanced);

    QAction* item(int tag) const { return actions().at(tag); }
    // Prepares the items for the box that opens the menu.
    void DoPopup(QPlainTextEdit* edit);
    // Runs the item with this tag on the box that opened the menu.
    void OnClick(int tag);

    // Replaces the selection with its conversion (kind 0 to 3 as the items 9 to 12).
    static void TxtEditor_SelConverse(QPlainTextEdit* edit, int kind);

private:
    QPointer<QPlainTextEdit> m_edit;
    bool m_enhanced = true;
};

#include "bench/ui/TContextPopupMenu.h"

#include "bench/datapath/Codec.h"
#include "bench/datapath/HexView.h"

#include <QPlainTextEdit>
#include <QTextCursor>

#include <vector>

TContextPopupMenu::TContextPopupMenu(QWidget* parent) : QMenu(parent) {
    static const char* const captions[ItemCount] = {
        "撤消(&U)", "-", "剪切(&T)", "复制(&C)", "粘贴(&P)", "删除(&D)", "-",
        "全选(&A)", "-", "ASCII -> HEX", "HEX -> ASCII", "HEX -> DEC", "HEX -> BINARY"};
    for (int tag = 0; tag < ItemCount; ++tag) {
        QAction* action = addAction(QString::fromUtf8(captions[tag]));
        action->setSeparator(QByteArray(captions[tag]) == "-");
        action->setData(tag);
        connect(action, &QAction::triggered, this, [this, tag] { OnClick(tag); });
    }
}

void TContextPopupMenu::attachTo(QPlainTextEdit* edit) {
    edit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(edit, &QWidget::customContextMenuRequested, this, [this, edit](const QPoint& at) {
        DoPopup(edit);
        exec(edit->viewport()->mapToGlobal(at));
    });
}

void TContextPopupMenu::SetEnhanced(bool enhanced) {
    m_enhanced = enhanced;
    for (int tag = 8; tag < ItemCount; ++tag)
        item(tag)->setVisible(enhanced);
}

void TContextPopupMenu::DoPopup(QPlainTextEdit* edit) {
    m_edit = edit;
    const bool selected = edit->textCursor().hasSelection();
    item(Undo)->setEnabled(edit->document()->isUndoAvailable() && !edit->isReadOnly());
    for (int tag : {int(Cut), int(Copy), int(Delete), int(AsciiToHex), int(HexToAscii),
                    int(HexToDec), int(HexToBinary)})
        item(tag)->setEnabled(selected);
    item(Paste)->setEnabled(true);
    item(SelectAll)->setEnabled(true);
}

void TContextPopupMenu::OnClick(int tag) {
    QPlainTextEdit* edit = m_edit;
    if (!edit)
        return;
    switch (tag) {
    case Undo:
        edit->undo();
        break;
    case Cut:
        edit->cut();
        break;
    case Copy:
        edit->copy();
        break;
    case Paste:
        edit->paste();
        break;
    case Delete:
        edit->textCursor().removeSelectedText();
        break;
    case SelectAll:
        edit->selectAll();
        break;
    case AsciiToHex:
    case HexToAscii:
    case HexToDec:
    case HexToBinary:
        TxtEditor_SelConverse(edit, tag - AsciiToHex);
        break;
    default:
        break;
    }
}

void TContextPopupMenu::TxtEditor_SelConverse(QPlainTextEdit* edit, int kind) {
    QTextCursor cursor = edit->textCursor();
    if (!cursor.hasSelection())
        return;
    // The selection as text uses U+2029 between paragraphs; the codec wants real line ends.
    const QByteArray in = cursor.selectedText().replace(QChar::ParagraphSeparator, u'\n').toUtf8();
    const int n = static_cast<int>(in.size());
    const std::string_view text(in.constData(), static_cast<size_t>(n));
    std::vector<char> out(static_cast<size_t>(8) * n + 1);
    QString replacement;
    switch (kind) {
    case 0: {
        const int len = BytesToHexText(reinterpret_cast<const std::uint8_t*>(in.constData()), n,
                                       out.data(), 3 * n, ' ');
        replacement = QString::fromLatin1(out.data(), len);
        break;
    }
    case 1: {
        auto* bytes = reinterpret_cast<std::uint8_t*>(out.data());
        const int len = HexTextToBytes(text, bytes, n);
        replacement = textUpToZero(out.data(), len);
        break;
    }
    case 2:
        replacement = QString::fromLatin1(out.data(), HexTextToDecText(text, out.data()));
        break;
    case 3:
        replacement = QString::fromLatin1(out.data(), HexTextToBinText(text, out.data()));
        break;
    default:
        return;
    }
    cursor.insertText(replacement); // one undo step
}

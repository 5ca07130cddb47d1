#include "bench/shell/SendBox.h"

#include "bench/datapath/Codec.h"
#include "bench/datapath/HexView.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QTextCursor>

SendBox::SendBox(QPlainTextEdit* memo, QPlainTextEdit* hidden, QCheckBox* sendAsHex)
    : QObject(memo), m_memo(memo), m_hidden(hidden), m_sendAsHex(sendAsHex) {}

void SendBox::sendAsHexClicked() {
    if (m_note)
        return;
    if (m_sendAsHex->isChecked()) {
        m_hidden->clear();
        const QString plain = trimBlanks(m_memo->toPlainText());
        if (!plain.isEmpty()) {
            m_memo->setPlainText(hexViewOf(plain.toUtf8()));
            m_memo->moveCursor(QTextCursor::End);
            m_memo->ensureCursorVisible();
        }
        // After the view is shown: its change handler has emptied the hidden text meanwhile.
        m_hidden->setPlainText(plain);
    } else {
        m_memo->setPlainText(trimBlanks(m_hidden->toPlainText()));
        m_hidden->clear();
    }
}

void SendBox::memoChanged() {
    if (!m_sendAsHex->isChecked() || m_formatting || m_note)
        return;
    // Only the user's own editing is tidied; text put there by code is taken as it is.
    if (m_memo->window()->focusWidget() == m_memo) {
        const QString text = m_memo->toPlainText();
        const FormattedHex tidy = FormatHexInput(text, m_memo->textCursor().position());
        if (tidy.text != text)
            replaceText(tidy.text, tidy.caret);
    }
    m_hidden->clear();
    const QString view = m_memo->toPlainText();
    if (trimBlanks(view).isEmpty())
        return;
    if (const std::optional<QString> plain = textOfHexView(view)) {
        m_hidden->setPlainText(*plain);
        m_hidden->ensureCursorVisible();
    }
}

void SendBox::replaceText(const QString& text, int caret) {
    const QScopedValueRollback<bool> guard(m_formatting, true);
    // Through a cursor, so that the user's undo history survives the tidying.
    QTextCursor cursor(m_memo->document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(text);
    cursor.setPosition(caret);
    m_memo->setTextCursor(cursor);
}

bool SendBox::acceptKey(char16_t key) const {
    if (key == 10) // Ctrl+Enter never reaches the box
        return false;
    if (!m_sendAsHex->isChecked())
        return true;
    if (key < 0x80 && HexDigitValue(static_cast<unsigned char>(key)) >= 0)
        return true;
    return key == u' ' || key == 13 || key == 8 || key == 1 || key == 3 || key == 22;
}

namespace {

void setBase(QPlainTextEdit* box, QRgb colour) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, QColor(colour));
    box->setPalette(palette);
}

} // namespace

void SendBox::showNote(const QString& note) {
    m_note = true;
    m_hidden->clear();
    m_memo->setPlainText(note);
    m_memo->setReadOnly(true);
    setBase(m_memo, 0xDFDFDF);
}

void SendBox::endNote() {
    if (!m_note)
        return;
    m_note = false;
    m_memo->clear();
    m_hidden->clear();
    m_memo->setReadOnly(false);
    setBase(m_memo, 0xFFFFFF);
}

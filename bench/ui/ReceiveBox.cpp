#include "bench/ui/ReceiveBox.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

ReceiveBox::ReceiveBox(QPlainTextEdit* box) : QObject(box), m_box(box) {}

QString ReceiveBox::decode(const char* data, int len) {
    QString text = m_decoder.decode(QByteArrayView(data, len));
    text.replace(QChar(0), QChar::ReplacementCharacter);
    return text;
}

void ReceiveBox::append(const QString& text) {
    if (text.isEmpty())
        return;
    m_pending += text;
    if (!m_flushQueued) {
        m_flushQueued = true;
        QMetaObject::invokeMethod(this, &ReceiveBox::flush, Qt::QueuedConnection);
    }
}

void ReceiveBox::startLine() {
    if (!isEmpty() && !endsWithLineEnd())
        append(QStringLiteral("\n"));
}

bool ReceiveBox::isEmpty() { return m_pending.isEmpty() && m_box->document()->isEmpty(); }

bool ReceiveBox::endsWithLineEnd() {
    if (!m_pending.isEmpty())
        return m_pending.back() == QLatin1Char('\n');
    // An empty last block means the document ends with a line break.
    return m_box->document()->lastBlock().length() <= 1 && m_box->document()->blockCount() > 1;
}

void ReceiveBox::clear() {
    m_pending.clear();
    m_decoder.resetState();
    m_box->clear();
}

void ReceiveBox::flush() {
    m_flushQueued = false;
    if (m_pending.isEmpty())
        return;
    QScrollBar* bar = m_box->verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    QTextCursor end(m_box->document());
    end.movePosition(QTextCursor::End);
    end.insertText(m_pending);
    m_pending.clear();
    // Keep showing the newest data unless the user scrolled back to read.
    if (following)
        bar->setValue(bar->maximum());
}

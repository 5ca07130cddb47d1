#include "bench/ui/ReceiveBox.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// Longest piece of a line kept in one block: the box lays out a block whole on every append
// to it, so a bounded block keeps appending cheap however long the line grows.
constexpr int MaxBlockChars = 4096;
// Whole lines inserted with one call at most.
constexpr qsizetype MaxRunChars = 65536;
// Time one pass of the event loop spends writing gathered text; the rest follows in the next
// pass, so that a flood of data never holds up the window for long.
constexpr int FlushBudgetMs = 20;
// A block that continues the line of the block before it (no line end between them).
constexpr int ContinuationProperty = QTextFormat::UserProperty + 1;

bool continues(const QTextBlock& block) {
    return block.blockFormat().boolProperty(ContinuationProperty);
}

void setBase(QPlainTextEdit* box, QRgb colour) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, QColor(colour));
    box->setPalette(palette);
}

// Where to cut `text` (from `from`) so that the piece fits `room`: after a blank near the end
// when there is one, so hexadecimal pairs and words stay whole, never inside a surrogate pair.
qsizetype pieceEnd(const QString& text, qsizetype from, qsizetype end, qsizetype room) {
    if (end - from <= room)
        return end;
    qsizetype cut = from + room;
    for (qsizetype i = cut; i > cut - 16 && i > from + 1; --i)
        if (text.at(i - 1) == QLatin1Char(' '))
            return i;
    if (cut - 1 > from && text.at(cut - 1).isHighSurrogate())
        --cut;
    return cut;
}

} // namespace

ReceiveBox::ReceiveBox(QPlainTextEdit* box) : QObject(box), m_box(box) {
    // Received data is not typed: an undo history would only hold a second copy of it.
    m_box->setUndoRedoEnabled(false);
}

QString ReceiveBox::decode(const char* data, int len) {
    const QString raw = m_decoder.decode(QByteArrayView(data, len));
    QString text;
    text.reserve(raw.size());
    for (const QChar ch : raw) {
        const bool lf = ch == QLatin1Char('\n');
        if (lf && m_afterCR) { // the LF of a CR LF
            m_afterCR = false;
            continue;
        }
        m_afterCR = ch == QLatin1Char('\r');
        if (m_afterCR || lf)
            text.append(QLatin1Char('\n'));
        else
            text.append(ch.unicode() == 0 ? QChar(QChar::ReplacementCharacter) : ch);
    }
    return text;
}

void ReceiveBox::append(const QString& text) {
    if (text.isEmpty())
        return;
    m_pending.push_back(text);
    queueFlush();
}

void ReceiveBox::startLine() {
    if (!isEmpty() && !endsWithLineEnd())
        append(QStringLiteral("\n"));
}

bool ReceiveBox::isEmpty() const { return m_pending.empty() && m_box->document()->isEmpty(); }

bool ReceiveBox::endsWithLineEnd() const {
    if (!m_pending.empty())
        return m_pending.back().back() == QLatin1Char('\n');
    // An empty last block means the document ends with a line break.
    const QTextDocument* doc = m_box->document();
    return doc->lastBlock().length() <= 1 && doc->blockCount() > 1;
}

QString ReceiveBox::text() {
    flush();
    QString all;
    all.reserve(m_box->document()->characterCount());
    for (QTextBlock block = m_box->document()->firstBlock(); block.isValid();
         block = block.next()) {
        if (block != m_box->document()->firstBlock() && !continues(block))
            all.append(QLatin1Char('\n'));
        all.append(block.text());
    }
    return all;
}

void ReceiveBox::clear() {
    m_pending.clear();
    m_pendingPos = 0;
    m_decoder.resetState();
    m_afterCR = false;
    m_box->clear();
}

void ReceiveBox::flush() { write(-1); }

void ReceiveBox::flushQueued() {
    m_flushQueued = false;
    write(FlushBudgetMs);
    if (!m_pending.empty())
        queueFlush();
}

void ReceiveBox::queueFlush() {
    if (m_flushQueued)
        return;
    m_flushQueued = true;
    QMetaObject::invokeMethod(this, &ReceiveBox::flushQueued, Qt::QueuedConnection);
}

void ReceiveBox::write(int budgetMs) {
    if (m_pending.empty())
        return;
    QElapsedTimer clock;
    clock.start();
    const auto outOfTime = [&] { return budgetMs >= 0 && clock.elapsed() >= budgetMs; };
    QScrollBar* bar = m_box->verticalScrollBar();
    const bool following = bar->value() == bar->maximum();

    QTextCursor end(m_box->document());
    end.movePosition(QTextCursor::End);
    end.beginEditBlock();
    qsizetype lineLength = end.block().length() - 1;
    while (!m_pending.empty() && !outOfTime()) {
        const QString& chunk = m_pending.front();
        m_pendingPos = writeChunk(end, chunk, m_pendingPos, lineLength, outOfTime);
        if (m_pendingPos < chunk.size())
            break;
        m_pending.pop_front();
        m_pendingPos = 0;
    }
    end.endEditBlock();
    // Keep showing the newest data unless the user scrolled back to read.
    if (following)
        bar->setValue(bar->maximum());
}

qsizetype ReceiveBox::writeChunk(QTextCursor& end, const QString& text, qsizetype pos,
                                 qsizetype& lineLength, const std::function<bool()>& outOfTime) {
    QTextBlockFormat lineStart;
    QTextBlockFormat continuation;
    continuation.setProperty(ContinuationProperty, true);
    const qsizetype size = text.size();
    while (pos < size && !outOfTime()) {
        qsizetype lineEnd = text.indexOf(QLatin1Char('\n'), pos);
        if (lineEnd < 0)
            lineEnd = size;
        // The text up to the line end continues the last block, in pieces.
        while (pos < lineEnd && !outOfTime()) {
            if (lineLength >= MaxBlockChars) {
                end.insertBlock(continuation);
                lineLength = 0;
            }
            const qsizetype cut = pieceEnd(text, pos, lineEnd, MaxBlockChars - lineLength);
            end.insertText(text.mid(pos, cut - pos));
            lineLength += cut - pos;
            pos = cut;
        }
        if (pos < lineEnd || lineEnd == size)
            break;
        end.insertBlock(lineStart);
        lineLength = 0;
        pos = lineEnd + 1;
        // Whole lines that fit a block go in with one insert (the box makes their blocks
        // itself, in the format of the plain block just started), a bounded run at a time.
        qsizetype runEnd = pos;
        for (qsizetype next; runEnd - pos < MaxRunChars &&
                             (next = text.indexOf(QLatin1Char('\n'), runEnd)) >= 0 &&
                             next - runEnd <= MaxBlockChars;)
            runEnd = next + 1;
        if (runEnd > pos) {
            end.insertText(text.mid(pos, runEnd - pos));
            pos = runEnd;
        }
    }
    return pos;
}

void ReceiveBox::showRedirected(const QString& note) {
    clear();
    m_box->setPlainText(note);
    m_box->setReadOnly(true);
    setBase(m_box, 0xDFDFDF);
}

void ReceiveBox::showLive() {
    clear();
    m_box->setReadOnly(false);
    setBase(m_box, 0xFFFFFF);
}

void ReceiveBox::setPaused(bool paused) {
    setBase(m_box, paused ? 0x8F8F8F : 0xFFFFFF);
    m_box->viewport()->setCursor(paused ? Qt::ForbiddenCursor : Qt::IBeamCursor);
}

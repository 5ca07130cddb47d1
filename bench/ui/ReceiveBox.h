#pragma once

#include <QObject>
#include <QString>
#include <QStringDecoder>

#include <deque>
#include <functional>

class QPlainTextEdit;
class QTextCursor;

// A receive box fed with incoming data. Appends always go to the end of the document, never to
// the user's caret, and are gathered and written in the next pass of the event loop, so that a
// stream of small chunks costs time in proportion to the new text only; a pass writes for a
// bounded time and leaves the rest to the next one. A line that grows without end is stored in
// pieces of a bounded length that show as one wrapped line, so that hours of data without a
// line end still append as fast as the first minute.
class ReceiveBox : public QObject {
    Q_OBJECT
public:
    explicit ReceiveBox(QPlainTextEdit* box);

    // Received bytes as text: UTF-8 decoded across chunk boundaries (a character split between
    // two chunks shows whole), bytes that are not UTF-8 as the replacement character, and a
    // zero byte as the replacement character too, so that it hides nothing after it. CR LF, a
    // lone CR and a lone LF each end a line, also when CR and LF arrive in different chunks.
    QString decode(const char* data, int len);

    // Appends text to the last line; "\n" starts a new line.
    void append(const QString& text);
    // Starts a new line unless the box is empty or already ends with one.
    void startLine();
    bool isEmpty() const;
    bool endsWithLineEnd() const;
    // What the box shows, lines separated by "\n".
    QString text();
    // Forgets what is shown and any half-received character.
    void clear();
    // Writes everything gathered into the box now.
    void flush();

    // The box as the pane's receive state shows it: a note, read-only on light grey, while the
    // data goes to a file; empty, editable and white when it shows data again; dark grey with a
    // "no" cursor while paused.
    void showRedirected(const QString& note);
    void showLive();
    void setPaused(bool paused);

private:
    void queueFlush();
    void flushQueued();
    // Writes gathered text for up to `budgetMs` (negative: all of it).
    void write(int budgetMs);
    // Writes `text` from `pos` at `end` until it is written or out of time; returns how far.
    static qsizetype writeChunk(QTextCursor& end, const QString& text, qsizetype pos,
                                qsizetype& lineLength, const std::function<bool()>& outOfTime);

    QPlainTextEdit* m_box;
    // Gathered appends, oldest first; the first is written up to m_pendingPos already.
    std::deque<QString> m_pending;
    qsizetype m_pendingPos = 0;
    bool m_flushQueued = false;
    QStringDecoder m_decoder{QStringDecoder::Utf8};
    bool m_afterCR = false; // the last decoded character was a CR
};

#pragma once

#include <QObject>
#include <QString>
#include <QStringDecoder>

class QPlainTextEdit;

// A receive box fed with incoming data. Appends always go to the end of the document, never to
// the user's caret, and are gathered and written once per pass of the event loop, so that a
// stream of small chunks costs time in proportion to the new text only.
class ReceiveBox : public QObject {
    Q_OBJECT
public:
    explicit ReceiveBox(QPlainTextEdit* box);

    // Received bytes as text: UTF-8 decoded across chunk boundaries (a character split between
    // two chunks shows whole), bytes that are not UTF-8 as the replacement character, and a
    // zero byte as the replacement character too, so that it hides nothing after it.
    QString decode(const char* data, int len);

    // Appends text to the last line.
    void append(const QString& text);
    // Starts a new line unless the box is empty or already ends with one.
    void startLine();
    bool isEmpty();
    bool endsWithLineEnd();
    // Forgets what is shown and any half-received character.
    void clear();
    // Writes what was gathered into the box now.
    void flush();

private:
    QPlainTextEdit* m_box;
    QString m_pending;
    bool m_flushQueued = false;
    QStringDecoder m_decoder{QStringDecoder::Utf8};
};

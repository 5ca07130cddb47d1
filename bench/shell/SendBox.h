#pragma once

#include <QObject>

class QCheckBox;
class QPlainTextEdit;

// One pane's send box in its two views: plain text, or the hexadecimal view of that text while
// "send as hex" is checked. The plain form is kept in the pane's hidden text box meanwhile.
class SendBox : public QObject {
    Q_OBJECT
public:
    SendBox(QPlainTextEdit* memo, QPlainTextEdit* hidden, QCheckBox* sendAsHex);

    // The check box changed: switch the box to the other view.
    void sendAsHexClicked();
    // The box's text changed: tidy typed hex input and refresh the hidden plain text.
    void memoChanged();
    // The key filter of the box: true lets the typed character through.
    bool acceptKey(char16_t key) const;

    // While a file stands in for the box it shows a note, read-only on light grey, and the
    // view switches leave the note alone. Ending a note empties the box, editable and white.
    void showNote(const QString& note);
    void endNote();

private:
    void replaceText(const QString& text, int caret);

    QPlainTextEdit* m_memo;
    QPlainTextEdit* m_hidden;
    QCheckBox* m_sendAsHex;
    bool m_formatting = false;
    bool m_note = false;
};

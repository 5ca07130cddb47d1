#pragma once

#include <QObject>

#include <functional>

class QKeyEvent;

// Filters the characters typed into a box, as a key-press handler that may discard the key.
// Keys that type no character (arrows, Delete, function keys) always pass.
class KeyCharFilter : public QObject {
    Q_OBJECT
public:
    // Returns true to let the character through. Control characters arrive as their codes:
    // Ctrl+A is 1, Ctrl+C 3, Backspace 8, Ctrl+Enter 10, Enter 13, Ctrl+V 22.
    using Accept = std::function<bool(char16_t)>;

    KeyCharFilter(QObject* watched, Accept accept);

    // The character a key press types, 0 when it types none.
    static char16_t keyChar(const QKeyEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Accept m_accept;
};

// The number boxes' rule: digits and the codes 0, 1, 3, 8 and 22 pass, every other character
// is discarded (including non-ASCII ones, which no number holds).
bool acceptNumberBoxChar(char16_t c);

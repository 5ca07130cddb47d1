#include "bench/ui/KeyCharFilter.h"

#include <QKeyEvent>

KeyCharFilter::KeyCharFilter(QObject* watched, Accept accept)
    : QObject(watched), m_accept(std::move(accept)) {
    watched->installEventFilter(this);
}

char16_t KeyCharFilter::keyChar(const QKeyEvent& event) {
    const bool ctrl = event.modifiers() & Qt::ControlModifier;
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return ctrl ? 10 : 13;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
        return 0; // focus moves and dialogs close; these never reach a box as characters
    default:
        break;
    }
    if (ctrl && event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z)
        return static_cast<char16_t>(event.key() - Qt::Key_A + 1);
    const QString text = event.text();
    if (text.isEmpty() || ctrl)
        return 0;
    return text.at(0).unicode();
}

bool KeyCharFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const char16_t c = keyChar(*static_cast<QKeyEvent*>(event));
        if (c != 0 && !m_accept(c))
            return true;
    }
    return QObject::eventFilter(watched, event);
}

bool acceptNumberBoxChar(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return true;
    return c == 0 || c == 1 || c == 3 || c == 8 || c == 22;
}

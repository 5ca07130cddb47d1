#include "bench/ui/BevelButton.h"

#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

BevelButton::BevelButton(const QString& caption, QWidget* parent)
    : QFrame(parent), m_caption(new QLabel(caption, this)) {
    m_caption->setAlignment(Qt::AlignCenter);
    m_caption->setStyleSheet(QStringLiteral("color: green; font-weight: bold;"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(m_caption);
    setCursor(Qt::PointingHandCursor);
    showRaised();
}

QString BevelButton::text() const { return m_caption->text(); }

void BevelButton::setText(const QString& caption) { m_caption->setText(caption); }

void BevelButton::showPressed() {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
}

void BevelButton::showRaised() {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
}

void BevelButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        Q_EMIT mouseDown();
    QFrame::mousePressEvent(event);
}

void BevelButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        Q_EMIT mouseUp();
        if (rect().contains(event->position().toPoint()))
            Q_EMIT clicked();
    }
    QFrame::mouseReleaseEvent(event);
}

#pragma once

#include <QFrame>

class QLabel;

// A raised panel used as a button: it looks pressed (lowered, no inner bevel) while the mouse
// is down on it and raised again when the mouse is released.
class BevelButton : public QFrame {
    Q_OBJECT
public:
    explicit BevelButton(const QString& caption, QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& caption);

    void showPressed();
    void showRaised();
    bool looksPressed() const { return frameShadow() == QFrame::Sunken; }

Q_SIGNALS:
    void mouseDown();
    void mouseUp();
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QLabel* m_caption;
};

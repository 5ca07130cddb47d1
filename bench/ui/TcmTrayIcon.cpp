#include "bench/ui/TcmTrayIcon.h"

#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>

TcmTrayIcon::TcmTrayIcon(QWidget* window, QMenu* popupMenu) : QObject(window), m_window(window) {
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    m_icon = new QSystemTrayIcon(QApplication::windowIcon(), this);
    m_icon->setContextMenu(popupMenu);
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::DoubleClick && RestoreOnDBCLick)
            restoreWindow();
    });
}

void TcmTrayIcon::setToolTip(const QString& tip) {
    m_toolTip = tip;
    if (m_icon)
        m_icon->setToolTip(tip);
}

void TcmTrayIcon::setVisible(bool visible) {
    if (m_icon)
        m_icon->setVisible(visible);
}

bool TcmTrayIcon::isShown() const { return m_icon && m_icon->isVisible(); }

void TcmTrayIcon::restoreWindow() {
    if (m_window->isMinimized())
        m_window->showNormal();
    m_window->raise();
    m_window->activateWindow();
}

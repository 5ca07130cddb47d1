#pragma once

#include <QObject>

class QMenu;
class QSystemTrayIcon;
class QWidget;

// The program's icon in the notification area. Where the desktop has no notification area the
// icon simply counts as not shown.
class TcmTrayIcon : public QObject {
    Q_OBJECT
public:
    TcmTrayIcon(QWidget* window, QMenu* popupMenu);

    void setToolTip(const QString& tip);
    QString toolTip() const { return m_toolTip; }
    void setVisible(bool visible);
    bool isShown() const;

    // A left double-click brings the window back (restored when minimised) and to the front.
    bool RestoreOnDBCLick = true;
    void restoreWindow();

private:
    QWidget* m_window;
    QSystemTrayIcon* m_icon = nullptr; // null where there is no notification area
    QString m_toolTip;
};

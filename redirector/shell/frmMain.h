#pragma once

// The redirector's main window: a frame whose sub-windows are the sessions, in the order they
// were opened. GUI thread only.

#include <QList>
#include <QMainWindow>

class Prompts;
class QMdiArea;
class frmDocument;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // Starts with one new session.
    explicit frmMain(Prompts& prompts, QWidget* parent = nullptr);

    QMdiArea* mdiArea() const { return m_area; }

    // A new session window, titled "New - Serial to TCP/IP", shown as the last sub-window.
    // Closing its sub-window deletes it, which releases whatever the session holds.
    frmDocument* NewSession();
    // The open sessions, oldest first.
    QList<frmDocument*> sessions() const;

private:
    Prompts& m_prompts;
    QMdiArea* m_area = nullptr;
};

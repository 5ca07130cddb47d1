#include "redirector/shell/frmMain.h"

#include "redirector/session/frmDocument.h"
#include "redirector/tools/StringTable.h"

#include <QMdiArea>
#include <QMdiSubWindow>

frmMain::frmMain(Prompts& prompts, QWidget* parent) : QMainWindow(parent), m_prompts(prompts) {
    setWindowTitle(QStringLiteral("Norvex"));
    m_area = new QMdiArea(this);
    setCentralWidget(m_area);
    NewSession();
}

frmDocument* frmMain::NewSession() {
    auto* session = new frmDocument(m_prompts);
    session->setWindowTitle(frmDocument::captionFor(LoadResString(5119)));
    QMdiSubWindow* frame = m_area->addSubWindow(session);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->show();
    return session;
}

QList<frmDocument*> frmMain::sessions() const {
    QList<frmDocument*> open;
    for (QMdiSubWindow* frame : m_area->subWindowList(QMdiArea::CreationOrder))
        if (auto* session = qobject_cast<frmDocument*>(frame->widget())) open << session;
    return open;
}

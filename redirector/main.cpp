#include "platform/QtPrompts.h"
#include "redirector/shell/frmMain.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("norvex"));
    QtPrompts prompts;
    frmMain window(prompts);
    window.show();
    return app.exec();
}

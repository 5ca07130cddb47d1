#include "bench/shell/Unitnet.h"
#include "platform/QtPrompts.h"
#include "platform/ProgramFolder.h"
#include "platform/QtShell.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// The user guide: installed beside the program, else the one in the source tree.
QString guidePath() {
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath("docs/tavrin.md");
    return QFileInfo::exists(beside) ? beside : QStringLiteral(BENCH_GUIDE_PATH);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tavrin"));
    QtPrompts prompts;
    QtShell shell;
    const QString settings = QDir(ProgramFolder::path(QStringLiteral("tavrin")))
                                 .filePath(QStringLiteral("tavrin.cfg"));
    TFormNet window({prompts, shell, guidePath(), settings});
    window.show();
    return app.exec();
}

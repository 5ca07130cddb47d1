#include "bench/shell/Unitnet.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    TFormNet window;
    window.show();
    return app.exec();
}

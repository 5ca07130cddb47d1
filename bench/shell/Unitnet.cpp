#include "bench/shell/Unitnet.h"

TFormNet::TFormNet(QWidget* parent) : QMainWindow(parent) {}

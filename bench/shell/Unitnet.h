#pragma once

#include <QMainWindow>

class TFormNet : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormNet(QWidget* parent = nullptr);
};

#pragma once

#include <QMainWindow>

// The program's one main window.
class TfTMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfTMain(QWidget *parent = nullptr);
};

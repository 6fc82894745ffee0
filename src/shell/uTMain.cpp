#include "shell/uTMain.h"

TfTMain::TfTMain(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Sensors Setup Utility"));
}

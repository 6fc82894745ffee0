#include "shell/uTMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    TfTMain window;
    window.show();
    return app.exec();
}

#include "shell/uAppFolders.h"
#include "shell/uErrors.h"
#include "shell/uLang.h"
#include "shell/uMessageBoxUi.h"
#include "shell/uMessages.h"
#include "shell/uTMain.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    TMessageBoxUi messageBoxes;
    SetMessagePresenter(&messageBoxes);
    // The language chosen in the Language menu speaks from the start.
    QTranslator translator;
    if (TLang::LoadChosenTranslation(translator, QCoreApplication::applicationFilePath()))
        QCoreApplication::installTranslator(&translator);
    try {
        SetAppFolders(QCoreApplication::applicationDirPath());
    } catch (const Exception &e) {
        ShowMessageOK(e.Message(), TMsgDlgType::mtError);
        return 1;
    }
    // The program's title, also the caption of boxes without a type of their own.
    QCoreApplication::setApplicationName(QCoreApplication::translate("main", "Sensors Setup Utility"));
    int result = 0;
    {
        TfTMain window(QCoreApplication::arguments());
        window.show();
        // Without a window manager nobody else activates the window, and its
        // first activation opens the communication settings.
        window.activateWindow();
        result = QApplication::exec();
    }
    SetMessagePresenter(nullptr);
    return result;
}

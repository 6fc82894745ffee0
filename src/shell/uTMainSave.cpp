// The main window's Save Changes.

#include "shell/uTMain.h"

#include "serialconfig/uWriteSettings.h"

void TfTMain::WriteToSensor()
{
    // A save started by a page may find the sensor disconnected meanwhile.
    if (!Session.Connected())
        return;
    IConnectionUi &windowUi = *this;
    TSensorWriter(Session, *connection_, windowUi).WriteToSensor(SerialConfigPages());
}

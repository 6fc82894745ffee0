// The main window's Save Changes.

#include "shell/uTMain.h"

void TfTMain::WriteToSensor()
{
    // Placeholder until Save Changes is written here.
}

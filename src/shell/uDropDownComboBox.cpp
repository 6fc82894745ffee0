#include "shell/uDropDownComboBox.h"

void TDropDownComboBox::showPopup()
{
    Q_EMIT DropDown();
    QComboBox::showPopup();
}

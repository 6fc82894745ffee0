#pragma once

#include <QComboBox>

// A drop-down list that announces the opening of its list before the list
// shows, so its items can be refreshed first (the COM port list probes the
// ports each time it is opened).
class TDropDownComboBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;

    void showPopup() override;

Q_SIGNALS:
    void DropDown();
};

#pragma once

#include "shell/uMessages.h"

class QMessageBox;
class QWidget;

// Shows the program's message boxes as real modal boxes: the icon of the
// type, the requested buttons, the default button focused, no close box,
// centred over the active window; Help runs the request's help and leaves
// the box open. The jumper picture is the window of uJumperPicture.
class TMessageBoxUi final : public IMessagePresenter {
public:
    int Show(const TMessageRequest &request) override;
    void ShowJumperPicture(int picture) override;
};

// Builds the box of a request without showing it; the results of its buttons
// are stored in each button's "modalResult" property. For Show and for tests.
QMessageBox *CreateMessageBox(const TMessageRequest &request, QWidget *parent);

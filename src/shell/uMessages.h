#pragma once

#include <QList>
#include <QString>

#include <functional>

// Every modal message of the program passes through this seam. The window
// installs a presenter that shows real boxes, the command-line tool one that
// prints, and tests one that records each request and answers from a queue.

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// Buttons of a message box, combined as flags.
enum TMsgDlgBtn : unsigned {
    mbYes = 1u << 0,
    mbNo = 1u << 1,
    mbOK = 1u << 2,
    mbCancel = 1u << 3,
    mbAbort = 1u << 4,
    mbRetry = 1u << 5,
    mbIgnore = 1u << 6,
    mbAll = 1u << 7,
    mbNoToAll = 1u << 8,
    mbYesToAll = 1u << 9,
    mbHelp = 1u << 10,
};
using TMsgDlgButtons = unsigned;

// Results of a modal box or dialog.
enum TModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
    mrHelp = 11,
};

// The result a button gives.
int ButtonResult(TMsgDlgBtn button);
// The caption of a box of the given type ("Warning", "Error", ...).
QString MessageTitle(TMsgDlgType type);
// The buttons of a set, in the order a box shows them.
QList<TMsgDlgBtn> ButtonsInOrder(TMsgDlgButtons buttons);

struct TMessageRequest {
    QString title;
    QString text;
    TMsgDlgType type = TMsgDlgType::mtInformation;
    TMsgDlgButtons buttons = mbOK;
    int defaultResult = mrOk;
    // Run by the Help button; empty when the box has no help of its own.
    std::function<void()> help;
};

class IMessagePresenter {
public:
    virtual ~IMessagePresenter() = default;
    // Shows the box modally and returns the result of the pressed button.
    virtual int Show(const TMessageRequest &request) = 0;
    // Shows the write-protection jumper picture (1 or 2) modally.
    virtual void ShowJumperPicture(int picture) = 0;
};

// The presenter in use; without one every box returns its default result.
IMessagePresenter *MessagePresenter();
// Installs a presenter (not owned); nullptr removes it.
void SetMessagePresenter(IMessagePresenter *presenter);

int ShowMessageBox(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons, int defaultResult);
int ShowMessageOK(const QString &text, TMsgDlgType type);
// A box with a caption of its own in place of the type's ("Warning", ...).
int ShowMessageBoxTitled(const QString &title, const QString &text, TMsgDlgType type, TMsgDlgButtons buttons,
                         int defaultResult);

// How the write-protection message speaks about the connected device.
struct TWriteProtectDevice {
    // A family-1 device of the keypad generation: it also accepts writes while
    // its 'Set' button is held, and its box has no Help.
    bool keypadWording = false;
    // Which jumper picture the Help button shows: 1 or 2.
    int jumperPicture = 1;
};

int ShowWriteProtected(const QString &text, TMsgDlgType type, int defaultResult, TMsgDlgButtons buttons,
                       const TWriteProtectDevice &device);
// The short form: OK and Help, OK the default.
int ShowWriteProtected(const QString &text, TMsgDlgType type, const TWriteProtectDevice &device);

// Runs a command of the user to its end; a failure is shown in an error box,
// never thrown into the event loop.
void RunGuarded(const std::function<void()> &command);

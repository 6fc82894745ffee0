#include "shell/uMessages.h"

#include "shell/uErrors.h"

#include <QCoreApplication>

namespace {

IMessagePresenter *currentPresenter = nullptr;

constexpr TMsgDlgBtn ButtonOrder[] = {mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry,
                                      mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp};

QString tr(const char *text)
{
    return QCoreApplication::translate("Messages", text);
}

} // namespace

int ButtonResult(TMsgDlgBtn button)
{
    switch (button) {
    case mbYes: return mrYes;
    case mbNo: return mrNo;
    case mbOK: return mrOk;
    case mbCancel: return mrCancel;
    case mbAbort: return mrAbort;
    case mbRetry: return mrRetry;
    case mbIgnore: return mrIgnore;
    case mbAll: return mrAll;
    case mbNoToAll: return mrNoToAll;
    case mbYesToAll: return mrYesToAll;
    case mbHelp: return mrHelp;
    }
    return mrNone;
}

QString MessageTitle(TMsgDlgType type)
{
    switch (type) {
    case TMsgDlgType::mtWarning: return tr("Warning");
    case TMsgDlgType::mtError: return tr("Error");
    case TMsgDlgType::mtInformation: return tr("Information");
    case TMsgDlgType::mtConfirmation: return tr("Confirm");
    case TMsgDlgType::mtCustom: break;
    }
    return QCoreApplication::applicationName();
}

QList<TMsgDlgBtn> ButtonsInOrder(TMsgDlgButtons buttons)
{
    QList<TMsgDlgBtn> list;
    for (TMsgDlgBtn b : ButtonOrder)
        if ((buttons & b) != 0)
            list.append(b);
    return list;
}

IMessagePresenter *MessagePresenter()
{
    return currentPresenter;
}

void SetMessagePresenter(IMessagePresenter *presenter)
{
    currentPresenter = presenter;
}

namespace {

int Present(TMessageRequest request)
{
    if (request.title.isEmpty())
        request.title = MessageTitle(request.type);
    if (currentPresenter == nullptr)
        return request.defaultResult;
    return currentPresenter->Show(request);
}

} // namespace

int ShowMessageBox(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons, int defaultResult)
{
    TMessageRequest request;
    request.text = text;
    request.type = type;
    request.buttons = buttons;
    request.defaultResult = defaultResult;
    return Present(request);
}

int ShowMessageOK(const QString &text, TMsgDlgType type)
{
    return ShowMessageBox(text, type, mbOK, mrOk);
}

int ShowMessageBoxTitled(const QString &title, const QString &text, TMsgDlgType type, TMsgDlgButtons buttons,
                         int defaultResult)
{
    TMessageRequest request;
    request.title = title;
    request.text = text;
    request.type = type;
    request.buttons = buttons;
    request.defaultResult = defaultResult;
    return Present(request);
}

int ShowWriteProtected(const QString &text, TMsgDlgType type, int defaultResult, TMsgDlgButtons buttons,
                       const TWriteProtectDevice &device)
{
    TMessageRequest request;
    request.type = type;
    request.defaultResult = defaultResult;
    if (device.keypadWording) {
        request.text = tr("Sensor is write-protected! Please close jumper or hold 'Set' button while writing!");
        request.buttons = buttons & ~static_cast<TMsgDlgButtons>(mbHelp);
    } else {
        request.text = text;
        request.buttons = buttons;
        const int picture = device.jumperPicture;
        request.help = [picture] {
            if (currentPresenter != nullptr)
                currentPresenter->ShowJumperPicture(picture);
        };
    }
    return Present(request);
}

int ShowWriteProtected(const QString &text, TMsgDlgType type, const TWriteProtectDevice &device)
{
    return ShowWriteProtected(text, type, mrOk, mbOK | mbHelp, device);
}

void RunGuarded(const std::function<void()> &command)
{
    try {
        command();
    } catch (const Exception &e) {
        ShowMessageOK(e.Message(), TMsgDlgType::mtError);
    } catch (const std::exception &e) {
        ShowMessageOK(QString::fromLocal8Bit(e.what()), TMsgDlgType::mtError);
    }
}

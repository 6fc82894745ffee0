#include "shell/uMessageBoxUi.h"

#include "shell/uJumperPicture.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <memory>

namespace {

constexpr const char *ResultProperty = "modalResult";

QMessageBox::Icon IconOf(TMsgDlgType type)
{
    switch (type) {
    case TMsgDlgType::mtWarning: return QMessageBox::Warning;
    case TMsgDlgType::mtError: return QMessageBox::Critical;
    case TMsgDlgType::mtInformation: return QMessageBox::Information;
    case TMsgDlgType::mtConfirmation: return QMessageBox::Question;
    case TMsgDlgType::mtCustom: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton StandardButtonOf(TMsgDlgBtn button)
{
    switch (button) {
    case mbYes: return QMessageBox::Yes;
    case mbNo: return QMessageBox::No;
    case mbOK: return QMessageBox::Ok;
    case mbCancel: return QMessageBox::Cancel;
    case mbAbort: return QMessageBox::Abort;
    case mbRetry: return QMessageBox::Retry;
    case mbIgnore: return QMessageBox::Ignore;
    case mbNoToAll: return QMessageBox::NoToAll;
    case mbYesToAll: return QMessageBox::YesToAll;
    case mbHelp: return QMessageBox::Help;
    case mbAll: break;
    }
    return QMessageBox::NoButton;
}

QAbstractButton *AddButton(QMessageBox &box, TMsgDlgBtn button)
{
    const QMessageBox::StandardButton standard = StandardButtonOf(button);
    if (standard != QMessageBox::NoButton)
        return box.addButton(standard);
    return box.addButton(QApplication::translate("TMessageBoxUi", "&All"), QMessageBox::AcceptRole);
}

// Help shows its help and keeps the box open, as the user expects to come
// back to the question.
void MakeHelpButton(QAbstractButton *button, const std::function<void()> &help)
{
    QObject::disconnect(button, &QAbstractButton::clicked, nullptr, nullptr);
    QObject::connect(button, &QAbstractButton::clicked, button, [help] {
        if (help)
            help();
    });
}

} // namespace

QMessageBox *CreateMessageBox(const TMessageRequest &request, QWidget *parent)
{
    auto *box = new QMessageBox(parent);
    box->setWindowTitle(request.title);
    box->setText(request.text);
    box->setIcon(IconOf(request.type));
    box->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    for (TMsgDlgBtn b : ButtonsInOrder(request.buttons)) {
        QAbstractButton *button = AddButton(*box, b);
        button->setProperty(ResultProperty, ButtonResult(b));
        if (b == mbHelp)
            MakeHelpButton(button, request.help);
        if (ButtonResult(b) == request.defaultResult) {
            if (auto *push = qobject_cast<QPushButton *>(button))
                box->setDefaultButton(push);
            button->setFocus();
        }
    }
    return box;
}

int TMessageBoxUi::Show(const TMessageRequest &request)
{
    std::unique_ptr<QMessageBox> box(CreateMessageBox(request, QApplication::activeWindow()));
    box->exec();
    QAbstractButton *clicked = box->clickedButton();
    if (clicked == nullptr)
        return mrCancel;
    return clicked->property(ResultProperty).toInt();
}

void TMessageBoxUi::ShowJumperPicture(int picture)
{
    ::ShowJumperPicture(picture);
}

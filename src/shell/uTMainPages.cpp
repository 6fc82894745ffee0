// The main window's side of the model-driven pages of a serial sensor: the
// Output and Configuration pages are laid out by their models, which the
// window keeps for one connection, and their forms are bound to them.

#include "shell/uTMain.h"

#include "serialconfig/uConfigPage.h"
#include "serialconfig/uOutputPage.h"
#include "serialconfig/uRegisterMap.h"
#include "serialconfig/uWriteSettings.h"
#include "ui_uTMain.h"

#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// A page keeps the natural height of its groups and scrolls when the window
// is too low for all of them.
template <typename Form>
Form *PlaceForm(QWidget *tab)
{
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *scroll = new QScrollArea(tab);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    auto *form = new Form;
    scroll->setWidget(form);
    // The page's own background shows through.
    scroll->viewport()->setAutoFillBackground(false);
    form->setAutoFillBackground(false);
    layout->addWidget(scroll);
    return form;
}

// A model's tab view decides whether its page is offered.
void ShowModelTab(QTabWidget *tabs, QWidget *tab, const TControlRegistry &controls)
{
    tabs->setTabVisible(tabs->indexOf(tab), controls.Control(tab->objectName()).Visible);
}

} // namespace

void TfTMain::CreateSerialPages()
{
    outputPage_ = PlaceForm<TfOutputPage>(ui->tabOutput);
    configPage_ = PlaceForm<TfConfigPage>(ui->tabConfig);
}

void TfTMain::FillSerialPages()
{
    ReleaseSerialPages();
    const TSerialPageContext context = SerialPageContextOf(Session);
    serialPages_ = std::make_unique<TSerialConfigPages>(context);
    const TPageResponse filled = serialPages_->Fill();
    IPageHost &host = *this;
    outputBinder_ = outputPage_->Bind(serialPages_->Output(), host);
    configBinder_ = configPage_->Bind(serialPages_->Config(), host);
    ShowModelTab(ui->pcConSensor, ui->tabOutput, serialPages_->Output().Controls());
    ShowModelTab(ui->pcConSensor, ui->tabConfig, serialPages_->Config().Controls());
    ApplyPageResponse(host, filled);
}

void TfTMain::ReleaseSerialPages()
{
    outputBinder_.reset();
    configBinder_.reset();
    serialPages_.reset();
}

void TfTMain::RunPageAction(const std::function<void()> &action)
{
    RunCommand(action);
}

void TfTMain::RefreshPages()
{
    for (TPageBinder *binder : {outputBinder_.get(), configBinder_.get()}) {
        if (binder != nullptr)
            binder->Refresh();
    }
}

void TfTMain::SetPageSaveEnabled(bool enabled)
{
    SetSaveEnabled(enabled);
}

void TfTMain::MovePageFocus(TFocusRequest target)
{
    QWidget *to = target == TFocusRequest::Connect ? ui->btnConnect : ui->btnForFocus;
    // The request comes while Qt is still moving the focus to the control
    // the user chose.
    QTimer::singleShot(0, to, [to] { to->setFocus(Qt::OtherFocusReason); });
}

void TfTMain::StartPageSave()
{
    // Save Changes disconnects and releases the pages: it starts once the
    // page action that asked for it has ended.
    QTimer::singleShot(0, this, [this] { RunCommand([this] { WriteToSensor(); }); });
}

#include "shell/uWebSetDlg.h"

#include "ui_uWebSetDlg.h"

#include <QDesktopServices>
#include <QStyle>
#include <QUrl>

namespace {

constexpr int IconSizePx = 32;

} // namespace

TfWebSetDlg::TfWebSetDlg(const TWebSetRequest &request, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TfWebSetDlg>()), url_(request.url),
      opener_([](const QUrl &url) { return QDesktopServices::openUrl(url); })
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    ui->lIcon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(IconSizePx, IconSizePx));
    // The name arrives with its trailing blank, so an empty name leaves
    // "The device can be ...".
    const QString text = request.webOnly
                             ? tr("The device %1contains new firmware version and it can be adjusted via web "
                                  "interface only.")
                             : tr("The device %1can be adjusted via web interface only.");
    ui->lMessage->setText(text.arg(request.deviceName));
    ui->lLink->setText(QStringLiteral("<a href=\"%1\">%2</a>").arg(url_.toHtmlEscaped(), url_.toHtmlEscaped()));
    ui->btnNetworkSettings->setVisible(request.networkSettings);
    ui->btnCalibrate->setVisible(request.calibrate);

    connect(ui->btnAdjustViaWeb, &QPushButton::clicked, this, &TfWebSetDlg::btnAdjustViaWebClick);
    connect(ui->btnNetworkSettings, &QPushButton::clicked, this, [this] { done(wsNetworkSettings); });
    connect(ui->btnCalibrate, &QPushButton::clicked, this, [this] { done(wsCalibrate); });
    connect(ui->btnClose, &QPushButton::clicked, this, [this] { done(wsClose); });
    connect(ui->lLink, &QLabel::linkActivated, this, &TfWebSetDlg::lLinkActivated);
}

TfWebSetDlg::~TfWebSetDlg() = default;

void TfWebSetDlg::SetUrlOpener(TUrlOpener opener)
{
    opener_ = std::move(opener);
}

int TfWebSetDlg::Execute(QWidget *parent, const TWebSetRequest &request)
{
    TfWebSetDlg dialog(request, parent);
    return dialog.exec();
}

// Escape and the title bar's close button mean "Close this window": the
// caller knows no result 0.
void TfWebSetDlg::reject()
{
    done(wsClose);
}

void TfWebSetDlg::btnAdjustViaWebClick()
{
    OpenLink();
    done(wsAdjustViaWeb);
}

// The link itself only opens the page; the user may still pick another way.
void TfWebSetDlg::lLinkActivated(const QString &)
{
    OpenLink();
}

void TfWebSetDlg::OpenLink()
{
    opener_(QUrl(url_));
}

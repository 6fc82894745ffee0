#include "shell/uTAbout.h"

#include "shell/uAppFolders.h"
#include "ui_uTAbout.h"

#include <QApplication>
#include <QBitmap>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int MarginPx = 8;
constexpr int TextLeftPx = 140;
constexpr int PanelWidthPx = 400;
constexpr int PanelHeightPx = 125;
constexpr int AppNamePt = 8;
constexpr int CompanyPt = 14;
constexpr int VersionPt = 10;
constexpr int LineGapPx = 6;

// The company's mark when no LOGO.BMP lies next to the program.
QPixmap BuiltInLogo()
{
    QPixmap logo(TfTAbout::LogoMaxSizePx);
    logo.fill(Qt::transparent);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF badge(4, 4, 88, 88);
    p.setPen(QPen(QColor(20, 60, 130), 2));
    p.setBrush(QColor(40, 100, 200));
    p.drawRoundedRect(badge, 14, 14);
    QPainterPath wave;
    wave.moveTo(14, 60);
    wave.cubicTo(30, 30, 44, 30, 48, 48);
    wave.cubicTo(52, 66, 66, 66, 82, 36);
    p.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(wave);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(16);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(4, 66, 88, 22), Qt::AlignCenter, QStringLiteral("ARVEL"));
    return logo;
}

// The picture's bottom-left colour is its background, as the logo files
// have always been drawn.
QPixmap TransparentLogo(const QImage &image)
{
    QPixmap logo = QPixmap::fromImage(image);
    const QColor background = image.pixelColor(0, image.height() - 1);
    logo.setMask(logo.createMaskFromColor(background, Qt::MaskInColor));
    return logo;
}

QFont FontOfSize(const QFont &base, int points, bool bold)
{
    QFont font = base;
    font.setPointSize(points);
    font.setBold(bold);
    return font;
}

} // namespace

TAboutPanel::TAboutPanel(QWidget *parent) : QWidget(parent)
{
    setFixedSize(PanelWidthPx, PanelHeightPx);
}

QSize TAboutPanel::sizeHint() const
{
    return {PanelWidthPx, PanelHeightPx};
}

void TAboutPanel::SetContent(const QStringList &appNameLines, const QString &company, const QString &version,
                             const QPixmap &logo)
{
    appNameLines_ = appNameLines;
    company_ = company;
    version_ = version;
    logo_ = logo;
    update();
}

void TAboutPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    p.setPen(Qt::white);
    p.drawRect(rect().adjusted(1, 1, -1, -1));
    p.setPen(Qt::gray);
    p.drawRect(rect().adjusted(0, 0, -2, -2));
    if (!logo_.isNull())
        p.drawPixmap(MarginPx, (height() - logo_.height()) / 2, logo_);
    int y = MarginPx;
    const int textWidth = width() - TextLeftPx - MarginPx;
    p.setPen(palette().color(QPalette::WindowText));
    const auto drawLine = [&](const QString &text, const QFont &font) {
        p.setFont(font);
        const QRect box = p.fontMetrics().boundingRect(QRect(TextLeftPx, y, textWidth, height()), Qt::TextWordWrap,
                                                       text);
        p.drawText(box, Qt::TextWordWrap, text);
        y = box.bottom() + LineGapPx;
    };
    for (const QString &line : appNameLines_)
        drawLine(line, FontOfSize(font(), AppNamePt, false));
    drawLine(company_, FontOfSize(font(), CompanyPt, true));
    drawLine(version_, FontOfSize(font(), VersionPt, false));
}

TfTAbout::TfTAbout(const QString &appNameLong, const QString &companyLabel, const QString &programFolder,
                   QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TfTAbout>())
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    if (appNameLong.isEmpty())
        appNameLines_ = {tr("Setup utility for sensors"),
                         tr("Temperature, humidity, pressure and CO2 transmitters, Ethernet sensors")};
    else
        appNameLines_ = {appNameLong};
    company_ = companyLabel.isEmpty() ? QStringLiteral("ARVEL") : companyLabel;
    version_ = tr("Version") + QLatin1Char(' ') + ProductVersion();
    LoadLogo(programFolder);
    ui->pAbout->SetContent(appNameLines_, company_, version_, logo_);
    connect(ui->btnOK, &QPushButton::clicked, this, &QDialog::accept);
}

TfTAbout::~TfTAbout() = default;

void TfTAbout::LoadLogo(const QString &programFolder)
{
    QImage image(QDir(programFolder).filePath(QStringLiteral("LOGO.BMP")));
    if (image.isNull()) {
        logo_ = BuiltInLogo();
        return;
    }
    const QSize size = image.size().boundedTo(LogoMaxSizePx);
    logo_ = TransparentLogo(image.copy(QRect(QPoint(0, 0), size)));
    logoFromFile_ = true;
}

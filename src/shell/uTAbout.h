#pragma once

#include <QDialog>
#include <QPixmap>
#include <QStringList>
#include <QWidget>

#include <memory>

namespace Ui {
class TfTAbout;
}

// The painted face of the About box: frames, logo, names and version.
class TAboutPanel : public QWidget {
    Q_OBJECT
public:
    explicit TAboutPanel(QWidget *parent = nullptr);

    void SetContent(const QStringList &appNameLines, const QString &company, const QString &version,
                    const QPixmap &logo);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QStringList appNameLines_;
    QString company_;
    QString version_;
    QPixmap logo_;
};

// "About Application ...": the long application name, the company label and
// the product version beside the logo, with an OK button.
class TfTAbout : public QDialog {
    Q_OBJECT
public:
    // The logo comes from "LOGO.BMP" in programFolder when it can be read.
    TfTAbout(const QString &appNameLong, const QString &companyLabel, const QString &programFolder,
             QWidget *parent = nullptr);
    ~TfTAbout() override;

    // What the box shows.
    const QStringList &AppNameLines() const { return appNameLines_; }
    const QString &CompanyText() const { return company_; }
    const QString &VersionText() const { return version_; }
    const QPixmap &Logo() const { return logo_; }
    bool LogoFromFile() const { return logoFromFile_; }

    // The largest logo the box shows; a bigger picture is cut.
    static constexpr QSize LogoMaxSizePx{120, 97};

private:
    void LoadLogo(const QString &programFolder);

    std::unique_ptr<Ui::TfTAbout> ui;
    QStringList appNameLines_;
    QString company_;
    QString version_;
    QPixmap logo_;
    bool logoFromFile_ = false;
};

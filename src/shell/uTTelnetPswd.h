#pragma once

#include <QDialog>
#include <QString>

#include <memory>
#include <optional>

namespace Ui {
class TfTTelnetPswd;
}

// Asks for the device's setup password ("Password", at most four
// characters) or its administrator password. The text is masked.
class TfTTelnetPswd : public QDialog {
    Q_OBJECT
public:
    // maxLength 0: no limit.
    TfTTelnetPswd(const QString &title, int maxLength, QWidget *parent = nullptr);
    ~TfTTelnetPswd() override;

    QString Password() const;

    // The typed password on OK, no value on Cancel.
    static std::optional<QString> Execute(QWidget *parent, const QString &title, int maxLength);

private:
    std::unique_ptr<Ui::TfTTelnetPswd> ui;
};

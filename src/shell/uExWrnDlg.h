#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TfExWrnDlg;
}

// The "Warning" shown before a service-cable sensor is used: the cable is
// not safe in an explosive atmosphere. The user may turn the warning off.
class TfExWrnDlg : public QDialog {
    Q_OBJECT
public:
    explicit TfExWrnDlg(QWidget *parent = nullptr);
    ~TfExWrnDlg() override;

    bool DontShowAgain() const;

    // Shows the warning; true when "Do not show this message again" was
    // checked, however the window was closed.
    static bool Execute(QWidget *parent);

private:
    std::unique_ptr<Ui::TfExWrnDlg> ui;
};

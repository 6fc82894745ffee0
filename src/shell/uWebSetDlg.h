#pragma once

#include "shell/uConnection.h"

#include <QDialog>

#include <functional>
#include <memory>

class QUrl;

namespace Ui {
class TfWebSetDlg;
}

// "Information" about a device that is set up through its own web pages:
// the address of its web interface with a button that opens it, and, where
// the device offers them, the network settings or the calibration instead.
// The result is one of TWebSetResult; closing the window in any other way
// counts as "Close this window".
class TfWebSetDlg : public QDialog {
    Q_OBJECT
public:
    // Opens a link in the browser; true when that succeeded.
    using TUrlOpener = std::function<bool(const QUrl &)>;

    explicit TfWebSetDlg(const TWebSetRequest &request, QWidget *parent = nullptr);
    ~TfWebSetDlg() override;

    // The default opener is the desktop's browser.
    void SetUrlOpener(TUrlOpener opener);

    // Shows the dialog for request and returns the TWebSetResult chosen.
    static int Execute(QWidget *parent, const TWebSetRequest &request);

    void reject() override;

private:
    void btnAdjustViaWebClick();
    void lLinkActivated(const QString &link);
    void OpenLink();

    std::unique_ptr<Ui::TfWebSetDlg> ui;
    QString url_;
    TUrlOpener opener_;
};

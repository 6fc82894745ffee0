#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class TfOutputPage;
}
class IPageHost;
class TOutputPageModel;
class TPageBinder;

// The Output page: what the two analog outputs represent. Its controls carry
// the Output page model's names; the model decides what they show.
class TfOutputPage : public QWidget {
    Q_OBJECT
public:
    explicit TfOutputPage(QWidget *parent = nullptr);
    ~TfOutputPage() override;

    // Shows the model on the page and reports the user's actions to it until
    // the binder is destroyed.
    std::unique_ptr<TPageBinder> Bind(TOutputPageModel &model, IPageHost &host);

private:
    std::unique_ptr<Ui::TfOutputPage> ui;
};

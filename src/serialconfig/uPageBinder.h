#pragma once

#include "serialconfig/uPageActions.h"
#include "serialconfig/uPageViews.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QWidget;
class TPBNumEdit;

// What a bound page needs from the window it sits in.
class IPageHost {
public:
    virtual ~IPageHost() = default;
    // Runs a user action of a page to its end the way the window runs its
    // commands: never inside another command (it may wait until that one has
    // ended), its failure shown, nothing thrown.
    virtual void RunPageAction(const std::function<void()> &action) = 0;
    // Mirrors every bound page again: an action on one page may re-lay out
    // another (a unit of the Configuration page re-lays out the channels).
    virtual void RefreshPages() = 0;
    // btnSave and mSave.
    virtual void SetPageSaveEnabled(bool enabled) = 0;
    // Moves the focus to btnConnect or btnForFocus once the focus change
    // under way has ended.
    virtual void MovePageFocus(TFocusRequest target) = 0;
    // Starts Save Changes once the action under way has ended.
    virtual void StartPageSave() = 0;
};

// Carries out what a page model asked for after an action or a fill.
void ApplyPageResponse(IPageHost &host, const TPageResponse &response);

// Binds a page form to its model by objectName. Every control the model
// names is mirrored into the widget of that name, silently, so that only the
// user's own edits reach the model; the user's edits go to the model's
// handlers and their responses to the host. A label whose buddy is a bound
// control is that control's caption and follows its visibility and enabled
// state. The form, the host and the model must outlive the binder.
class TPageBinder : public QObject {
    Q_OBJECT
public:
    TPageBinder(QWidget *form, std::unique_ptr<IPageActions> actions, IPageHost &host,
                QObject *parent = nullptr);
    ~TPageBinder() override;

    // Copies every view into its widget.
    void Refresh();
    // The model's controls the form has no widget of the right kind for,
    // such as the page's tab, which the window shows itself.
    QStringList Unbound() const { return unbound_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct TBinding {
        QString Name;
        QWidget *Widget = nullptr;
        TControlRegistry::TEntry View;
        QList<QLabel *> Captions;
    };

    void Bind(const QString &name, QWidget *widget, const TControlRegistry::TEntry &view);
    void ConnectUserActions(const QString &name, QWidget *widget, const TControlRegistry::TEntry &view);
    void CollectCaptions(const QWidget *form);
    void NumEditFocusIn(const QString &name);
    void NumEditFocusOut(const QString &name, TPBNumEdit *edit);
    void Act(const std::function<TPageResponse()> &action);

    std::unique_ptr<IPageActions> actions_;
    IPageHost &host_;
    std::vector<TBinding> bindings_;
    QHash<const QObject *, QString> numEdits_;
    QStringList unbound_;
};

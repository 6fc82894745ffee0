#pragma once

#include "serialconfig/uConfigPageModel.h"
#include "serialconfig/uOutputPageModel.h"
#include "serialconfig/uPageViews.h"

#include <QString>

// The user's actions on a page's controls, by objectName, as the widget
// binder reports them; each page routes them to its model's handlers. A name
// the page has no handler for raises ERangeError, like the models do.
class IPageActions {
public:
    virtual ~IPageActions() = default;

    virtual const TControlRegistry &Controls() const = 0;

    virtual TPageResponse ComboSelected(const QString &name, int index) = 0;
    virtual TPageResponse CheckBoxClicked(const QString &name, bool checked) = 0;
    virtual TPageResponse TextEdited(const QString &name, const QString &text) = 0;
    // The Save rule of numeric edits: entered, changed by the user, left for
    // the control that receives the focus.
    virtual TPageResponse NumEditEnter(const QString &name) = 0;
    virtual TPageResponse NumEditChange(const QString &name, double value) = 0;
    virtual TPageResponse NumEditExit(const QString &name, TFocusTarget focus) = 0;
};

// The Output page: the channels' quantity combos, the limit edits (kept in
// step with their twins) and the upper-voltage spins.
class TOutputPageActions final : public IPageActions {
public:
    explicit TOutputPageActions(TOutputPageModel &model) : model_(model) {}

    const TControlRegistry &Controls() const override { return model_.Controls(); }
    TPageResponse ComboSelected(const QString &name, int index) override;
    TPageResponse CheckBoxClicked(const QString &name, bool checked) override;
    TPageResponse TextEdited(const QString &name, const QString &text) override;
    TPageResponse NumEditEnter(const QString &name) override;
    TPageResponse NumEditChange(const QString &name, double value) override;
    TPageResponse NumEditExit(const QString &name, TFocusTarget focus) override;

private:
    TOutputPageModel &model_;
};

// The Configuration page.
class TConfigPageActions final : public IPageActions {
public:
    explicit TConfigPageActions(TConfigPageModel &model) : model_(model) {}

    const TControlRegistry &Controls() const override { return model_.Controls(); }
    TPageResponse ComboSelected(const QString &name, int index) override;
    TPageResponse CheckBoxClicked(const QString &name, bool checked) override;
    TPageResponse TextEdited(const QString &name, const QString &text) override;
    TPageResponse NumEditEnter(const QString &name) override;
    TPageResponse NumEditChange(const QString &name, double value) override;
    TPageResponse NumEditExit(const QString &name, TFocusTarget focus) override;

private:
    TConfigPageModel &model_;
};

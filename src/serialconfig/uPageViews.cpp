#include "serialconfig/uPageViews.h"

#include "shell/uErrors.h"

#include <cmath>

int TComboBoxView::IndexOfText(const QString &text) const
{
    for (int i = 0; i < Items.size(); ++i) {
        if (Items[i].Text == text)
            return i;
    }
    return -1;
}

int TComboBoxView::IndexOfObject(int object) const
{
    for (int i = 0; i < Items.size(); ++i) {
        if (Items[i].Object == object)
            return i;
    }
    return -1;
}

void TComboBoxView::SelectTextOrFirst(const QString &text)
{
    const int index = IndexOfText(text);
    ItemIndex = index >= 0 ? index : (Items.isEmpty() ? -1 : 0);
}

void TComboBoxView::SetItemsKeepingText(const QList<TComboItem> &items)
{
    const QString previous = SelectedText();
    Items = items;
    SelectTextOrFirst(previous);
}

bool TComboBoxView::Select(int index)
{
    if (index < 0 || index >= Items.size())
        return false;
    ItemIndex = index;
    return true;
}

double RoundToDecimals(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

void TPageResponse::Merge(const TPageResponse &later)
{
    if (later.SaveEnabled)
        SaveEnabled = later.SaveEnabled;
    if (later.Focus != TFocusRequest::None)
        Focus = later.Focus;
    StartSave = StartSave || later.StartSave;
}

TPageResponse UserChange(bool setupAllowed)
{
    TPageResponse response;
    response.SaveEnabled = setupAllowed;
    return response;
}

TFocusTarget FocusTargetOf(const QString &objectName)
{
    if (objectName == QLatin1String("btnConnect"))
        return TFocusTarget::Connect;
    if (objectName == QLatin1String("btnFactDefs"))
        return TFocusTarget::FactDefs;
    if (objectName == QLatin1String("btnForFocus"))
        return TFocusTarget::ForFocus;
    if (objectName == QLatin1String("btnSave"))
        return TFocusTarget::Save;
    return TFocusTarget::Other;
}

void EnterEdit(TNumEditView &edit)
{
    if (edit.Tag == 0)
        edit.Tag = 1;
}

bool ChangeEdit(TNumEditView &edit, double value)
{
    // A change without a preceding enter (a wheel turn on an unfocused spin)
    // is still the user's.
    EnterEdit(edit);
    const bool first = edit.Tag == 1;
    edit.Tag = 2;
    edit.Value = value;
    return first;
}

void LeaveEdit(TNumEditView &edit)
{
    edit.Tag = 0;
}

void TControlRegistry::Add(const QString &name, TEntry view)
{
    if (!views_.contains(name))
        order_.append(name);
    views_.insert(name, view);
}

TControlRegistry::TEntry TControlRegistry::Find(const QString &name) const
{
    const auto it = views_.constFind(name);
    if (it == views_.constEnd())
        throw ERangeError(QStringLiteral("unknown control %1").arg(name));
    return *it;
}

const TControlView &TControlRegistry::Control(const QString &name) const
{
    return *std::visit([](auto *view) -> const TControlView * { return view; }, Find(name));
}

void TControlRegistry::RaiseWrongKind(const QString &name)
{
    throw ERangeError(QStringLiteral("control %1 is of another kind").arg(name));
}

#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

// What a configuration page shows, control by control, without a window.
// The widget layer copies each view into the control of the same objectName
// and reports the user's actions back to the page model; the model alone
// decides what is visible, enabled, listed and selected.

struct TControlView {
    bool Visible = false;
    bool Enabled = true;
};

// Group boxes, frames and tabs: only their visibility is the model's.
using TContainerView = TControlView;

struct TLabelView : TControlView {
    QString Caption;
};

struct TCheckBoxView : TControlView {
    QString Caption;
    bool Checked = false;
};

struct TTextEditView : TControlView {
    QString Text;
    int MaxLength = 0;  // 0: no limit
};

// A combo item carries a value (protocol type, quantity type, unit code...).
struct TComboItem {
    QString Text;
    int Object = 0;
};

struct TComboBoxView : TControlView {
    QList<TComboItem> Items;
    int ItemIndex = -1;
    // The value in effect after the last layout pass; the next pass compares
    // the selection with it to know what the user changed.
    int Tag = 0;

    bool HasSelection() const { return ItemIndex >= 0 && ItemIndex < Items.size(); }
    int SelectedObject(int none) const { return HasSelection() ? Items[ItemIndex].Object : none; }
    QString SelectedText() const { return HasSelection() ? Items[ItemIndex].Text : QString(); }
    int IndexOfText(const QString &text) const;
    int IndexOfObject(int object) const;
    // Selects the item with this text, or the first item when none has it.
    void SelectTextOrFirst(const QString &text);
    // Replaces the items and selects the previously selected text again, or
    // the first item when that text is gone.
    void SetItemsKeepingText(const QList<TComboItem> &items);
    // Selects an index when it is valid; false (selection unchanged) otherwise.
    bool Select(int index);
};

struct TNumRange {
    double Min = 0.0;
    double Max = 0.0;
    bool Contains(double value) const { return value >= Min && value <= Max; }
};

// A value as an edit with the given decimals shows it.
double RoundToDecimals(double value, int decimals);

// A numeric edit or spin. Value is the exact value: the control shows it with
// Decimals places only, and unit conversions must not accumulate that rounding.
struct TNumEditView : TControlView {
    double Value = 0.0;
    TNumRange Range;
    int Decimals = 0;
    double Increment = 1.0;
    // The edit state of the Save rule: 0 idle, 1 entered, 2 changed by the user.
    int Tag = 0;

    double ShownValue() const { return RoundToDecimals(Value, Decimals); }
};

// What the window must do after a user action.
enum class TFocusRequest {
    None,
    Connect,   // move the focus to btnConnect
    ForFocus,  // move the focus to the hidden btnForFocus
};

struct TPageResponse {
    // Set btnSave and mSave enabled to this value; nothing when unset.
    std::optional<bool> SaveEnabled;
    TFocusRequest Focus = TFocusRequest::None;
    // Start Save Changes explicitly: the click that would have started it was
    // swallowed by a question box.
    bool StartSave = false;

    void Merge(const TPageResponse &later);
};

// A user change enables saving when setup is allowed.
TPageResponse UserChange(bool setupAllowed);

// The control that receives the focus when an edit is left.
enum class TFocusTarget { Other, Connect, FactDefs, ForFocus, Save };
// By the objectName of the control: btnConnect, btnFactDefs, btnForFocus, btnSave.
TFocusTarget FocusTargetOf(const QString &objectName);

// The Save rule of numeric edits: entering marks the edit, the first change
// by the user enables saving, leaving ends the edit.
void EnterEdit(TNumEditView &edit);
// Stores the user's value; true when this was the edit's first change.
bool ChangeEdit(TNumEditView &edit, double value);
void LeaveEdit(TNumEditView &edit);

// The views of a page by objectName, for the widget layer and for tests.
// Asking for a name the page does not have, or for the wrong kind of
// control, raises ERangeError.
class TControlRegistry {
public:
    using TEntry = std::variant<TContainerView *, TLabelView *, TCheckBoxView *, TTextEditView *,
                                TComboBoxView *, TNumEditView *>;

    void Add(const QString &name, TEntry view);
    QStringList Names() const { return order_; }
    bool Contains(const QString &name) const { return views_.contains(name); }

    const TControlView &Control(const QString &name) const;
    const TLabelView &Label(const QString &name) const { return *Get<TLabelView>(name); }
    const TCheckBoxView &CheckBox(const QString &name) const { return *Get<TCheckBoxView>(name); }
    const TTextEditView &TextEdit(const QString &name) const { return *Get<TTextEditView>(name); }
    const TComboBoxView &Combo(const QString &name) const { return *Get<TComboBoxView>(name); }
    const TNumEditView &NumEdit(const QString &name) const { return *Get<TNumEditView>(name); }
    // The view of any kind, for code that handles every kind (the widget binder).
    TEntry Entry(const QString &name) const { return Find(name); }

private:
    TEntry Find(const QString &name) const;
    [[noreturn]] static void RaiseWrongKind(const QString &name);
    template <typename V>
    V *Get(const QString &name) const
    {
        const TEntry entry = Find(name);
        if (!std::holds_alternative<V *>(entry))
            RaiseWrongKind(name);
        return std::get<V *>(entry);
    }

    QHash<QString, TEntry> views_;
    QStringList order_;
};

#include "serialconfig/uPageBinder.h"

#include "shell/uFocusRules.h"
#include "shell/uPBNumEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSignalBlocker>
#include <QWidget>

namespace {

// A line edit without a limit of its own.
constexpr int LineEditNoLimit = 32767;

template <typename... F>
struct TOverloaded : F... {
    using F::operator()...;
};
template <typename... F>
TOverloaded(F...) -> TOverloaded<F...>;

// The widget class each kind of view is shown in.
bool FitsView(QWidget *widget, const TControlRegistry::TEntry &view)
{
    return std::visit(TOverloaded{
                          [](TControlView *) { return true; },
                          [widget](TLabelView *) { return qobject_cast<QLabel *>(widget) != nullptr; },
                          [widget](TCheckBoxView *) { return qobject_cast<QCheckBox *>(widget) != nullptr; },
                          [widget](TTextEditView *) { return qobject_cast<QLineEdit *>(widget) != nullptr; },
                          [widget](TComboBoxView *) { return qobject_cast<QComboBox *>(widget) != nullptr; },
                          [widget](TNumEditView *) { return qobject_cast<TPBNumEdit *>(widget) != nullptr; },
                      },
                      view);
}

void MirrorControl(QWidget *widget, const TControlView &view)
{
    widget->setVisible(view.Visible);
    widget->setEnabled(view.Enabled);
}

void MirrorLabel(QLabel *label, const TLabelView &view)
{
    if (label->text() != view.Caption)
        label->setText(view.Caption);
}

void MirrorCheckBox(QCheckBox *box, const TCheckBoxView &view)
{
    if (box->text() != view.Caption)
        box->setText(view.Caption);
    box->setChecked(view.Checked);
}

void MirrorTextEdit(QLineEdit *edit, const TTextEditView &view)
{
    edit->setMaxLength(view.MaxLength > 0 ? view.MaxLength : LineEditNoLimit);
    if (edit->text() != view.Text)
        edit->setText(view.Text);
}

bool SameItems(const QComboBox *combo, const QList<TComboItem> &items)
{
    if (combo->count() != items.size())
        return false;
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i) != items[i].Text || combo->itemData(i).toInt() != items[i].Object)
            return false;
    }
    return true;
}

void MirrorCombo(QComboBox *combo, const TComboBoxView &view)
{
    // Rebuilding an unchanged list would close its popup under the user.
    if (!SameItems(combo, view.Items)) {
        combo->clear();
        for (const TComboItem &item : view.Items)
            combo->addItem(item.Text, item.Object);
    }
    if (combo->currentIndex() != view.ItemIndex)
        combo->setCurrentIndex(view.ItemIndex);
}

void MirrorNumEdit(TPBNumEdit *edit, const TNumEditView &view)
{
    if (edit->Decimals() != view.Decimals)
        edit->SetDecimals(view.Decimals);
    if (edit->MinValue() != view.Range.Min || edit->MaxValue() != view.Range.Max)
        edit->setRange(view.Range.Min, view.Range.Max);
    if (edit->Increment() != view.Increment)
        edit->SetIncrement(view.Increment);
    // Setting the value the edit already shows would retype the text under
    // the user's cursor ("2" becomes "2.0" while "25" is being typed).
    if (RoundToDecimals(edit->Value(), view.Decimals) != view.ShownValue())
        edit->SetValueSilent(view.ShownValue());
}

void MirrorView(QWidget *widget, const TControlRegistry::TEntry &entry)
{
    // The program's changes never reach the handlers of the user's.
    const QSignalBlocker blocker(widget);
    std::visit(TOverloaded{
                   [widget](const TControlView *view) { MirrorControl(widget, *view); },
                   [widget](const TLabelView *view) {
                       MirrorControl(widget, *view);
                       MirrorLabel(static_cast<QLabel *>(widget), *view);
                   },
                   [widget](const TCheckBoxView *view) {
                       MirrorControl(widget, *view);
                       MirrorCheckBox(static_cast<QCheckBox *>(widget), *view);
                   },
                   [widget](const TTextEditView *view) {
                       MirrorControl(widget, *view);
                       MirrorTextEdit(static_cast<QLineEdit *>(widget), *view);
                   },
                   [widget](const TComboBoxView *view) {
                       MirrorControl(widget, *view);
                       MirrorCombo(static_cast<QComboBox *>(widget), *view);
                   },
                   [widget](const TNumEditView *view) {
                       MirrorControl(widget, *view);
                       MirrorNumEdit(static_cast<TPBNumEdit *>(widget), *view);
                   },
               },
               entry);
}

const TControlView &ControlOf(const TControlRegistry::TEntry &entry)
{
    return *std::visit([](auto *view) -> const TControlView * { return view; }, entry);
}

} // namespace

void ApplyPageResponse(IPageHost &host, const TPageResponse &response)
{
    if (response.SaveEnabled)
        host.SetPageSaveEnabled(*response.SaveEnabled);
    if (response.Focus != TFocusRequest::None)
        host.MovePageFocus(response.Focus);
    if (response.StartSave)
        host.StartPageSave();
}

TPageBinder::TPageBinder(QWidget *form, std::unique_ptr<IPageActions> actions, IPageHost &host, QObject *parent)
    : QObject(parent), actions_(std::move(actions)), host_(host)
{
    const TControlRegistry &controls = actions_->Controls();
    for (const QString &name : controls.Names()) {
        QWidget *widget = form->findChild<QWidget *>(name);
        const TControlRegistry::TEntry view = controls.Entry(name);
        if (widget != nullptr && FitsView(widget, view))
            Bind(name, widget, view);
        else
            unbound_.append(name);
    }
    CollectCaptions(form);
    Refresh();
}

// The connections and the event filters end with the binder.
TPageBinder::~TPageBinder() = default;

void TPageBinder::Bind(const QString &name, QWidget *widget, const TControlRegistry::TEntry &view)
{
    bindings_.push_back({name, widget, view, {}});
    ConnectUserActions(name, widget, view);
}

void TPageBinder::ConnectUserActions(const QString &name, QWidget *widget, const TControlRegistry::TEntry &view)
{
    // Only signals of the user's own actions: activated, clicked and
    // textEdited never come from the program, and the mirror blocks the
    // numeric edits' valueChanged.
    if (const auto *combo = std::get_if<TComboBoxView *>(&view)) {
        const TComboBoxView *comboView = *combo;
        connect(static_cast<QComboBox *>(widget), &QComboBox::activated, this, [this, name, comboView](int index) {
            // Picking the entry already selected changes nothing.
            if (index != comboView->ItemIndex)
                Act([this, name, index] { return actions_->ComboSelected(name, index); });
        });
    } else if (std::holds_alternative<TCheckBoxView *>(view)) {
        connect(static_cast<QCheckBox *>(widget), &QCheckBox::clicked, this, [this, name](bool checked) {
            Act([this, name, checked] { return actions_->CheckBoxClicked(name, checked); });
        });
    } else if (std::holds_alternative<TTextEditView *>(view)) {
        connect(static_cast<QLineEdit *>(widget), &QLineEdit::textEdited, this, [this, name](const QString &text) {
            Act([this, name, text] { return actions_->TextEdited(name, text); });
        });
    } else if (std::holds_alternative<TNumEditView *>(view)) {
        auto *edit = static_cast<TPBNumEdit *>(widget);
        connect(edit, &QDoubleSpinBox::valueChanged, this, [this, name](double value) {
            Act([this, name, value] { return actions_->NumEditChange(name, value); });
        });
        numEdits_.insert(edit, name);
        edit->installEventFilter(this);
    }
}

void TPageBinder::CollectCaptions(const QWidget *form)
{
    for (QLabel *label : form->findChildren<QLabel *>()) {
        const QWidget *buddy = label->buddy();
        for (TBinding &binding : bindings_) {
            if (buddy != nullptr && binding.Widget == buddy)
                binding.Captions.append(label);
        }
    }
}

void TPageBinder::Refresh()
{
    for (const TBinding &binding : bindings_) {
        MirrorView(binding.Widget, binding.View);
        const TControlView &control = ControlOf(binding.View);
        for (QLabel *caption : binding.Captions) {
            caption->setVisible(control.Visible);
            caption->setEnabled(control.Enabled);
        }
    }
}

bool TPageBinder::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::FocusIn && type != QEvent::FocusOut)
        return QObject::eventFilter(watched, event);
    const auto it = numEdits_.constFind(watched);
    if (it == numEdits_.constEnd())
        return QObject::eventFilter(watched, event);
    // Entering is harmless when repeated, and the edit the window focuses
    // when it is activated is entered as well; only leaving for a popup, a
    // menu or another window does not end the edit.
    if (type == QEvent::FocusIn)
        NumEditFocusIn(*it);
    else if (FocusLeavesControl(static_cast<QFocusEvent *>(event)->reason()))
        NumEditFocusOut(*it, static_cast<TPBNumEdit *>(watched));
    return QObject::eventFilter(watched, event);
}

void TPageBinder::NumEditFocusIn(const QString &name)
{
    Act([this, name] { return actions_->NumEditEnter(name); });
}

void TPageBinder::NumEditFocusOut(const QString &name, TPBNumEdit *edit)
{
    // The typed text counts even though the edit takes it over only after
    // this filter: its valueChanged reaches the model first.
    edit->interpretText();
    // Qt has moved the focus before it tells the old owner.
    const QWidget *receiver = QApplication::focusWidget();
    const TFocusTarget focus = FocusTargetOf(receiver != nullptr ? receiver->objectName() : QString());
    Act([this, name, focus] { return actions_->NumEditExit(name, focus); });
}

void TPageBinder::Act(const std::function<TPageResponse()> &action)
{
    IPageHost *host = &host_;
    const QPointer<TPageBinder> self(this);
    host->RunPageAction([host, self, action] {
        // A command that ran first may have released the pages.
        if (self.isNull())
            return;
        TPageResponse response;
        try {
            response = action();
        } catch (...) {
            host->RefreshPages();
            throw;
        }
        host->RefreshPages();
        ApplyPageResponse(*host, response);
    });
}

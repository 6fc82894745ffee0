#include "shell/uPBNumEdit.h"

#include <QLineEdit>
#include <QSignalBlocker>

namespace {

// Without limits of its own an edit takes any value the pages can show.
constexpr double UnlimitedValue = 999999999.0;
constexpr int LineEditNoLimit = 32767;

} // namespace

TPBNumEdit::TPBNumEdit(QWidget *parent) : QDoubleSpinBox(parent)
{
    setRange(-UnlimitedValue, UnlimitedValue);
    setDecimals(0);
    setButtonSymbols(QAbstractSpinBox::NoButtons);
    setAccelerated(true);
}

int TPBNumEdit::MaxLength() const
{
    const int length = lineEdit()->maxLength();
    return length >= LineEditNoLimit ? 0 : length;
}

void TPBNumEdit::SetMaxLength(int length)
{
    lineEdit()->setMaxLength(length <= 0 ? LineEditNoLimit : length);
}

void TPBNumEdit::SetValueSilent(double value)
{
    const QSignalBlocker blocker(this);
    setValue(value);
}

void TPBNumEdit::SetSpin(bool spin)
{
    spin_ = spin;
    setButtonSymbols(spin ? QAbstractSpinBox::UpDownArrows : QAbstractSpinBox::NoButtons);
}

QAbstractSpinBox::StepEnabled TPBNumEdit::stepEnabled() const
{
    if (!spin_)
        return StepNone;
    return QDoubleSpinBox::stepEnabled();
}

#pragma once

#include <QDoubleSpinBox>

// The numeric edit of the pages: decimals, minimum, maximum, maximum length,
// read-only and value. As a plain numeric edit ("pbne") it has no buttons and
// ignores the arrow keys and the wheel; with Spin set ("pbss") it steps by
// Increment. Values set by the program go through SetValueSilent so that only
// the user's edits raise valueChanged.
class TPBNumEdit : public QDoubleSpinBox {
    Q_OBJECT
    // The edit state of the save rule: 0 idle, 1 entered, 2 changed.
    Q_PROPERTY(int Tag MEMBER Tag)
    Q_PROPERTY(bool Spin READ Spin WRITE SetSpin)
    Q_PROPERTY(double Increment READ Increment WRITE SetIncrement)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE SetMaxLength)

public:
    explicit TPBNumEdit(QWidget *parent = nullptr);

    int Tag = 0;

    int Decimals() const { return decimals(); }
    void SetDecimals(int decimals) { setDecimals(decimals); }
    double MinValue() const { return minimum(); }
    void SetMinValue(double value) { setMinimum(value); }
    double MaxValue() const { return maximum(); }
    void SetMaxValue(double value) { setMaximum(value); }
    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool readOnly) { setReadOnly(readOnly); }
    // Most characters the user may type; 0 for no limit.
    int MaxLength() const;
    void SetMaxLength(int length);

    double Value() const { return value(); }
    // Shows a value without any signal: changes made by the program never
    // count as edits.
    void SetValueSilent(double value);

    bool Spin() const { return spin_; }
    void SetSpin(bool spin);
    double Increment() const { return singleStep(); }
    void SetIncrement(double step) { setSingleStep(step); }

protected:
    StepEnabled stepEnabled() const override;

private:
    bool spin_ = false;
};

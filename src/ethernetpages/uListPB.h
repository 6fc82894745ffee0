#pragma once

#include <QString>

#include <vector>

class TPBNumEdit;

// The exact values behind the window's numeric edits. An edit shows its value
// rounded to its decimals; the list keeps the value as read from the device,
// so a value the user did not touch goes back unchanged. Entries are sorted by
// the edit's objectName (ordinal, case-sensitive); the last entry found is
// tried first, as the pages read and write one edit several times in a row.
class TListPB {
public:
    // Adds an edit with its current value; an edit already listed stays as is.
    void Register(TPBNumEdit *edit);
    // The exact value of a listed edit. Raises ERangeError
    // "TListPB: index out of range" for an edit that is not listed.
    double GetValue(const TPBNumEdit *edit) const;
    // Stores the exact value and shows it in the edit, silently.
    void SetValue(TPBNumEdit *edit, double value);
    int Count() const { return static_cast<int>(entries_.size()); }

private:
    struct TEntry {
        QString name;
        TPBNumEdit *edit = nullptr;
        double value = 0.0;
    };

    // The entry of an edit, or -1.
    int Find(const TPBNumEdit *edit) const;
    // The entry of an edit; raises when it is not listed.
    int IndexOf(const TPBNumEdit *edit) const;
    // The first entry whose name is not below name.
    int LowerBound(const QString &name) const;

    std::vector<TEntry> entries_;
    mutable int lastFound_ = -1;
};

#include "ethernetpages/uListPB.h"

#include "shell/uErrors.h"
#include "shell/uPBNumEdit.h"

int TListPB::LowerBound(const QString &name) const
{
    int low = 0;
    int high = Count();
    while (low < high) {
        const int mid = (low + high) / 2;
        if (QString::compare(entries_[mid].name, name, Qt::CaseSensitive) < 0)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

int TListPB::Find(const TPBNumEdit *edit) const
{
    if (edit == nullptr)
        return -1;
    if (lastFound_ >= 0 && lastFound_ < Count() && entries_[lastFound_].edit == edit)
        return lastFound_;
    const QString name = edit->objectName();
    // Frames may repeat a control name; equal names sit side by side.
    for (int i = LowerBound(name); i < Count() && entries_[i].name == name; ++i) {
        if (entries_[i].edit == edit) {
            lastFound_ = i;
            return i;
        }
    }
    return -1;
}

int TListPB::IndexOf(const TPBNumEdit *edit) const
{
    const int index = Find(edit);
    if (index < 0)
        throw ERangeError(ClassMessage("TListPB", QStringLiteral("index out of range")));
    return index;
}

void TListPB::Register(TPBNumEdit *edit)
{
    if (edit == nullptr || Find(edit) >= 0)
        return;
    const QString name = edit->objectName();
    int at = LowerBound(name);
    while (at < Count() && entries_[at].name == name)
        ++at;
    entries_.insert(entries_.begin() + at, TEntry{name, edit, edit->Value()});
    lastFound_ = at;
}

double TListPB::GetValue(const TPBNumEdit *edit) const
{
    return entries_[IndexOf(edit)].value;
}

void TListPB::SetValue(TPBNumEdit *edit, double value)
{
    entries_[IndexOf(edit)].value = value;
    edit->SetValueSilent(value);
}

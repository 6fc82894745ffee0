#pragma once

#include <QObject>
#include <QVariant>

// The Tag every control and window carries: a small number whose meaning the
// owner gives it (the edit state of the save rule, a deferred click, the
// failure flag of a page). Numeric edits declare it as a property; every
// other object keeps it as a dynamic property of the same name.
inline int ControlTag(const QObject *object)
{
    return object->property("Tag").toInt();
}

inline void SetControlTag(QObject *object, int tag)
{
    object->setProperty("Tag", tag);
}

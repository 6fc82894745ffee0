#pragma once

#include "shell/uErrors.h"

#include <QString>

#include <functional>

// The text of the Exception action raises; empty when it raises none.
inline QString RaisedText(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Exception &e) {
        return e.Message();
    }
    return QString();
}

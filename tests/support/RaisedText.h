#pragma once

#include "shell/uErrors.h"

#include <QString>

#include <functional>

// The text of the exception of class E (or a class derived from it) that
// action raises; empty when it raises none. Other exceptions pass through.
template <typename E = Exception>
QString RaisedText(const std::function<void()> &action)
{
    try {
        action();
    } catch (const E &e) {
        return e.Message();
    }
    return QString();
}

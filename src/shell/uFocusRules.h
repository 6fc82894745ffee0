#pragma once

#include <Qt>

// Focus that moves to a popup, a menu or another window does not leave the
// control: the user comes back to it. The Save rule of every page control
// counts only the focus changes for which this holds.
inline bool FocusLeavesControl(Qt::FocusReason reason)
{
    return reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason &&
           reason != Qt::MenuBarFocusReason;
}

#pragma once

// A model object whose sender-only change notifications are counted.
template <typename T>
struct TCounted {
    T object;
    int changes = 0;

    TCounted()
    {
        object.OnChange = [this](T &) { ++changes; };
    }
    TCounted(const TCounted &) = delete;
    TCounted &operator=(const TCounted &) = delete;
};

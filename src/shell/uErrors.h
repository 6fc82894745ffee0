#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// Every error of the program is an exception carrying the text the user is
// shown. The class names follow the runtime-library classes the sensor and
// bus layers have always raised, so a handler can tell a range error from a
// conversion error or an I/O failure.
class Exception : public std::exception {
public:
    explicit Exception(QString message);

    const QString &Message() const noexcept { return message_; }
    void SetMessage(QString message);
    const char *what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};

// Formats "%s: %s" from a class name and a fixed text, as model classes report.
QString ClassMessage(const char *className, const QString &text);

#define PELINOR_EXCEPTION(Name, Base)            \
    class Name : public Base {                   \
    public:                                      \
        using Base::Base;                        \
    }

PELINOR_EXCEPTION(ERangeError, Exception);
PELINOR_EXCEPTION(EConvertError, Exception);
PELINOR_EXCEPTION(EOutOfResources, Exception);
PELINOR_EXCEPTION(EInvalidOperation, Exception);
PELINOR_EXCEPTION(EInOutError, Exception);
PELINOR_EXCEPTION(EExternalException, Exception);

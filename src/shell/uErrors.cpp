#include "shell/uErrors.h"

#include <utility>

Exception::Exception(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}

void Exception::SetMessage(QString message)
{
    message_ = std::move(message);
    utf8_ = message_.toUtf8();
}

QString ClassMessage(const char *className, const QString &text)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(className), text);
}

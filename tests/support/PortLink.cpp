#include "support/PortLink.h"

#include "support/TestEnvironment.h"

#include <QFile>

bool LinkComPort(int comNo, const QString &device)
{
    const QString link = TestEnvironment::PortDir() + QStringLiteral("/COM%1").arg(comNo);
    QFile::remove(link);
    return QFile::link(device, link);
}

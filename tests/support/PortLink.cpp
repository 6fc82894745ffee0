#include "support/PortLink.h"

#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>

QString ComPortLink(int comNo)
{
    return QDir(TestEnvironment::PortDir()).filePath(QStringLiteral("COM%1").arg(comNo));
}

bool LinkComPort(int comNo, const QString &device)
{
    const QString link = ComPortLink(comNo);
    QFile::remove(link);
    return QFile::link(device, link);
}

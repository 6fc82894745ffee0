#include "SimLog.h"

#include "ModbusSlave.h"
#include "SimRegisters.h"

#include <QDateTime>
#include <QStringList>

bool SimLog::open(const QString &path, QString *error)
{
    m_file.setFileName(path);
    if (m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return true;
    *error = QStringLiteral("cannot open the log %1: %2").arg(path, m_file.errorString());
    return false;
}

void SimLog::write(const QString &line)
{
    if (!m_file.isOpen())
        return;
    m_file.write(line.toUtf8() + '\n');
    m_file.flush();
}

QString SimLog::Line(const QString &frontEnd, int slave, const ModbusSlave::Transaction &t, const QString &answer)
{
    QStringList values;
    for (quint16 v : t.values)
        values.append(SimBytes::Hex(v));
    return QStringLiteral("%1 %2 slave=%3 fn=%4 addr=0x%5 count=%6 values=%7 answer=%8")
        .arg(QDateTime::currentDateTime().toString(Qt::ISODateWithMs), frontEnd)
        .arg(slave)
        .arg(t.function)
        .arg(t.address, 4, 16, QLatin1Char('0'))
        .arg(t.count)
        .arg(values.isEmpty() ? QStringLiteral("-") : values.join(QLatin1Char(',')), answer);
}

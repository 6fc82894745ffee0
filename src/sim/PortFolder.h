#pragma once

#include <QString>

// The ports folder in which the program looks for COMn links before it
// falls back to the system's serial devices: $PELINOR_PORT_DIR when set,
// else "pelinor-ports" in the user's runtime folder ($XDG_RUNTIME_DIR).
// The sensor puts a link COMn -> /dev/pts/N there for its line.
namespace PortFolder {

constexpr int MinComNumber = 1;
constexpr int MaxComNumber = 255;

QString Path();
QString LinkPath(int comNumber);
// The lowest COM number without a live link, 0 when all are taken.
int FirstFreeNumber();
// Creates the link; a dangling one left by a sensor that died is replaced,
// a live one is not.
bool CreateLink(int comNumber, const QString &target, QString *error);
// Removes the link when it still points at target.
void RemoveLink(const QString &linkPath, const QString &target);

} // namespace PortFolder

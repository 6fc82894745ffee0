#pragma once

#include <QString>
#include <QTest>

// Gives the test process folders of its own before Qt starts: home, settings,
// data, runtime and ports folders all live in one temporary directory that is
// removed at exit, so a test never touches the user's real settings.
namespace TestEnvironment {

void Isolate();
// The temporary root created by Isolate().
QString Root();
// The ports folder of the isolated environment (PELINOR_PORT_DIR).
QString PortDir();
// Links every COM number that has no link of its own to a missing device, so
// the machine's own serial ports stay out of a test's port lists. A test's
// own link (LinkComPort) replaces the mask of its number.
void MaskSystemPorts();

} // namespace TestEnvironment

// Like QTEST_GUILESS_MAIN, with an isolated environment.
#define PELINOR_TEST_MAIN(TestObject)                  \
    int main(int argc, char *argv[])                   \
    {                                                  \
        TestEnvironment::Isolate();                    \
        QCoreApplication app(argc, argv);              \
        TestObject tc;                                 \
        QTEST_SET_MAIN_SOURCE_PATH                     \
        return QTest::qExec(&tc, argc, argv);          \
    }

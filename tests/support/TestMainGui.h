#pragma once

#include "support/TestEnvironment.h"

#include <QApplication>

// Like QTEST_MAIN for widget tests, with an isolated environment.
#define PELINOR_TEST_GUI_MAIN(TestObject)              \
    int main(int argc, char *argv[])                   \
    {                                                  \
        TestEnvironment::Isolate();                    \
        QApplication app(argc, argv);                  \
        TestObject tc;                                 \
        QTEST_SET_MAIN_SOURCE_PATH                     \
        return QTest::qExec(&tc, argc, argv);          \
    }

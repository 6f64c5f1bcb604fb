#pragma once

// A test folder's program holds several QtTest classes. Each registers its
// main under its class name instead of defining main(), and the program runs
// the class its first argument names (TestMain.cpp). Every source of a test
// program includes this header first, so QTEST_MAIN and QTEST_GUILESS_MAIN
// register too.

#include <QTest>

using QtTestMain = int (*)(int argc, char** argv);

bool RegisterQtTest(const char* className, QtTestMain main);
// The main registered for `className`, or nullptr.
QtTestMain FindQtTest(const char* className);

// VELTRA_QTEST_MAIN(Class) { ... }: the body is the main of the QtTest class.
#define VELTRA_QTEST_MAIN(TestClass)                                                 \
    static int VeltraQtTestMain##TestClass(int argc, char** argv);                   \
    [[maybe_unused]] static const bool veltraQtTestRegistered##TestClass =           \
        RegisterQtTest(#TestClass, &VeltraQtTestMain##TestClass);                    \
    static int VeltraQtTestMain##TestClass(int argc, char** argv)

// Qt's own mains, registered.
#undef QTEST_MAIN
#define QTEST_MAIN(TestObject) VELTRA_QTEST_MAIN_WITH(TestObject, QTEST_MAIN_SETUP())
#undef QTEST_GUILESS_MAIN
#define QTEST_GUILESS_MAIN(TestObject) VELTRA_QTEST_MAIN_WITH(TestObject, QTEST_QAPP_SETUP(QCoreApplication))

#define VELTRA_QTEST_MAIN_WITH(TestObject, ...)                            \
    VELTRA_QTEST_MAIN(TestObject)                                          \
    {                                                                      \
        QT_PREPEND_NAMESPACE(QTest::Internal::callInitMain)<TestObject>(); \
        __VA_ARGS__                                                        \
        TestObject tc;                                                     \
        QTEST_SET_MAIN_SOURCE_PATH                                         \
        return QTest::qExec(&tc, argc, argv);                              \
    }

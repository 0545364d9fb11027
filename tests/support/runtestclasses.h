#pragma once

#include <QObject>
#include <QtTest>
#include <initializer_list>

// Runs several Qt Test classes in one program; the exit code counts every failure.
inline int runTestClasses(int argc, char** argv, std::initializer_list<QObject*> tests) {
    int failed = 0;
    for (QObject* test : tests)
        failed += QTest::qExec(test, argc, argv);
    return failed;
}

#pragma once

// The main() of a Qt Test program: the same sandbox as the engine tests, and the offscreen
// platform so that no display is needed.
#include <QApplication>
#include <QtTest>

#include "Sandbox.h"
#include "TempFolder.h"

#define HV_QTEST_MAIN(TestClass)             \
  int main(int argc, char** argv) {          \
    const hv::test::TempFolder sandbox;      \
    hv::test::EnterSandbox(sandbox.Path());  \
    qputenv("QT_QPA_PLATFORM", "offscreen"); \
    QApplication app(argc, argv);            \
    TestClass test;                          \
    return QTest::qExec(&test, argc, argv);  \
  }

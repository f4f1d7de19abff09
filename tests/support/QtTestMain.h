#pragma once

// The main() of a Qt Test program: the same sandbox as the engine tests, and the offscreen
// platform so that no display is needed.
#include <QApplication>
#include <QtTest>
#include <cstddef>

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

namespace hv::test {

// Fills a Qt Test _data function from a table whose rows name themselves in `what`: one
// row number per row, so that the test function reads its case from the table.
template <typename Row, std::size_t N>
void AddTableRows(const Row (&table)[N]) {
  QTest::addColumn<int>("row");
  for (std::size_t row = 0; row < N; ++row) {
    QTest::newRow(table[row].what) << int(row);
  }
}

}  // namespace hv::test

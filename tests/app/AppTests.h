#pragma once

#include <QObject>

namespace hv::test {

// The window test classes, in the order they run.
QObject* MakeStartupTest();
QObject* MakePageCommandsTest();
QObject* MakeCleanReportTest();

}  // namespace hv::test

#pragma once

// Each test program gathers the Qt Test classes of its folder: a test file registers its class
// with LISTORO_TEST(ClassName) at file scope, and tests/common/testmain.cpp runs them all, with
// QStandardPaths test mode on so settings and caches never touch the user's own.
//
//   ./tst_scrape                     every class
//   ./tst_scrape TestNsUrlUtils      one class (further arguments go to QTest)

#include <QObject>

#include <functional>
#include <memory>

namespace ListoroTest {

using Factory = std::function<std::unique_ptr<QObject>()>;
int registerTest(const char *name, Factory factory);

// The directory of tests/data, and of the saved real pages (../shared/fixtures).
QString dataDir();
QString fixturesDir();

} // namespace ListoroTest

#define LISTORO_TEST(Class)                                                                        \
    static const int listoroTestRegistration_##Class                                               \
        = ListoroTest::registerTest(#Class, [] { return std::make_unique<Class>(); });

#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

// Every test program's main() comes from here (tests/CMakeLists.txt links
// one of the two mains), so that all of them start alike:
// - in a pinned locale: C.UTF-8, or the one NVTARNIX_TEST_LOCALE names for a
//   run that proves the product in its users' locale; a locale the machine
//   lacks stops the program with a message instead of running in another;
// - with per-user folders of their own (settings, data, cache, runtime) in a
//   temporary folder that goes with the process, so no run reads or writes
//   the developer's settings or another program's;
// - with no language chosen through NVTARNIX_LANGUAGE, on Qt's offscreen
//   platform unless QT_QPA_PLATFORM names another.
// Each test class registers itself with NVTARNIX_TEST_CLASS; main() runs
// them in the order the linker placed them.

namespace testsupport {

using TestClassFactory = std::function<std::unique_ptr<QObject>()>;

bool registerTestClass(TestClassFactory factory);

// The temporary folder that holds this program's per-user folders.
QString privateHome();

// The locale the program runs in, as NVTARNIX_TEST_LOCALE or the default names it.
QString pinnedLocale();

// Makes the program's application object; QApplication keeps `argc` by reference.
using ApplicationFactory = std::unique_ptr<QCoreApplication> (*)(int &argc, char **argv);

int runRegisteredTests(int argc, char **argv, ApplicationFactory makeApplication);

} // namespace testsupport

#define NVTARNIX_TEST_CLASS(Class)                                                                 \
    namespace {                                                                                    \
    [[maybe_unused]] const bool registered_##Class =                                               \
        testsupport::registerTestClass([] { return std::unique_ptr<QObject>(new Class); });        \
    }

#include "TestMain.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <clocale>
#include <cstdio>
#include <vector>

namespace testsupport {

namespace {

std::vector<TestClassFactory> &registeredClasses()
{
    static std::vector<TestClassFactory> classes;
    return classes;
}

QString &homePath()
{
    static QString path;
    return path;
}

const char *const DefaultLocale = "C.UTF-8";

// LC_ALL outranks every other locale variable, for the C library and for Qt
// alike, and child processes such as the `tarnix` tool inherit it.
bool pinLocale()
{
    const QByteArray wanted = pinnedLocale().toUtf8();
    qputenv("LC_ALL", wanted);
    qputenv("LANG", wanted);
    qunsetenv("LANGUAGE");
    if (std::setlocale(LC_ALL, "") != nullptr)
        return true;
    std::fprintf(stderr,
                 "The %s locale is not installed on this machine; scripts/install-deps.sh generates it.\n",
                 wanted.constData());
    return false;
}

// Folders for QSettings, QStandardPaths and the platform's runtime files.
bool makePrivateHome(const QTemporaryDir &dir)
{
    if (!dir.isValid())
        return false;
    homePath() = dir.path();
    const struct
    {
        const char *variable;
        const char *folder;
    } folders[] = {{"XDG_CONFIG_HOME", "config"},
                   {"XDG_DATA_HOME", "data"},
                   {"XDG_CACHE_HOME", "cache"},
                   {"XDG_STATE_HOME", "state"},
                   {"XDG_RUNTIME_DIR", "runtime"}};
    for (const auto &f : folders) {
        const QString path = dir.filePath(QString::fromLatin1(f.folder));
        if (!QDir().mkpath(path))
            return false;
        qputenv(f.variable, QFile::encodeName(path));
    }
    // Qt refuses a runtime folder that others may read.
    return QFile::setPermissions(dir.filePath(QStringLiteral("runtime")),
                                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

} // namespace

bool registerTestClass(TestClassFactory factory)
{
    registeredClasses().push_back(std::move(factory));
    return true;
}

QString privateHome()
{
    return homePath();
}

QString pinnedLocale()
{
    const QString named = qEnvironmentVariable("NVTARNIX_TEST_LOCALE");
    return named.isEmpty() ? QString::fromLatin1(DefaultLocale) : named;
}

int runRegisteredTests(int argc, char **argv, ApplicationFactory makeApplication)
{
    if (!pinLocale())
        return 2;
    const QTemporaryDir home;
    if (!makePrivateHome(home)) {
        std::fprintf(stderr, "Cannot make the test's private settings folders.\n");
        return 2;
    }
    qputenv("NVTARNIX_LANGUAGE", QByteArray());
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    const std::unique_ptr<QCoreApplication> app = makeApplication(argc, argv);

    int failed = 0;
    for (const TestClassFactory &factory : registeredClasses()) {
        const std::unique_ptr<QObject> test = factory();
        failed += QTest::qExec(test.get(), argc, argv);
    }
    return failed == 0 ? 0 : 1;
}

} // namespace testsupport

#include "TestMain.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <cstddef>
#include <cstdint>

// The target's entry points, from fuzz/<target>.cpp; not every target has
// the start-up one.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int *argc, char ***argv);

class tst_FuzzInputs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The target's start-up sets the engine limits it fuzzes under for
        // the whole program, as it does in the fuzzer: this program runs
        // nothing else.
        if (LLVMFuzzerInitialize) {
            int argc = 1;
            char name[] = "tst_fuzz";
            char *args[] = {name, nullptr};
            char **argv = args;
            LLVMFuzzerInitialize(&argc, &argv);
        }
    }

    // A target ends the program on a finding (a crash, a sanitizer report, a
    // broken promise it checks): the failing input is the row QtTest names.
    void input_data()
    {
        QTest::addColumn<QString>("path");
        int inputs = 0;
        for (const char *folder : {"regressions", "corpus"}) {
            const QDir dir(QStringLiteral(FUZZ_FOLDER "/%1/" FUZZ_TARGET).arg(QLatin1String(folder)));
            for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
                QTest::addRow("%s/%s", folder, qPrintable(name)) << dir.filePath(name);
                ++inputs;
            }
        }
        QVERIFY2(inputs > 0, "no seeds for " FUZZ_TARGET);
    }

    void input()
    {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        const QByteArray bytes = file.readAll();
        QCOMPARE(LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()),
                                        size_t(bytes.size())),
                 0);
    }
};

NVTARNIX_TEST_CLASS(tst_FuzzInputs)
#include "tst_fuzzinputs.moc"

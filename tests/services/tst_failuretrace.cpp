#include "component/FunctionCatalog.h"
#include "support/FailureHandling.h"
#include "vbscript/ScriptError.h"

#include "TestMain.h"

#include <QLoggingCategory>
#include <QScopeGuard>
#include <QtTest>

#include <functional>
#include <stdexcept>

using namespace nvtarnix;

namespace {

// What the skipped-failure category wrote while a test ran.
QStringList &traced()
{
    static QStringList lines;
    return lines;
}

void keepTrace(QtMsgType, const QMessageLogContext &context, const QString &message)
{
    if (QByteArray(context.category) == "nvtarnix.skipped")
        traced() << message;
}

// Collects the category's lines, with the rules given, until it goes.
class TraceCollector
{
public:
    explicit TraceCollector(const QString &rules)
    {
        traced().clear();
        m_previous = qInstallMessageHandler(keepTrace);
        QLoggingCategory::setFilterRules(rules);
    }
    ~TraceCollector()
    {
        QLoggingCategory::setFilterRules(QString());
        qInstallMessageHandler(m_previous);
    }

private:
    QtMessageHandler m_previous = nullptr;
};

const QString TraceOn = QStringLiteral("nvtarnix.skipped.debug=true");

} // namespace

using Failure = std::function<void()>;
Q_DECLARE_METATYPE(Failure)

// A failure the component passes over on purpose leaves a trace under
// QT_LOGGING_RULES, and none unless asked.
class tst_FailureTrace : public QObject
{
    Q_OBJECT
private slots:
    void passedOverFailureIsTraced_data()
    {
        QTest::addColumn<Failure>("failure");
        QTest::addColumn<QString>("described");
        QTest::newRow("component error") << Failure([] { throw componentError(ComponentError::TypeMismatch); })
                                         << "error 13 (nvTarnix): Type mismatch";
        QTest::newRow("engine error") << Failure([] {
            throw vbscript::ScriptError::runtime(vbscript::err::DivisionByZero);
        }) << "engine error 11: Division by zero";
        QTest::newRow("standard exception") << Failure([] { throw std::runtime_error("disk full"); }) << "disk full";
        QTest::newRow("anything else") << Failure([] { throw 7; }) << "an exception of an unknown type";
    }
    void passedOverFailureIsTraced()
    {
        QFETCH(Failure, failure);
        QFETCH(QString, described);
        TraceCollector collector(TraceOn);
        skipOnError(failure);
        const int line = __LINE__ - 1;
        QCOMPARE(traced().size(), 1);
        // Where it was passed over is the caller's place, not the helper's.
        QVERIFY2(traced().first().startsWith(QStringLiteral("tst_failuretrace.cpp:%1 ").arg(line)),
                 qPrintable(traced().first()));
        QVERIFY2(traced().first().endsWith(QStringLiteral("passed over ") + described), qPrintable(traced().first()));
    }

    void silentUnlessAsked()
    {
        TraceCollector collector{QString()};
        skipOnError([] { throw componentError(ComponentError::InternalError); });
        QVERIFY(traced().isEmpty());
    }

    void helpThatCannotBeReadLeavesATrace()
    {
        const auto catalog = FunctionCatalog::loadBuiltin();
        TraceCollector collector(TraceOn);
        // A name no catalog query can hold: the help is left out, the
        // reason written down.
        QCOMPARE(FunctionCatalog::helpString(*catalog, QStringLiteral("it's")), QString());
        QCOMPARE(traced().size(), 1);
        QVERIFY2(traced().first().startsWith(QStringLiteral("FunctionCatalog.cpp:")), qPrintable(traced().first()));
    }
};

NVTARNIX_TEST_CLASS(tst_FailureTrace)
#include "tst_failuretrace.moc"

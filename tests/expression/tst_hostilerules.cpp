// Rules written to take the host down, from hostile/*.tsv, each run the three
// ways a host runs one: nvtarnix::Expression on a thread with a 256 KB stack
// (a thread pool's), the wizard's check (the engine's ScriptControl as the
// check drives it) and `tarnix apply` over a one-row table. Each way must
// end in the row's error number (0: a value), within the row's time limit
// and 2 s more, with the process's peak memory within the start plus the
// evaluation's budget plus 64 MB.
//
// A row: name, rule, error, timeoutMs (blank: 2000). The rule is one
// expression in database form with no variables; \t, \n and \\ stand for a
// tab, a line end and a backslash.

#include <nvtarnix/Error.h>
#include <nvtarnix/Expression.h>

#include "vbscript/ScriptControl.h"
#include "vbscript/ScriptError.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include "TestMain.h"
#include "TsvTable.h"

#include <sys/resource.h>

#include <atomic>
#include <memory>
#include <optional>

namespace {

constexpr qsizetype kSmallStack = 256 * 1024;
constexpr qint64 kGraceMs = 2000;
// The evaluation's memory budget and what may come on top of it.
constexpr qint64 kBudgetKb = 256 * 1024;
constexpr qint64 kSlackKb = 64 * 1024;
constexpr int kDefaultTimeoutMs = 2000;
constexpr qint64 kProgramKb = 64 * 1024;

struct HostileRule
{
    QString rule;
    int error = 0;
    int timeoutMs = kDefaultTimeoutMs;
};

QString unescaped(const QString &cell)
{
    QString out;
    out.reserve(cell.size());
    for (qsizetype i = 0; i < cell.size(); ++i) {
        const QChar c = cell[i];
        if (c != QLatin1Char('\\') || i + 1 == cell.size()) {
            out += c;
            continue;
        }
        const QChar n = cell[++i];
        if (n == QLatin1Char('t'))
            out += QLatin1Char('\t');
        else if (n == QLatin1Char('n'))
            out += QLatin1Char('\n');
        else
            out += n;  // \\ and anything else stand for the character itself
    }
    return out;
}

} // namespace

Q_DECLARE_METATYPE(HostileRule)

namespace {

// A line of /proc/self/status, in KB: VmRSS, VmHWM.
qint64 statusKb(const char *field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// The peak resident memory of one case: the kernel's high-water mark is set
// back to the current resident size before it (clear_refs 5), so the peak
// read after it is the case's own.
class PeakMemory
{
public:
    PeakMemory()
    {
        QFile f(QStringLiteral("/proc/self/clear_refs"));
        if (f.open(QIODevice::WriteOnly))
            f.write("5");
        m_startKb = statusKb("VmRSS");
    }
    qint64 startKb() const { return m_startKb; }
    qint64 peakKb() const { return statusKb("VmHWM"); }

private:
    qint64 m_startKb;
};

// The largest resident size any finished child process reached, in KB.
qint64 childrenPeakKb()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_maxrss;
}

} // namespace

class tst_HostileRules : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void expressionOnSmallStack_data() { rows(); }
    void expressionOnSmallStack();
    void wizardCheck_data() { rows(); }
    void wizardCheck();
    void tarnixApply_data() { rows(); }
    void tarnixApply();

private:
    void rows();
    QTemporaryDir m_dir;
    QString m_database;
};

void tst_HostileRules::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_database = m_dir.filePath(QStringLiteral("one-row.sqlite"));
    {
        auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("hostile"));
        db.setDatabaseName(m_database);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("CREATE TABLE one (n INTEGER)")));
        QVERIFY(q.exec(QStringLiteral("INSERT INTO one VALUES (1)")));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("hostile"));
}

void tst_HostileRules::rows()
{
    QTest::addColumn<HostileRule>("row");
    const QDir dir(QStringLiteral(HOSTILE_RULES));
    const QStringList files = dir.entryList({QStringLiteral("*.tsv")}, QDir::Files, QDir::Name);
    QVERIFY2(!files.isEmpty(), qPrintable(dir.path()));
    for (const QString &file : files) {
        const testsupport::TsvTable table = testsupport::readTsv(
            dir.filePath(file),
            {QStringLiteral("name"), QStringLiteral("rule"), QStringLiteral("error"), QStringLiteral("timeoutMs")});
        QVERIFY2(table.error.isEmpty(), qPrintable(table.error));
        for (const testsupport::TsvRow &r : table.rows) {
            HostileRule row;
            bool numbers = true;
            row.rule = unescaped(r.cells[1]);
            row.error = r.cells[2].toInt(&numbers);
            if (numbers && !r.cells[3].isEmpty())
                row.timeoutMs = r.cells[3].toInt(&numbers);
            QVERIFY2(numbers && row.timeoutMs > 0, r.name(file).constData());
            QTest::newRow(r.name(file).constData()) << row;
        }
    }
}

// Compiles and evaluates on a thread of its own with a 256 KB stack, as a
// host's thread pool would.
void tst_HostileRules::expressionOnSmallStack()
{
    QFETCH(HostileRule, row);
    // -1: something other than nvtarnix::Error left evaluate().
    auto outcome = std::make_shared<std::atomic_int>(-2);
    const QString rule = row.rule;
    const int timeoutMs = row.timeoutMs;
    std::unique_ptr<QThread> thread(QThread::create([outcome, rule, timeoutMs] {
        nvtarnix::ExpressionOptions options;
        options.locale = QLocale(QLocale::English, QLocale::UnitedStates);
        options.timeoutMs = timeoutMs;
        try {
            nvtarnix::Expression::compile(rule, options).evaluate(QVariantList{});
            outcome->store(0);
        } catch (const nvtarnix::Error &e) {
            outcome->store(e.number());
        } catch (...) {
            outcome->store(-1);
        }
    }));
    thread->setStackSize(kSmallStack);
    const PeakMemory memory;
    QElapsedTimer clock;
    clock.start();
    thread->start();
    const bool finished = thread->wait(QDeadlineTimer(row.timeoutMs + kGraceMs));
    const qint64 elapsed = clock.elapsed();
    if (!finished) {
        // Give it a last while to end before the test leaves; a thread still
        // running when its QThread goes would take the program down.
        if (!thread->wait(QDeadlineTimer(60000)))
            qFatal("a hostile rule still runs a minute past its time limit");
        QFAIL(qPrintable(QStringLiteral("still running after %1 ms").arg(elapsed)));
    }
    QCOMPARE(outcome->load(), row.error);
    QVERIFY2(elapsed <= row.timeoutMs + kGraceMs, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));
    const qint64 peak = memory.peakKb();
    QVERIFY2(peak <= memory.startKb() + kBudgetKb + kSlackKb,
             qPrintable(QStringLiteral("peak %1 KB from %2 KB").arg(peak).arg(memory.startKb())));
}

// The check as the wizard's Check button makes it: a new ScriptControl, no
// UI, the time limit, Eval of the text.
void tst_HostileRules::wizardCheck()
{
    QFETCH(HostileRule, row);
    const PeakMemory memory;
    QElapsedTimer clock;
    clock.start();
    int number = 0;
    try {
        vbscript::ScriptControl engine;
        engine.setLanguage(QStringLiteral("VBScript"));
        engine.reset();
        engine.setAllowUI(false);
        engine.setUseSafeSubset(false);
        engine.setTimeout(row.timeoutMs);
        engine.eval(row.rule);
    } catch (const vbscript::ScriptError &e) {
        number = e.number();
    }
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(number, row.error);
    QVERIFY2(elapsed <= row.timeoutMs + kGraceMs, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));
    const qint64 peak = memory.peakKb();
    QVERIFY2(peak <= memory.startKb() + kBudgetKb + kSlackKb,
             qPrintable(QStringLiteral("peak %1 KB from %2 KB").arg(peak).arg(memory.startKb())));
}

// The real program over a one-row table, the rule on standard input. A row's
// failure is printed as "KEY<TAB>error<TAB>NUMBER<TAB>...", a rule that does
// not compile as "tarnix apply: error NUMBER: ..." with status 2.
void tst_HostileRules::tarnixApply()
{
    QFETCH(HostileRule, row);
    const qint64 peakBefore = childrenPeakKb();
    QProcess p;
    QElapsedTimer clock;
    clock.start();
    p.start(QStringLiteral(TARNIX_PROGRAM),
            {QStringLiteral("apply"), QStringLiteral("--database"), m_database, QStringLiteral("--table"),
             QStringLiteral("one"), QStringLiteral("--jobs"), QStringLiteral("1"), QStringLiteral("--locale"),
             QStringLiteral("en_US"), QStringLiteral("--timeout"), QString::number(row.timeoutMs),
             QStringLiteral("-")});
    QVERIFY(p.waitForStarted(10000));
    p.write(row.rule.toUtf8());
    p.closeWriteChannel();
    const bool finished = p.waitForFinished(int(row.timeoutMs + kGraceMs));
    const qint64 elapsed = clock.elapsed();
    if (!finished) {
        p.kill();
        p.waitForFinished(10000);
        QFAIL(qPrintable(QStringLiteral("still running after %1 ms").arg(elapsed)));
    }
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    const QString err = QString::fromUtf8(p.readAllStandardError());
    std::optional<int> number;
    const QStringList cells = out.section(QLatin1Char('\n'), 0, 0).split(QLatin1Char('\t'));
    if (cells.size() >= 3 && cells[0] == QLatin1String("1")) {
        number = cells[1] == QLatin1String("error") ? cells[2].toInt() : 0;
    } else {
        static const QRegularExpression failure(QStringLiteral("^tarnix apply: error (-?\\d+):"));
        const QRegularExpressionMatch m = failure.match(err);
        if (m.hasMatch())
            number = m.captured(1).toInt();
    }
    QVERIFY2(number, qPrintable(QStringLiteral("status %1: %2%3").arg(p.exitCode()).arg(out, err)));
    QCOMPARE(*number, row.error);
    QVERIFY2(elapsed <= row.timeoutMs + kGraceMs, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));
    // The peak of the largest child so far: only a rise in this case is its
    // own. The program itself, before any rule, takes well under 64 MB.
    const qint64 peak = childrenPeakKb();
    QVERIFY2(peak <= peakBefore || peak <= kProgramKb + kBudgetKb + kSlackKb,
             qPrintable(QStringLiteral("peak %1 KB").arg(peak)));
}

NVTARNIX_TEST_CLASS(tst_HostileRules)
#include "tst_hostilerules.moc"

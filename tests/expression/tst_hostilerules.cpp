// Rules written to take the host down, from hostile/*.tsv, each run the three
// ways a host runs one: nvtarnix::Expression on a thread with a 256 KB stack
// (a thread pool's), the wizard's check (the engine's ScriptControl as the
// check drives it) and `tarnix apply` over a one-row table. Each way must
// end in the row's error number (0: a value), having used no more processor
// time than the row's time limit and 1 s more, with the process's peak
// memory within the start plus the evaluation's budget plus 64 MB.
//
// Processor time, not the clock: on a loaded machine a rule that stops
// promptly at its deadline still takes longer by the clock, while one that
// runs past it uses processor time past it whatever the load. The clock only
// bounds how long a test waits before it calls a rule hung.
//
// A row: name, rule, error, timeoutMs (blank: 20000, for rows about stack,
// memory or answers, where the time limit must not come first even on a
// loaded machine). The rule is one
// expression in database form with no variables; \t, \n and \\ stand for a
// tab, a line end and a backslash.

#include <nvtarnix/Error.h>
#include <nvtarnix/Expression.h>

#include "check/ExpressionCheck.h"
#include "vbscript/ScriptControl.h"
#include "vbscript/ScriptError.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include "ProcessorClock.h"
#include "TestMain.h"
#include "TsvTable.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <malloc.h>

#include <atomic>
#include <memory>
#include <optional>

namespace {

constexpr qsizetype kSmallStack = 256 * 1024;
constexpr qint64 kGraceMs = 1000;
// The evaluation's memory budget and what may come on top of it.
constexpr qint64 kBudgetKb = 256 * 1024;
constexpr qint64 kSlackKb = 64 * 1024;
constexpr int kDefaultTimeoutMs = 20000;
// How long by the clock a run may take past its time limit before the test
// calls it hung, on a machine busy with other work.
constexpr qint64 kHangMs = 30000;
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

qint64 milliseconds(const timeval &t)
{
    return qint64(t.tv_sec) * 1000 + t.tv_usec / 1000;
}

// Processor time of the children the process has waited for, in ms.
qint64 childrenCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime);
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
    auto cpuMs = std::make_shared<std::atomic<qint64>>(0);
    const QString rule = row.rule;
    const int timeoutMs = row.timeoutMs;
    std::unique_ptr<QThread> thread(QThread::create([outcome, cpuMs, rule, timeoutMs] {
        const testsupport::ProcessorClock cpu;
        const auto measured = qScopeGuard([&] { cpuMs->store(cpu.elapsedMs()); });
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
    const bool finished = thread->wait(QDeadlineTimer(row.timeoutMs + kHangMs));
    const qint64 elapsed = clock.elapsed();
    if (!finished) {
        // Give it a last while to end before the test leaves; a thread still
        // running when its QThread goes would take the program down.
        if (!thread->wait(QDeadlineTimer(60000)))
            qFatal("a hostile rule still runs a minute past its time limit");
        QFAIL(qPrintable(QStringLiteral("still running after %1 ms").arg(elapsed)));
    }
    QCOMPARE(outcome->load(), row.error);
    QVERIFY2(cpuMs->load() <= row.timeoutMs + kGraceMs,
             qPrintable(QStringLiteral("%1 ms of processor time").arg(cpuMs->load())));
    const qint64 peak = memory.peakKb();
    QVERIFY2(peak <= memory.startKb() + kBudgetKb + kSlackKb,
             qPrintable(QStringLiteral("peak %1 KB from %2 KB").arg(peak).arg(memory.startKb())));
}

// The check as the wizard's Check button makes it: a new ScriptControl made
// ready by the check's own prepareCheckEngine, with the row's time limit in
// place of the check's, and Eval of the text.
void tst_HostileRules::wizardCheck()
{
    QFETCH(HostileRule, row);
    const PeakMemory memory;
    const testsupport::ProcessorClock cpu;
    int number = 0;
    try {
        vbscript::ScriptControl engine;
        nvtarnix::check::prepareCheckEngine(engine, row.timeoutMs);
        engine.eval(row.rule);
    } catch (const vbscript::ScriptError &e) {
        number = e.number();
    }
    const qint64 cpuMs = cpu.elapsedMs();
    QCOMPARE(number, row.error);
    QVERIFY2(cpuMs <= row.timeoutMs + kGraceMs, qPrintable(QStringLiteral("%1 ms of processor time").arg(cpuMs)));
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
    // A forked child inherits its parent's peak and counts the parent's
    // resident pages until it runs tarnix. So the memory the earlier cases
    // freed goes back first, and the child starts its peak afresh before it
    // runs tarnix; else the child's peak would be this program's.
    malloc_trim(0);
    const qint64 peakBefore = childrenPeakKb();
    const qint64 cpuBefore = childrenCpuMs();
    QProcess p;
    p.setChildProcessModifier([] {
        const int fd = ::open("/proc/self/clear_refs", O_WRONLY);
        if (fd >= 0) {
            [[maybe_unused]] const ssize_t written = ::write(fd, "5", 1);
            ::close(fd);
        }
    });
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
    const bool finished = p.waitForFinished(int(row.timeoutMs + kHangMs));
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
    const qint64 cpuMs = childrenCpuMs() - cpuBefore;
    QVERIFY2(cpuMs <= row.timeoutMs + kGraceMs, qPrintable(QStringLiteral("%1 ms of processor time").arg(cpuMs)));
    // The peak of the largest child so far: only a rise in this case is its
    // own. The program itself, before any rule, takes well under 64 MB.
    const qint64 peak = childrenPeakKb();
    QVERIFY2(peak <= peakBefore || peak <= kProgramKb + kBudgetKb + kSlackKb,
             qPrintable(QStringLiteral("peak %1 KB").arg(peak)));
}

NVTARNIX_TEST_CLASS(tst_HostileRules)
#include "tst_hostilerules.moc"

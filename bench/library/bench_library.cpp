// Cost of one call of the most used runtime-library functions on short
// values, measured through the registry the engine calls them by.
// Goals: every function under 500 ns per call, FormatNumber and DateAdd
// under 2 us.
#include "vbscript/Builtins.h"
#include "vbscript/ErrObject.h"
#include "vbscript/ScriptError.h"
#include "vbscript/ScriptControl.h"
#include "vbscript/ScriptLocale.h"

#include <QCoreApplication>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace vbscript;

namespace {

// Just enough engine for built-ins that neither run code nor show UI.
class BenchContext : public ExecContext
{
public:
    BenchContext() : m_err(sharedSettings()) { setLocale(ScriptLocale(QLocale(QLocale::English, QLocale::UnitedStates))); }
    bool allowUI() const override { return false; }
    const UiCallback &uiCallback() const override { return m_ui; }
    RndState &rnd() override { return m_rnd; }
    ErrObject &err() override { return m_err; }
    Variant evalString(const QString &) override { raise(err::PermissionDenied); }
    void execute(const QString &, bool) override { raise(err::PermissionDenied); }
    Variant getRef(const QString &) override { raise(err::PermissionDenied); }
    std::shared_ptr<Object> createObject(const QString &) override { raise(err::CantCreateObject); }
    bool useSafeSubset() const override { return true; }

private:
    UiCallback m_ui;
    RndState m_rnd;
    ErrObject m_err;
};

// CPU time of this thread: the machine is shared, and wall time would
// count the other processes' turns.
qint64 cpuNs()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

struct Case
{
    const char *name;
    std::vector<Variant> args;
    double goalNs;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    constexpr int kCalls = 1000000;
    BenchContext ctx;
    const BuiltinRegistry &registry = BuiltinRegistry::standard();
    std::vector<Case> cases = {
        {"Len", {Variant("hello world")}, 500},
        {"Mid", {Variant("hello world"), Variant(qint16(3)), Variant(qint16(4))}, 500},
        {"InStr", {Variant("hello world"), Variant("wor")}, 500},
        {"Replace", {Variant("a-b-c-d"), Variant("-"), Variant("+")}, 500},
        {"FormatNumber", {Variant(1234.5678)}, 2000},
        {"DateAdd", {Variant("d"), Variant(qint16(1)), Variant::date(36526.5)}, 2000},
        {"CStr", {Variant(3.25)}, 500},
    };
    int failures = 0;
    std::printf("%-14s %12s %10s\n", "function", "ns/call", "goal");
    for (Case &c : cases) {
        const BuiltinInfo *info = registry.find(QString::fromLatin1(c.name));
        if (!info) {
            std::printf("%-14s missing\n", c.name);
            ++failures;
            continue;
        }
        qint64 sink = 0;
        const qint64 begin = cpuNs();
        for (int i = 0; i < kCalls; ++i) {
            // The engine hands each call fresh copies of its arguments.
            std::vector<Variant> args = c.args;
            const Variant r = info->fn(ctx, std::span<Variant>(args));
            sink += r.varType();
        }
        const double ns = double(cpuNs() - begin) / kCalls;
        const bool ok = ns < c.goalNs;
        failures += ok ? 0 : 1;
        std::printf("%-14s %12.1f %10.0f %s\n", c.name, ns, c.goalNs, ok ? "ok" : "SLOW");
        if (sink == 0)
            std::printf("(no results)\n");
    }

    // The same calls inside a script loop, less the cost of the loop itself:
    // what an expression pays, argument evaluation and dispatch included.
    ScriptControl sc;
    sc.setLanguage(QStringLiteral("VBScript"));
    sc.setTimeout(-1);
    sc.setLocale(ScriptLocale(QLocale(QLocale::English, QLocale::UnitedStates)));
    sc.addCode(QStringLiteral("Dim s, d, x: s = \"hello world\": d = #1/1/2000 12:00#"));
    const auto timeLoop = [&](const QString &body) {
        const qint64 begin = cpuNs();
        sc.executeStatement(QStringLiteral("For i = 1 To %1: %2: Next").arg(kCalls).arg(body));
        return double(cpuNs() - begin) / kCalls;
    };
    const double loop = timeLoop(QStringLiteral("x = s"));
    const char *bodies[][2] = {
        {"Len", "x = Len(s)"},
        {"Mid", "x = Mid(s, 3, 4)"},
        {"InStr", "x = InStr(s, \"wor\")"},
        {"Replace", "x = Replace(\"a-b-c-d\", \"-\", \"+\")"},
        {"FormatNumber", "x = FormatNumber(1234.5678)"},
        {"DateAdd", "x = DateAdd(\"d\", 1, d)"},
        {"CStr", "x = CStr(3.25)"},
    };
    std::printf("\nin a script loop (loop alone %.1f ns per pass)\n", loop);
    std::printf("%-14s %12s\n", "function", "ns/call");
    for (const auto &b : bodies)
        std::printf("%-14s %12.1f\n", b[0], timeLoop(QString::fromLatin1(b[1])) - loop);
    return failures == 0 ? 0 : 1;
}

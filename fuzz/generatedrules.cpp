// Hostile rules built from the fuzzer's bytes rather than mutated as text:
// deep nesting of parentheses, calls, If and For; long operator and postfix
// chains; large repeats (String, Space, Replace, Join, Split, ReDim, nested
// arrays and Dictionaries); slow built-ins (InStr with crafted needles, case
// mapping, Format*); and Eval/Execute of generated text. Each rule runs as a
// host runs it (nvtarnix::Expression) or as the wizard's check does
// (ScriptControl), with a 2 ms time limit and a 16 MB budget, on a thread
// with the smallest stack a host may give it. A numbered error is an answer. Anything else is
// a finding: another exception, a crash, a sanitizer report, or a run that
// goes on long past its time limit. With GENERATED_RULES_SHOW set, each
// input's rule is written to standard error before it runs.

#include <nvtarnix/Error.h>
#include <nvtarnix/Expression.h>

#include "vbscript/ExecutionSettings.h"
#include "vbscript/ScriptControl.h"
#include "vbscript/ScriptError.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QVariant>

#include "FuzzInput.h"

#include <pthread.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace {

// Small bounds per rule: nearly every generated rule runs into one of them,
// and the run's cost is what it does before it does. A rule that meets its
// limit exercises the same checks at 2 ms and 16 MB as at 5 s and 256 MB,
// at a fraction of the cost per input.
constexpr int TimeLimitMs = 2;
constexpr qint64 BudgetBytes = 16 * 1024 * 1024;
// How long past its limit a run may take before it counts as a hang: the
// sanitizers slow everything, and a loaded machine more so.
constexpr int OverrunMs = 2000;
// The rule's text stays within this many characters however it was built.
constexpr qsizetype MostCharacters = 1 << 18;

#if defined(__SANITIZE_ADDRESS__)
#define GENERATED_RULES_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define GENERATED_RULES_ASAN 1
#endif
#endif
#ifdef GENERATED_RULES_ASAN
// Sanitized frames are several times larger than the engine's own.
constexpr size_t StackBytes = 1024 * 1024;
#else
constexpr size_t StackBytes = 256 * 1024;
#endif

[[noreturn]] void finding(const char *what, const QString &rule)
{
    std::fprintf(stderr, "generated rule: %s\n%.2000s\n", what, rule.toUtf8().constData());
    std::abort();
}

// VBScript text as a string literal: quotes doubled, line ends spliced in
// with vbLf, which a literal cannot hold.
QString quoted(const QString &text)
{
    // Each Eval inside an Eval doubles the quotes again: past the rule's
    // size, the text gives way to an empty one before it is copied.
    if (text.size() + text.count(QLatin1Char('"')) > MostCharacters)
        return QStringLiteral("\"\"");
    QStringList parts = text.split(QLatin1Char('\n'));
    for (QString &part : parts)
        part = QLatin1Char('"') + QString(part).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
    return parts.join(QLatin1String(" & vbLf & "));
}

// Writes one rule, every choice taken from the input's bytes.
class RuleWriter
{
public:
    explicit RuleWriter(FuzzInput &input) : m_in(input) {}

    QString rule() { return expression(0); }

private:
    FuzzInput &m_in;
    qsizetype m_written = 0;  // characters that repeats have produced so far

    int pick(int choices) { return m_in.number(0, choices - 1); }

    // Small most of the time, large now and then: the sizes around which
    // limits hold or break.
    int count()
    {
        switch (pick(4)) {
        case 0: return pick(4);
        case 1: return pick(100);
        case 2: return 1 << pick(18);
        default: return m_in.number(0, 200000);
        }
    }

    bool spent() const { return m_written > MostCharacters / 2; }

    // `unit` written `times` times with `separator` between, as far as the
    // rule's size allows.
    QString repeated(const QString &unit, int times, const QString &separator = QString())
    {
        const qsizetype each = unit.size() + separator.size() + 1;
        const qsizetype room = qMax<qsizetype>(0, (MostCharacters / 2 - m_written) / each);
        const qsizetype n = qMin<qsizetype>(times, room);
        m_written += n * each;
        // Built by Qt's doubling copy, not a list of n parts: a rule of a
        // hundred thousand links would otherwise spend more of the run being
        // written than being run.
        if (n == 0)
            return QString();
        return (unit + separator).repeated(n - 1) + unit;
    }

    QString leaf()
    {
        static const char *const leaves[] = {
            "1", "0", "-1", "2147483647", "-2147483648", "1E308", "4.9E-324", "0.5", "&HFFFF", "&H7FFFFFFF&",
            "CCur(\"-922337203685477.5808\")", "CCur(\"922337203685477.5807\")", "Null", "Empty", "Nothing",
            "True", "\"\"", "\"x\"", "\"\xce\xa9\xcf\x82\"", "#1/1/100#", "#12/31/9999#", "[a]", "[b]", "Array()",
            "Array(1, Array(2))", "CreateObject(\"Scripting.Dictionary\")", "Err", "vbLf", "ChrW(223)", "Now",
        };
        const int n = int(sizeof leaves / sizeof *leaves);
        const int i = pick(n + 1);
        if (i == n)
            return quoted(m_in.text().left(200));
        return QString::fromUtf8(leaves[i]);
    }

    QString binaryOperator()
    {
        static const char *const ops[] = {" + ", " - ", " * ", " / ", " \\ ", " Mod ", " ^ ", " & ", " = ",
                                          " <> ", " < ", " >= ", " And ", " Or ", " Xor ", " Eqv ", " Imp ",
                                          " Is "};
        return QString::fromLatin1(ops[pick(int(sizeof ops / sizeof *ops))]);
    }

    QString expression(int depth)
    {
        if (depth > 10 || spent())
            return leaf();
        switch (pick(14)) {
        case 0: return leaf();
        case 1: return QLatin1Char('(') + expression(depth + 1) + binaryOperator() + expression(depth + 1) + QLatin1Char(')');
        case 2: return (pick(2) ? QLatin1String("-") : QLatin1String("Not ")) + expression(depth + 1);
        case 3: {
            const int n = count();
            return repeated(QStringLiteral("("), n) + expression(depth + 1) + repeated(QStringLiteral(")"), n);
        }
        case 4: return repeated(QLatin1Char('(') + leaf() + QLatin1Char(')'), count() + 1, binaryOperator());
        case 5: return postfixChain();
        case 6: return nestedCalls(depth);
        case 7: return builtin(depth);
        case 8: return QStringLiteral("Eval(%1)").arg(quoted(expression(depth + 1)));
        case 9: return QStringLiteral("Execute(%1)").arg(quoted(statements(depth + 1)));
        case 10: return QStringLiteral("ExecuteGlobal(%1) & Eval(\"x\")").arg(quoted(statements(depth + 1)));
        case 11: return generatedByTheRule(depth);
        case 12: return slowBuiltin();
        default: return deepValue();
        }
    }

    // Postfix operators without end: calls on results, members of members.
    QString postfixChain()
    {
        const int n = count();
        switch (pick(4)) {
        case 0: return QStringLiteral("Array(1)") + repeated(QStringLiteral("(0)"), n);
        case 1: return QStringLiteral("Err") + repeated(QStringLiteral(".Number"), n);
        case 2: return QStringLiteral("CreateObject(\"Scripting.Dictionary\")") + repeated(QStringLiteral(".Count"), n);
        default: return repeated(QStringLiteral("Array("), n) + QLatin1Char('1') + repeated(QStringLiteral(")(0"), n) + QLatin1Char(')');
        }
    }

    QString nestedCalls(int depth)
    {
        static const char *const functions[] = {"Abs", "CStr", "Array", "Len", "UCase", "Trim", "CLng", "IsEmpty", "Eval", "TypeName"};
        const QString f = QString::fromLatin1(functions[pick(int(sizeof functions / sizeof *functions))]);
        const int n = count();
        return repeated(f + QLatin1Char('('), n) + expression(depth + 1) + repeated(QStringLiteral(")"), n);
    }

    // A built-in with generated arguments: E an expression, N a size.
    QString builtin(int depth)
    {
        struct Signature
        {
            const char *name;
            const char *args;
        };
        static const Signature table[] = {
            {"String", "NE"}, {"Space", "N"}, {"Replace", "EEE"}, {"Split", "EE"}, {"Join", "EE"}, {"InStr", "EE"},
            {"InStrRev", "EE"}, {"UCase", "E"}, {"LCase", "E"}, {"StrReverse", "E"}, {"Left", "EN"},
            {"Mid", "ENN"}, {"Filter", "EE"}, {"UBound", "E"}, {"FormatNumber", "EN"}, {"FormatCurrency", "EN"},
            {"FormatPercent", "EN"}, {"FormatDateTime", "EN"}, {"Round", "EN"}, {"Abs", "E"}, {"Fix", "E"},
            {"Int", "E"}, {"CCur", "E"}, {"Hex", "E"}, {"ChrW", "N"}, {"StrComp", "EEN"}, {"Escape", "E"},
            {"DateAdd", "EEE"},
        };
        const Signature &s = table[pick(int(sizeof table / sizeof *table))];
        QStringList args;
        for (const char *a = s.args; *a; ++a)
            args << (*a == 'N' ? QString::number(count()) : expression(depth + 1));
        return QStringLiteral("%1(%2)").arg(QLatin1String(s.name), args.join(QLatin1String(", ")));
    }

    // Text that the rule itself makes long, then evaluates: sizes far past
    // what its own length suggests.
    QString generatedByTheRule(int depth)
    {
        static const char *const pieces[] = {"+1", "(0)", ".Number", "&\"\"", "*1", ")+(1"};
        const QString piece = quoted(QString::fromLatin1(pieces[pick(int(sizeof pieces / sizeof *pieces))]));
        const int open = count(), chain = count(), outer = count();
        switch (pick(3)) {
        case 0:
            return QStringLiteral("Eval(String(%1, \"(\") & \"1\" & Replace(Space(%1), \" \", Replace(Space(%2), "
                                  "\" \", %3) & \")\"))")
                .arg(open)
                .arg(chain)
                .arg(piece);
        case 1:
            return QStringLiteral("Eval(\"1\" & Replace(Space(%1), \" \", %2))").arg(chain).arg(piece);
        default:
            return QStringLiteral("Execute(Replace(Space(%1), \" \", %2))")
                .arg(outer)
                .arg(quoted(statement(depth + 1) + QLatin1Char('\n')));
        }
    }

    // Built-ins whose cost grows faster than their text.
    QString slowBuiltin()
    {
        const int n = count(), m = count();
        switch (pick(6)) {
        case 0: return QStringLiteral("InStr(String(%1, \"a\") & \"b\", String(%2, \"a\") & \"b\")").arg(n).arg(m);
        case 1: return QStringLiteral("InStrRev(String(%1, \"ab\"), String(%2, \"a\") & \"c\", -1, 1)").arg(n).arg(m);
        case 2: return QStringLiteral("UCase(String(%1, ChrW(%2)))").arg(n).arg(QList<int>{223, 329, 912, 64256, 1415}[pick(5)]);
        case 3: return QStringLiteral("LCase(String(%1, ChrW(304)))").arg(n);
        case 4: return QStringLiteral("Join(Split(Space(%1), \" \"), Space(%2))").arg(n).arg(m);
        default: return QStringLiteral("FormatNumber(%1, %2)").arg(n).arg(m);
        }
    }

    // Values deep or wide in themselves: nested arrays and Dictionaries,
    // Dictionaries that hold themselves.
    QString deepValue()
    {
        const int n = count();
        switch (pick(4)) {
        case 0:
            return QStringLiteral("Eval(Execute(\"a = 1 : For i = 1 To %1 : a = Array(a) : Next\") & \"a\")").arg(n);
        case 1:
            return QStringLiteral("Execute(\"Set d = Nothing : For i = 1 To %1 : Set e = CreateObject(\"\"Scripting."
                                  "Dictionary\"\") : e.Add 1, d : Set d = e : Next\")")
                .arg(n);
        case 2:
            return QStringLiteral("Execute(\"Set d = CreateObject(\"\"Scripting.Dictionary\"\") : d.Add 1, d : "
                                  "d.Add 2, Space(%1)\")")
                .arg(n);
        default:
            return QStringLiteral("Execute(\"ReDim a(%1) : For i = 0 To %1 : a(i) = Space(%2) : Next\")")
                .arg(n)
                .arg(count());
        }
    }

    QString statements(int depth)
    {
        QStringList lines;
        for (int n = 1 + pick(4); n > 0; --n)
            lines << statement(depth);
        return lines.join(QLatin1Char('\n'));
    }

    QString statement(int depth)
    {
        if (depth > 10 || spent())
            return QStringLiteral("x = ") + leaf();
        switch (pick(12)) {
        case 0: return QStringLiteral("x = ") + expression(depth + 1);
        case 1: {
            const int n = count();
            return repeated(QStringLiteral("If True Then\n"), n) + statements(depth + 1) + QLatin1Char('\n')
                 + repeated(QStringLiteral("End If"), n, QStringLiteral("\n"));
        }
        case 2: {
            const int n = qMin(count(), 2000);
            QString open, close;
            for (int i = 0; i < n && !spent(); ++i, m_written += 30) {
                open += QStringLiteral("For i%1 = 1 To 2\n").arg(i);
                close += QStringLiteral("\nNext");
            }
            return open + statements(depth + 1) + close;
        }
        case 3: return QStringLiteral("Do While %1\n%2\nLoop").arg(expression(depth + 1), statements(depth + 1));
        case 4: return QStringLiteral("ReDim a(%1, %2)").arg(count()).arg(count());
        case 5: return QStringLiteral("For i = 1 To %1 : s = s & String(%2, \"x\") : Next").arg(count()).arg(count());
        case 6:
            return QStringLiteral("Class C%1\nSub Class_Terminate\n%2\nEnd Sub\nEnd Class\nSet o = New C%1\nSet o = Nothing")
                .arg(pick(1000))
                .arg(statements(depth + 1));
        case 7:
            return QStringLiteral("Function F(n)\nIf n > 0 Then F = F(n - 1) + 1\nEnd Function\nx = F(%1)").arg(count());
        case 8: return QStringLiteral("Execute %1").arg(quoted(statements(depth + 1)));
        case 9: return QStringLiteral("x = Eval(%1)").arg(quoted(expression(depth + 1)));
        case 10:
            return QStringLiteral("Set d = CreateObject(\"Scripting.Dictionary\")\nFor i = 1 To %1\nd.Add i, Space(%2)\nNext")
                .arg(count())
                .arg(count());
        default: return QStringLiteral("x = Join(Array(%1), %2)").arg(expression(depth + 1), expression(depth + 1));
        }
    }
};

struct Job
{
    QString rule;
    QVariantList values;
    bool asCheck = false;
    bool greek = false;
};

vbscript::Limits checkLimits()
{
    vbscript::Limits limits;
    limits.maxStringLength = 1 << 20;
    limits.maxArrayElements = 1 << 20;
    limits.memoryBudget = BudgetBytes;
    return limits;
}

void run(const Job &job)
{
    QElapsedTimer clock;
    try {
        if (job.asCheck) {
            vbscript::ScriptControl sc;
            sc.setLanguage(QStringLiteral("VBScript"));
            sc.setAllowUI(false);
            sc.setTimeout(TimeLimitMs);
            sc.setLimits(checkLimits());
            clock.start();
            (void)sc.eval(job.rule);
        } else {
            nvtarnix::ExpressionOptions options;
            options.locale = job.greek ? QLocale(QLocale::Greek, QLocale::Greece) : QLocale::c();
            options.timeoutMs = TimeLimitMs;
            options.memoryBudget = BudgetBytes;
            const auto expression = nvtarnix::Expression::compile(job.rule, options);
            clock.start();
            (void)expression.evaluate(job.values);
        }
    } catch (const nvtarnix::Error &e) {
        if (e.number() == 0)
            finding("an error without a number", job.rule);
    } catch (const vbscript::ScriptError &e) {
        if (e.number() == 0)
            finding("an error without a number", job.rule);
    } catch (const std::exception &e) {
        finding(e.what(), job.rule);
    } catch (...) {
        finding("an exception that is no numbered error", job.rule);
    }
    if (clock.isValid() && clock.elapsed() > TimeLimitMs + OverrunMs)
        finding("ran long past its time limit", job.rule);
}

void *runOnThread(void *job)
{
    run(*static_cast<const Job *>(job));
    return nullptr;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    Job job;
    job.asCheck = input.flag();
    job.greek = input.flag();
    job.values = {QVariant(input.number(-5, 100)), QVariant(QString::fromUtf8("\xce\xb1") + input.text().left(100))};
    RuleWriter writer(input);
    job.rule = writer.rule();
    if (job.rule.size() > MostCharacters)
        return 0;
    // The rule an input stands for, to read a finding by.
    static const bool show = qEnvironmentVariableIsSet("GENERATED_RULES_SHOW");
    if (show)
        std::fprintf(stderr, "%s %s: %.4000s\n", job.asCheck ? "check" : "rule", job.greek ? "el-GR" : "C",
                     job.rule.toUtf8().constData());

    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, StackBytes);
    pthread_t thread;
    if (pthread_create(&thread, &attributes, runOnThread, &job) != 0)
        std::abort();
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    return 0;
}

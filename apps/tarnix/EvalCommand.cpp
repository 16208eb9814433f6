// tarnix eval: one expression a line from standard input, each evaluated in a
// fresh engine, one result line each on standard output; exit status 1 when
// any line failed.

#include "CommandOptions.h"
#include "Commands.h"
#include "InputLines.h"

#include "support/TextDecoding.h"

#include "vbscript/ScriptControl.h"
#include "vbscript/ValueText.h"

#include <QTextStream>

#include <unistd.h>
#include <utility>

int runEvalCommand(const QStringList &args)
{
    const QString synopsis = QStringLiteral("[--locale NAME]");
    vbscript::ScriptLocale locale;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] != QLatin1String("--locale"))
            return tarnixcli::failUsage(QStringLiteral("eval"), synopsis,
                                        QStringLiteral("unexpected argument \"%1\"").arg(args[i]));
        if (i + 1 == args.size())
            return tarnixcli::failUsage(QStringLiteral("eval"), synopsis,
                                        QStringLiteral("--locale needs a locale name"));
        bool ok = false;
        locale = vbscript::ScriptLocale::fromName(args[++i], &ok);
        if (!ok)
            return tarnixcli::failUsage(QStringLiteral("eval"), synopsis,
                                        QStringLiteral("unknown locale \"%1\"").arg(args[i]));
    }
    // Lines are read as run reads a script: UTF-8, a mark at the start of the
    // input dropped, lines ended by CR LF, LF or CR alone, and a byte that is
    // not UTF-8 refused where it lies rather than read as something else.
    tarnixcli::InputLines in(STDIN_FILENO);
    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    QByteArray bytes;
    bool firstLine = true;
    bool failed = false;
    while (in.next(bytes)) {
        if (std::exchange(firstLine, false) && bytes.startsWith("\xEF\xBB\xBF"))
            bytes.remove(0, 3);
        vbscript::ScriptControl sc;
        sc.setLanguage(QStringLiteral("VBScript"));
        sc.setAllowUI(false);
        sc.setLocale(locale);
        try {
            const qsizetype bad = nvtarnix::firstInvalidUtf8(bytes);
            if (bad >= 0)
                throw vbscript::ScriptError::compile(vbscript::err::InvalidCharacter, 1,
                                                     int(QString::fromUtf8(bytes.first(bad)).size()));
            out << vbscript::ValueText::resultLine(sc.eval(QString::fromUtf8(bytes))) << '\n';
        } catch (const vbscript::ScriptError &e) {
            failed = true;
            out << vbscript::ValueText::errorLine(e) << '\n';
        } catch (const std::bad_alloc &) {
            failed = true;
            // Writing out a result the run was allowed to make.
            out << vbscript::ValueText::errorLine(vbscript::ScriptError::runtime(vbscript::err::OutOfMemory)) << '\n';
        }
        out.flush();
    }
    // A caller running a batch learns from the status alone that a line failed.
    return failed ? 1 : 0;
}

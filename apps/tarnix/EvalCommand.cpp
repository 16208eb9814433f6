// tarnix eval: one expression a line from standard input, each evaluated in a
// fresh engine, one result line each on standard output.

#include "CommandOptions.h"
#include "Commands.h"

#include "vbscript/ScriptControl.h"
#include "vbscript/ValueText.h"

#include <QFile>
#include <QTextStream>

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
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return 1;
    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    for (;;) {
        const QByteArray bytes = in.readLine();
        if (bytes.isEmpty())
            break;  // end of input (an empty line still holds its '\n')
        QString line = QString::fromUtf8(bytes);
        while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        vbscript::ScriptControl sc;
        sc.setLanguage(QStringLiteral("VBScript"));
        sc.setAllowUI(false);
        sc.setLocale(locale);
        try {
            out << vbscript::ValueText::resultLine(sc.eval(line)) << '\n';
        } catch (const vbscript::ScriptError &e) {
            out << vbscript::ValueText::errorLine(e) << '\n';
        } catch (const std::bad_alloc &) {
            // Writing out a result the run was allowed to make.
            out << vbscript::ValueText::errorLine(vbscript::ScriptError::runtime(vbscript::err::OutOfMemory)) << '\n';
        }
        out.flush();
    }
    return 0;
}

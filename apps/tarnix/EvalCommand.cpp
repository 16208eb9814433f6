// tarnix eval: one expression a line from standard input, each evaluated in a
// fresh engine, one result line each on standard output.

#include "Commands.h"

#include "vbscript/ScriptControl.h"
#include "vbscript/ValueText.h"

#include <QFile>
#include <QTextStream>

int runEvalCommand(const QStringList &args)
{
    vbscript::ScriptLocale locale;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--locale") && i + 1 < args.size()) {
            bool ok = false;
            locale = vbscript::ScriptLocale::fromName(args[++i], &ok);
            if (!ok) {
                QTextStream(stderr) << "tarnix eval: unknown locale '" << args[i] << "'\n";
                return 2;
            }
        } else {
            QTextStream(stderr) << "usage: tarnix eval [--locale NAME]\n";
            return 2;
        }
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
        }
        out.flush();
    }
    return 0;
}

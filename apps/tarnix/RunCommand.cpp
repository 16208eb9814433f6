// tarnix run: runs a .vbs file as the Windows console script host does, with
// a global WScript object.

#include "CommandOptions.h"
#include "Commands.h"

#include "support/TextDecoding.h"

#include "vbscript/ScriptControl.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {

// WScript.Quit unwinds the script; it is no script error, so On Error does
// not catch it.
struct QuitRequest
{
    int code;
};


bool is(const QString &a, const char *b)
{
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

class ArgumentsObject : public vbscript::Object
{
public:
    ArgumentsObject(vbscript::ScriptControl &sc, QStringList args) : m_sc(sc), m_args(std::move(args)) {}
    QString typeName() const override { return QStringLiteral("IWshArguments2"); }
    vbscript::Variant get(const QString &name, std::span<vbscript::Variant> args) override
    {
        if (is(name, "Count") || is(name, "Length")) {
            if (!args.empty())
                throw vbscript::ScriptError::runtime(vbscript::err::WrongNumberOfArguments);
            return vbscript::Variant(qint32(m_args.size()));
        }
        if (name.isEmpty() || is(name, "Item")) {
            if (args.size() != 1)
                throw vbscript::ScriptError::runtime(vbscript::err::WrongNumberOfArguments);
            const qint32 i = args[0].toLong(m_sc.runSettings().locale);
            if (i < 0 || i >= m_args.size())
                throw vbscript::ScriptError::runtime(vbscript::err::SubscriptOutOfRange);
            return vbscript::Variant(m_args[i]);
        }
        throw vbscript::ScriptError::runtime(vbscript::err::ObjectDoesntSupportProperty, name);
    }
    std::vector<vbscript::Variant> enumerate() override
    {
        std::vector<vbscript::Variant> out;
        for (const QString &a : m_args)
            out.emplace_back(a);
        return out;
    }

private:
    vbscript::ScriptControl &m_sc;
    QStringList m_args;
};

class WScriptObject : public vbscript::Object
{
public:
    // `sc` runs the script: values print as its runs convert them.
    WScriptObject(vbscript::ScriptControl &sc, const QFileInfo &file, QStringList args)
        : m_sc(sc), m_file(file), m_arguments(std::make_shared<ArgumentsObject>(sc, std::move(args))) {}
    QString typeName() const override { return QStringLiteral("Object"); }
    vbscript::Variant get(const QString &name, std::span<vbscript::Variant> args) override
    {
        if (is(name, "Echo")) {
            QStringList parts;
            for (const vbscript::Variant &a : args)
                parts << (a.isNull() ? QString() : a.toString(m_sc.runSettings().locale));
            QTextStream out(stdout);
            out.setEncoding(QStringConverter::Utf8);
            out << parts.join(QLatin1Char(' ')) << '\n';
            return vbscript::Variant();
        }
        if (is(name, "Quit"))
            throw QuitRequest{args.empty() || args[0].isMissing() ? 0 : int(args[0].toLong(m_sc.runSettings().locale))};
        if (is(name, "Arguments")) {
            if (!args.empty())  // WScript.Arguments(0)
                return m_arguments->get(QString(), args);
            return vbscript::Variant(std::static_pointer_cast<vbscript::Object>(m_arguments));
        }
        if (is(name, "ScriptName"))
            return vbscript::Variant(m_file.fileName());
        if (is(name, "ScriptFullName"))
            return vbscript::Variant(m_file.absoluteFilePath());
        if (is(name, "Name"))
            return vbscript::Variant(QStringLiteral("Windows Script Host"));
        throw vbscript::ScriptError::runtime(vbscript::err::ObjectDoesntSupportProperty, name);
    }

private:
    vbscript::ScriptControl &m_sc;
    QFileInfo m_file;
    std::shared_ptr<ArgumentsObject> m_arguments;
};

const QString RunSynopsis = QStringLiteral("[--encoding NAME] FILE.vbs [ARGS...]");

int fail(int number, const QString &description)
{
    QTextStream err(stderr);
    err.setEncoding(QStringConverter::Utf8);
    err << "tarnix run: error " << number << ": " << description << '\n';
    return 2;
}

} // namespace

int runRunCommand(const QStringList &args)
{
    // Options come before the script's path; whatever follows it is the
    // script's own arguments, dashes and all.
    QString encoding;
    qsizetype i = 0;
    for (; i < args.size() && args[i].startsWith(QLatin1Char('-')); ++i) {
        if (args[i] != QLatin1String("--encoding"))
            return tarnixcli::failUsage(QStringLiteral("run"), RunSynopsis,
                                        QStringLiteral("unknown option \"%1\"").arg(args[i]));
        if (++i == args.size())
            return tarnixcli::failUsage(QStringLiteral("run"), RunSynopsis,
                                        QStringLiteral("--encoding needs an encoding name"));
        encoding = args[i];
    }
    if (i == args.size())
        return tarnixcli::failUsage(QStringLiteral("run"), RunSynopsis,
                                    QStringLiteral("the script file is missing"));
    const QString path = args[i];
    const QStringList scriptArguments = args.mid(i + 1);

    QFile file(path);
    if (!QFileInfo::exists(path))
        return fail(nvtarnix::errors::FileNotFound, QStringLiteral("File not found: %1").arg(path));
    if (!file.open(QIODevice::ReadOnly))
        return fail(nvtarnix::errors::FileAccess,
                    QStringLiteral("Path/File access error: %1: %2").arg(path, file.errorString()));

    // A script without a byte order mark is UTF-8 unless --encoding names the
    // code page it was saved in; a byte that is not text in it stops the run
    // before any of the script does.
    const nvtarnix::DecodedText decoded = nvtarnix::decodeText(file.readAll(), encoding);
    if (decoded.outcome == nvtarnix::DecodedText::UnknownEncoding)
        return tarnixcli::failUsage(QStringLiteral("run"), RunSynopsis,
                                    QStringLiteral("unknown encoding \"%1\"").arg(encoding));
    if (decoded.outcome == nvtarnix::DecodedText::Undecodable)
        return fail(vbscript::err::InvalidCharacter,
                    QStringLiteral("Invalid character: %1 is not %2 text at line %3, column %4%5")
                        .arg(path, decoded.encoding)
                        .arg(decoded.line)
                        .arg(decoded.column)
                        .arg(encoding.isEmpty() ? QStringLiteral(" (name its encoding with "
                                                                 "--encoding, e.g. windows-1253)")
                                                : QString()));
    const QString source = decoded.text;

    vbscript::ScriptControl sc;
    sc.setLanguage(QStringLiteral("VBScript"));
    sc.setAllowUI(false);
    sc.setTimeout(-1);
    sc.addObject(QStringLiteral("WScript"), std::make_shared<WScriptObject>(sc, QFileInfo(path), scriptArguments));
    try {
        sc.addCode(source);
    } catch (const QuitRequest &q) {
        return q.code;
    } catch (const vbscript::ScriptError &e) {
        // As the console host reports it: the column counted from 1.
        QTextStream err(stderr);
        err.setEncoding(QStringConverter::Utf8);
        err << path << '(' << e.line() << ", " << e.column() + 1 << ") " << e.source() << ": "
            << e.description() << '\n';
        return 1;
    }
    return 0;
}

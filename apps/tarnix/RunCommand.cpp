// tarnix run: runs a .vbs file as the Windows console script host does, with
// a global WScript object.

#include "Commands.h"

#include "vbscript/ScriptControl.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
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

QString readScript(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        auto decode = QStringDecoder(bytes.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE
                                                                  : QStringConverter::Utf16BE);
        return decode(bytes.mid(2));
    }
    auto utf8 = QStringDecoder(QStringConverter::Utf8);
    QString text = utf8(bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);  // an ANSI script
    return text;
}

} // namespace

int runRunCommand(const QStringList &args)
{
    if (args.isEmpty()) {
        QTextStream(stderr) << "usage: tarnix run FILE.vbs [ARGS...]\n";
        return 2;
    }
    const QString path = args.first();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        QTextStream(stderr) << "tarnix run: cannot open " << path << '\n';
        return 2;
    }
    const QString source = readScript(file.readAll());

    vbscript::ScriptControl sc;
    sc.setLanguage(QStringLiteral("VBScript"));
    sc.setAllowUI(false);
    sc.setTimeout(-1);
    sc.addObject(QStringLiteral("WScript"), std::make_shared<WScriptObject>(sc, QFileInfo(path), args.mid(1)));
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

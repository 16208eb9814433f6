// Writes the function catalog the editor shows (the component's built-in
// list, Function catalog XML) from the engine's registry of built-ins, at
// build time: make_function_catalog OUTPUT.xml
//
// The text is plain ASCII with CR LF line ends and tab indentation and no XML
// declaration, as hosts have always read it. Each function's declaration is
// its name and its parameters; the long declaration gives every parameter
// and the result " as Variant". The build fails when the registry's places
// leave a gap or name one twice.

#include "vbscript/Builtins.h"

#include <QFile>
#include <QStringList>

#include <cstdio>

using namespace vbscript;

namespace {

QString longDeclaration(const QString &name, const QString &parameters)
{
    QStringList typed;
    for (const QString &p : parameters.split(QStringLiteral(", "), Qt::SkipEmptyParts))
        typed << p + QStringLiteral(" as Variant");
    return name + QLatin1Char('(') + typed.join(QStringLiteral(", ")) + QStringLiteral(") as Variant");
}

// The catalog's lines, or an empty list with a message on standard error
// when the places are not 1, 2, ... in each group.
QStringList catalogLines(const std::vector<CatalogListing> &listings)
{
    QStringList out = {QStringLiteral("<TypeLib name=\"VBScript_Global\">"), QStringLiteral("\t<Interfaces>")};
    CatalogGroup group = CatalogGroup::Unlisted;
    int expected = 0;
    for (const CatalogListing &l : listings) {
        if (l.entry.group != group) {
            if (group != CatalogGroup::Unlisted)
                out << QStringLiteral("\t\t\t</Functions>") << QStringLiteral("\t\t</Interface>");
            group = l.entry.group;
            expected = 1;
            const CatalogGroupInfo info = catalogGroupInfo(group);
            out << QStringLiteral("\t\t<Interface name=\"%1\" description=\"%2\" visible=\"-1\">")
                       .arg(QLatin1String(info.key), QLatin1String(info.caption))
                << QStringLiteral("\t\t\t<Functions>");
        }
        if (l.entry.position != expected++) {
            std::fprintf(stderr, "make_function_catalog: %s has place %d in its group, %d expected\n",
                         qPrintable(l.name), l.entry.position, expected - 1);
            return {};
        }
        const QString parameters = QLatin1String(l.entry.parameters);
        out << QStringLiteral("\t\t\t\t<Function name=\"%1\" declaration=\"%1(%2)\" declarationext=\"%3\" "
                              "helpstring=\"\" visible=\"-1\"/>")
                   .arg(l.name, parameters, longDeclaration(l.name, parameters));
    }
    out << QStringLiteral("\t\t\t</Functions>") << QStringLiteral("\t\t</Interface>")
        << QStringLiteral("\t</Interfaces>") << QStringLiteral("</TypeLib>");
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_function_catalog OUTPUT.xml\n");
        return 2;
    }
    const QStringList lines = catalogLines(BuiltinRegistry::standard().catalog());
    if (lines.isEmpty())
        return 1;
    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "make_function_catalog: cannot write %s\n", argv[1]);
        return 1;
    }
    out.write((lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1());
    return out.error() == QFileDevice::NoError ? 0 : 1;
}

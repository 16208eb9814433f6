#include "DemoStart.h"

#include <nvtarnix/Language.h>

#include <QCoreApplication>

#include <cstdio>

namespace tarnixdemo {

void nameApplication()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Tarnix"));
    QCoreApplication::setApplicationName(QStringLiteral("tarnix-demo"));
}

QCommandLineOption languageOption()
{
    return QCommandLineOption(QStringLiteral("language"), QStringLiteral("1032 Greek or 1033 English."),
                              QStringLiteral("ID"));
}

std::optional<int> chosenLanguage(const QCommandLineParser &parser, const QCommandLineOption &option,
                                  const char *program)
{
    if (!parser.isSet(option))
        return 0;
    const int language = parser.value(option).toInt();
    if (language == nvtarnix::GreekLanguage || language == nvtarnix::EnglishLanguage)
        return language;
    std::fprintf(stderr, "%s: --language must be 1032 (Greek) or 1033 (English), not \"%s\"\n", program,
                 qPrintable(parser.value(option)));
    return std::nullopt;
}

} // namespace tarnixdemo

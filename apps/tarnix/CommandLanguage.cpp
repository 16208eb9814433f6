// --language of the schema commands. Apart from CommandOptions.cpp because
// choosing the language is the component's: the program itself, which only
// evaluates, does not link it.

#include "CommandOptions.h"

#include <nvtarnix/Language.h>

namespace tarnixcli {

void CommandOptions::applyLanguage() const
{
    if (!m_parser.isSet(QStringLiteral("language")))
        return;
    const QString text = m_parser.value(QStringLiteral("language"));
    int language = 0;
    if (text == QLatin1String("1032") || text.compare(QLatin1String("el"), Qt::CaseInsensitive) == 0)
        language = nvtarnix::GreekLanguage;
    else if (text == QLatin1String("1033") || text.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0)
        language = nvtarnix::EnglishLanguage;
    else
        throw UsageProblem(QStringLiteral("--language must be 1032 (el) or 1033 (en), not \"%1\"").arg(text));
    nvtarnix::setUserInterfaceLanguage(language);
}

} // namespace tarnixcli

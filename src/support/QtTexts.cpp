#include "support/QtTexts.h"

#include <nvtarnix/Language.h>

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace nvtarnix {

QtTexts::QtTexts(int language)
{
    // Without an application there is nothing to translate; English is Qt's own.
    if (!QCoreApplication::instance() || language != GreekLanguage)
        return;
    const QLocale greek(QLocale::Greek, QLocale::Greece);
    // Translators installed later are asked first: Qt's own, then ours.
    const QString sources[][3] = {
        {QStringLiteral("qtbase"), QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)},
        {QStringLiteral("qt"), QStringLiteral("_"), QStringLiteral(":/translations")},
    };
    for (const auto &source : sources) {
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(greek, source[0], source[1], source[2]) && QCoreApplication::installTranslator(translator.get()))
            m_installed.push_back(std::move(translator));
    }
}

QtTexts::~QtTexts()
{
    for (auto it = m_installed.rbegin(); it != m_installed.rend(); ++it)
        QCoreApplication::removeTranslator(it->get());
}

} // namespace nvtarnix

#include "support/MlStringService.h"

#include "support/StringTable.h"

#include <nvtarnix/Language.h>

#include <QtGlobal>

namespace nvtarnix {

namespace {

struct ServiceState
{
    bool ready = false;
    qint16 language = 0;
};

qint16 languageFromEnvironment()
{
    bool ok = false;
    const int language = qEnvironmentVariableIntValue("NVTARNIX_LANGUAGE", &ok);
    if (!ok || language < 0 || language > 0x7fff)
        return 0;
    return qint16(language);
}

// One state per thread, shared by the thread's service objects.
ServiceState &state()
{
    thread_local ServiceState s{false, languageFromEnvironment()};
    return s;
}

} // namespace

void MlStringService::Prepare()
{
    StringTable::instance();
    state().ready = true;
}

bool MlStringService::IsReady() const
{
    return state().ready;
}

qint16 MlStringService::CurrentLanguage() const
{
    return state().language;
}

void MlStringService::setCurrentLanguage(qint16 language)
{
    state().language = language;
}

QString MlStringService::GetString(const QString &appKey, const QString &stringKey) const
{
    if (appKey != QLatin1String("nvTarnix") || !stringKey.startsWith(QLatin1Char('x')))
        return {};
    bool ok = false;
    const int id = QStringView(stringKey).mid(1).toInt(&ok);
    // Keys are written without blanks, signs or leading zeros.
    if (!ok || QStringLiteral("x%1").arg(id) != stringKey)
        return {};
    const auto &table = StringTable::instance();
    const int language = table.hasLanguage(state().language) ? state().language : EnglishLanguage;
    return table.text(id, language);
}

} // namespace nvtarnix

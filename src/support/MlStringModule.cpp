#include "support/MlStringModule.h"

#include "support/FailureHandling.h"
#include "support/MlStringService.h"

#include <nvtarnix/Language.h>

#include <memory>

namespace nvtarnix {

namespace {

struct ModuleState
{
    int language = 0;
    std::unique_ptr<MlStringService> service;
};

ModuleState &module()
{
    thread_local ModuleState state;
    return state;
}

MlStringService &service()
{
    auto &m = module();
    if (!m.service)
        m.service = std::make_unique<MlStringService>();
    return *m.service;
}

} // namespace

void InitLanguage(int language)
{
    auto &m = module();
    if (language > 0)
        m.language = language;
    auto &s = service();
    if (const int held = s.CurrentLanguage(); held != 0) {
        m.language = held;
    } else {
        if (m.language == 0)
            m.language = GreekLanguage;
        s.setCurrentLanguage(qint16(m.language));
    }
    if (!s.IsReady())
        s.Prepare();
}

int CurrentLanguage()
{
    return module().language;
}

QString GetMlString(int id, const QString &defaultText)
{
    InitLanguage(0);
    const QString text = service().GetString(QStringLiteral("nvTarnix"), QStringLiteral("x%1").arg(id));
    return text.isEmpty() ? defaultText : text;
}

QString GetMlStringOrDefault(int id, const QString &defaultText) noexcept
{
    try {
        return GetMlString(id, defaultText);
    } catch (...) {
        logSkippedFailure();
        return defaultText;
    }
}

} // namespace nvtarnix

#include "support/ComponentErrors.h"

namespace nvtarnix {

namespace {

enum class Source { Component, Class };

struct Entry
{
    ComponentError error;
    Source source;
    const char *text;
};

constexpr Entry kEntries[] = {
#define NVTARNIX_COMPONENT_ERROR(name, source, text) {ComponentError::name, Source::source, text},
    NVTARNIX_COMPONENT_ERRORS(NVTARNIX_COMPONENT_ERROR)
#undef NVTARNIX_COMPONENT_ERROR
};

const Entry &entryOf(ComponentError error)
{
    for (const Entry &e : kEntries)
        if (e.error == error)
            return e;
    return kEntries[0];  // not reached: every enumerator has its entry
}

} // namespace

QString componentSource()
{
    return QStringLiteral("nvTarnix");
}

Error componentError(ComponentError error, const QString &detail)
{
    const Entry &e = entryOf(error);
    QString text = QString::fromLatin1(e.text);
    if (!detail.isEmpty())
        text += QStringLiteral(": ") + detail;
    const QString source = e.source == Source::Class ? componentSource() + QStringLiteral(".class")
                                                     : componentSource();
    return Error(int(error), source, text);
}

} // namespace nvtarnix

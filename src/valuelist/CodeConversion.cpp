#include "valuelist/CodeConversion.h"

#include <nvtarnix/Error.h>

#include "support/EngineError.h"
#include "support/HostNumberLocale.h"
#include "vbscript/ScriptError.h"
#include "vbscript/Variant.h"

namespace nvtarnix {

namespace {

template<typename Conversion>
auto convertOrRaise(Conversion conversion)
{
    try {
        return conversion();
    } catch (const vbscript::ScriptError &error) {
        throw hostError(error);
    }
}

} // namespace

// A code is the host's data: the list shows and reads it the same in every
// locale, as an expression writes it.
qint32 codeToLong(const QVariant &value)
{
    return convertOrRaise([&] { return qint32(vbscript::Variant::fromQVariant(value).toLong(hostNumberLocale())); });
}

QString valueToText(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QString();
    return convertOrRaise([&] { return vbscript::Variant::fromQVariant(value).toString(hostNumberLocale()); });
}

} // namespace nvtarnix

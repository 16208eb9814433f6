#include "component/VariableNumber.h"

#include <nvtarnix/Error.h>

#include "support/ComponentErrors.h"
#include "support/EngineError.h"
#include "support/HostNumberLocale.h"
#include "vbscript/ScriptError.h"
#include "vbscript/Variant.h"

namespace nvtarnix {

int VariableNumber(const QString &text)
{
    // One set of conversion rules for the whole product: the engine's, in
    // the locale of the host's data rather than the user's.
    try {
        return vbscript::Variant(text).toLong(hostNumberLocale());
    } catch (const vbscript::ScriptError &e) {
        throw hostError(e, componentSource());
    }
}

} // namespace nvtarnix

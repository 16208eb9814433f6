#include "support/HostNumberLocale.h"

#include "vbscript/ScriptLocale.h"

namespace nvtarnix {

const vbscript::ScriptLocale &hostNumberLocale()
{
    static const vbscript::ScriptLocale locale{QLocale::c()};
    return locale;
}

} // namespace nvtarnix

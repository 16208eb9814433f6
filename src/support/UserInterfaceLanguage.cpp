#include <nvtarnix/Language.h>

#include <nvtarnix/Error.h>

#include "support/ComponentErrors.h"
#include "support/MlStringModule.h"
#include "support/MlStringService.h"

#include <limits>

namespace nvtarnix {

int userInterfaceLanguage()
{
    // The string service may hold a language nobody has settled yet (from
    // the environment, or another client of the service): settle it first.
    InitLanguage(0);
    return CurrentLanguage();
}

void setUserInterfaceLanguage(int language)
{
    // The service keeps the language as a 16-bit id.
    if (language <= 0 || language > std::numeric_limits<qint16>::max())
        throw componentError(ComponentError::InvalidProcedureCall,
                             QStringLiteral("%1 is not a language id").arg(language));
    // The language the service holds wins over any other choice, so it is
    // the service that takes the new one.
    MlStringService().setCurrentLanguage(qint16(language));
    InitLanguage(0);
}

} // namespace nvtarnix

#include <nvtarnix/Error.h>

#include "vbscript/ScriptError.h"

namespace nvtarnix {

// The engine keeps each text in both languages; the error it became keeps
// the English one, as scripts read it, so the text is found again by number.
QString Error::descriptionIn(int language) const
{
    return vbscript::ScriptError(m_number, m_description, m_source).descriptionIn(language);
}

} // namespace nvtarnix

#include "support/EngineError.h"

#include "vbscript/ScriptError.h"

namespace nvtarnix {

// A host compares the time limit by the public name; the engine raises its own.
static_assert(int(errors::TimeLimitReached) == int(vbscript::err::TimeLimitReached));
static_assert(int(errors::TypeMismatch) == int(vbscript::err::TypeMismatch));
static_assert(int(errors::InvalidProcedureCall) == int(vbscript::err::InvalidProcedureCall));

Error hostError(const vbscript::ScriptError &error)
{
    return hostError(error, error.source());
}

Error hostError(const vbscript::ScriptError &error, const QString &source)
{
    if (!error.hasPosition())
        return Error(error.number(), source, error.description());
    return Error(error.number(), source, error.description(), error.line(), error.column());
}

} // namespace nvtarnix

#include "vbscript/library/Library.h"

#include "vbscript/library/LibrarySupport.h"

namespace vbscript {

void registerLibrary(BuiltinRegistry &registry)
{
    lib::registerStringFunctions(registry);
    lib::registerMathFunctions(registry);
    lib::registerRandomFunctions(registry);
    lib::registerDateFunctions(registry);
    lib::registerFormatFunctions(registry);
    lib::registerConversionFunctions(registry);
    lib::registerArrayFunctions(registry);
    lib::registerInteractionFunctions(registry);
    lib::registerObjectFunctions(registry);
    lib::registerEngineFunctions(registry);
    lib::registerConstants(registry);
}

} // namespace vbscript

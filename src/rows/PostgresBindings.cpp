#include "rows/PostgresBindings.h"

#include "pushdown/PostgresTypes.h"

namespace nvtarnix::rows {

std::optional<pushdown::Binding> postgresBinding(int typeOid, bool readAsDate)
{
    using pushdown::Binding;
    using enum pushdown::PostgresTypeOid;
    const auto oid = unsigned(typeOid);
    if (readAsDate && oid != PgDateOid)
        return std::nullopt;
    switch (oid) {
    case PgInt2Oid: return Binding::PgInt2;
    case PgInt4Oid: return Binding::PgInt4;
    case PgInt8Oid: return Binding::PgInt8;
    case PgFloat8Oid: return Binding::PgFloat8;
    case PgNumericOid: return Binding::PgNumeric;
    case PgTextOid:
    case PgVarcharOid: return Binding::PgText;
    case PgBoolOid: return Binding::PgBool;
    case PgDateOid: return Binding::PgDate;
    default: return std::nullopt;
    }
}

} // namespace nvtarnix::rows

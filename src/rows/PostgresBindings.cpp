#include "rows/PostgresBindings.h"

namespace nvtarnix::rows {

namespace {

// PostgreSQL's fixed OIDs of its built-in types (pg_type.dat).
enum TypeOid : int {
    Bool = 16,
    Int8 = 20,
    Int2 = 21,
    Int4 = 23,
    Text = 25,
    Float8 = 701,
    Varchar = 1043,
    Date = 1082,
    Numeric = 1700,
};

} // namespace

std::optional<pushdown::Binding> postgresBinding(int typeOid, bool readAsDate)
{
    using pushdown::Binding;
    if (readAsDate && typeOid != Date)
        return std::nullopt;
    switch (typeOid) {
    case Int2: return Binding::PgInt2;
    case Int4: return Binding::PgInt4;
    case Int8: return Binding::PgInt8;
    case Float8: return Binding::PgFloat8;
    case Numeric: return Binding::PgNumeric;
    case Text:
    case Varchar: return Binding::PgText;
    case Bool: return Binding::PgBool;
    case Date: return Binding::PgDate;
    default: return std::nullopt;
    }
}

} // namespace nvtarnix::rows

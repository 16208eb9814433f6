#pragma once

namespace nvtarnix::pushdown {

// PostgreSQL's built-in types by their OIDs, fixed in its catalog
// (pg_type.dat): how a result names a column's type and how a statement
// names its parameters' types, whichever client reads the rows.
enum PostgresTypeOid : unsigned {
    PgBoolOid = 16,
    PgByteaOid = 17,
    PgInt8Oid = 20,
    PgInt2Oid = 21,
    PgInt4Oid = 23,
    PgTextOid = 25,
    PgFloat4Oid = 700,
    PgFloat8Oid = 701,
    PgBpcharOid = 1042,
    PgVarcharOid = 1043,
    PgDateOid = 1082,
    PgTimestampOid = 1114,
    PgTimestampTzOid = 1184,
    PgNumericOid = 1700,
};

} // namespace nvtarnix::pushdown

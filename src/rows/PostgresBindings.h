#pragma once

#include <nvtarnix/PushDown.h>

#include <optional>

namespace nvtarnix::rows {

// The push-down binding of a PostgreSQL column read through Qt Sql (QPSQL),
// by its type's OID (QSqlField::typeID()): the one place that says which
// columns the count may leave to the SQL. A binding promises that the
// engine receives the value the translation reasons about, so only the
// types whose QPSQL value is exactly that get one:
//
//   int2, int4, int8     an int or a qlonglong: the engine's Long, or its
//                        Double beyond 32 bits, as the binding reads them
//   float8               a double, NaN and the infinities included (the
//                        translation leaves those rows to the engine)
//   numeric              the nearest double (QPSQL's default precision),
//                        which the translation only compares, as Doubles
//   text, varchar        a QString
//   bool                 a bool
//   date                 a QDate; a date QPSQL cannot read ("infinity",
//                        before Christ) lies outside the engine's dates,
//                        whose rows the translation leaves to the engine
//
// and none for the others, whose rules the engine decides:
//
//   float4               QPSQL reads its shortest text as a double (0.1),
//                        not the Single the SQL compares (0.100000001...)
//   char(n)              QPSQL keeps the padding the SQL drops
//   timestamp,           QPSQL gives a QDateTime in the machine's zone, so
//   timestamptz          the engine's Date depends on where the count runs
//   anything else        (bytea, json, domains, ...)
//
// A column the host binds as a date (SqliteIsoDate, PgDate) that holds
// text reaches the engine as dates, which no SQL reading of text follows:
// none either.
std::optional<pushdown::Binding> postgresBinding(int typeOid, bool readAsDate);

} // namespace nvtarnix::rows

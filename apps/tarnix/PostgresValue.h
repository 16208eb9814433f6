#pragma once

#include "StoredValue.h"

#include <QString>

#include <vector>

namespace tarnixcli {

// How PostgreSQL's values become the engine's: the one place that says so.
//
// The reader asks for every value as text, in a session whose settings fix
// that text (PostgresConnection sets them): UTF-8, DateStyle ISO, TimeZone
// UTC, extra_float_digits 1 (the shortest text that reads back to the same
// float), bytea_output hex. Read that way, text loses nothing, and one
// format serves every column type alike.
//
//   column type                 engine value
//   NULL (any type)             Null
//   int2 (smallint)             Integer
//   int4 (integer)              Long
//   int8 (bigint)               Long when it fits 32 bits, else Double, as
//                               SQLite's integers (beyond 2^53 the nearest)
//   float4 (real)               Single
//   float8 (double precision)   Double
//   numeric                     Currency when the value has at most four
//                               decimals (trailing zeros aside) and lies within
//                               Currency's range: exact, as money should stay;
//                               else the nearest Double. So numeric(p, s) with
//                               s <= 4 and p - s <= 14 always gives Currency.
//   text, varchar               String
//   char(n)                     String without the trailing blanks, as
//                               PostgreSQL itself reads char(n) as text (its
//                               padding means nothing to the server either)
//   bool                        Boolean
//   date                        Date
//   timestamp                   Date, to the second: the fraction of a second
//                               is dropped, as the engine's Date from a host's
//                               QDateTime drops it
//   timestamptz                 Date of the instant's time in UTC, to the
//                               second; never the server's or the machine's zone
//   bytea                       String of the bytes read as UTF-8, as SQLite's
//                               BLOB
//   any other type              String of its text as the server writes it
//                               (domains are read as their base type)
//
// A value the engine's type cannot hold comes as String of the server's
// text, so that a rule that takes it for a number or a date fails on that
// row (13, Type mismatch) rather than reading another value: a date or time
// before the year 100 or after 9999 ("0044-03-15 BC", "infinity"), and
// NaN or an infinity of float4, float8 or numeric ("NaN", "-Infinity").
enum class PostgresType : quint8 {
    SmallInteger,
    Integer,
    BigInteger,
    Single,
    Double,
    Numeric,
    Text,
    PaddedText,  // char(n)
    Boolean,
    Date,
    Timestamp,
    TimestampWithZone,
    Bytea,
    Other,
};

// The type of a built-in type's OID; Other for the rest.
PostgresType postgresType(unsigned oid);

// The stored value of one value's text, `size` bytes at `text`; the bytes of
// a String are appended to `buffer`.
StoredValue storedValue(PostgresType type, const char *text, int size, std::vector<char> &buffer);

} // namespace tarnixcli

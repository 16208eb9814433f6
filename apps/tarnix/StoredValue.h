#pragma once

#include "vbscript/Variant.h"

#include <vector>

namespace tarnixcli {

// A value as the database hands it over, copied out of the result before the
// next row. The bytes of text and binary values live in a buffer beside it,
// so that reading a row allocates nothing: the reading thread is the one
// that cannot be shared out, and turning bytes into strings is left to the
// threads that evaluate.
//
// Which kind each database's values take is documented beside its reader:
// SqliteRows.h for SQLite's storage classes, PostgresValue.h for
// PostgreSQL's column types.
struct StoredValue
{
    // The longest text or binary value copied out, in bytes: the engine's
    // longest string. Longer ones would cost the reading thread, and every
    // block waiting for a worker, their size for a row that can only fail.
    static qsizetype longestText();

    enum class Kind : quint8 {
        Null,
        Integer,       // 64 bits: a Long when it fits 32 bits, else a Double
        Real,          // Double
        Text,          // String of the UTF-8 bytes
        Blob,          // String of the bytes read as UTF-8
        Boolean,       // Boolean
        SmallInteger,  // Integer (16 bits)
        Single,        // Single
        Currency,      // Currency, scaled by 10,000
        Date,          // Date, as an OLE date serial
        TooLong,       // text or bytes longer than any string the engine may
                       // hold, left in the database rather than copied
    };
    Kind kind = Kind::Null;
    union {
        qint64 integer;  // Integer, SmallInteger, Boolean (0 or 1), Currency
        double real;     // Real, Single, Date
        struct
        {
            qsizetype offset;  // into the buffer
            int size;
        } bytes;               // Text, Blob
    };

    StoredValue() : integer(0) {}

    // A text or binary value whose bytes are appended to `buffer`; one longer
    // than longestText() is TooLong and left where it is.
    static StoredValue withBytes(Kind kind, const char *bytes, int size, std::vector<char> &buffer);

    bool hasBytes() const { return kind == Kind::Text || kind == Kind::Blob; }
};

// The engine's value for a stored one, as the kinds above say. (QtSql's values
// reach nvtarnix::Expression typed the same way.) `buffer` holds the bytes.
// A value too long to copy raises 14 "Out of string space", as a string past
// the engine's limit does.
vbscript::Variant engineValue(const StoredValue &value, const std::vector<char> &buffer);

} // namespace tarnixcli

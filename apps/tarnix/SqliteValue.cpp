#include "SqliteValue.h"

#include "vbscript/ExecutionSettings.h"
#include "vbscript/ScriptError.h"

#include <limits>

namespace tarnixcli {

qsizetype SqliteValue::longestText()
{
    return vbscript::Limits().maxStringLength;
}

vbscript::Variant engineValue(const SqliteValue &value, const std::vector<char> &buffer)
{
    switch (value.kind) {
    case SqliteValue::Kind::Integer:
        if (value.integer >= std::numeric_limits<qint32>::min()
            && value.integer <= std::numeric_limits<qint32>::max())
            return vbscript::Variant(qint32(value.integer));
        return vbscript::Variant(double(value.integer));
    case SqliteValue::Kind::Real:
        return vbscript::Variant(value.real);
    case SqliteValue::Kind::Text:
    case SqliteValue::Kind::Blob:
        return vbscript::Variant(
            QString::fromUtf8(buffer.data() + value.bytes.offset, value.bytes.size));
    case SqliteValue::Kind::TooLong:
        vbscript::raise(vbscript::err::OutOfStringSpace);
    case SqliteValue::Kind::Null:
        break;
    }
    return vbscript::Variant::null();
}

} // namespace tarnixcli

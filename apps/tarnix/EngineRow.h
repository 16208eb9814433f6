#pragma once

#include "StoredValue.h"

#include <QString>
#include <QVarLengthArray>

#include <span>
#include <vector>

namespace tarnixcli {

// One worker's row of engine values, made from stored ones row after row.
// A text column's string keeps its memory from one row to the next whenever
// the run kept no copy of it, so a million rows of text cost no million
// allocations.
class EngineRow
{
public:
    explicit EngineRow(int width);

    // The engine values of the `width` stored values at `stored`, typed as
    // engineValue() types them; valid until the next call. A run may change
    // them (Execute can assign to a variable).
    std::span<vbscript::Variant> load(const StoredValue *stored, const std::vector<char> &bytes);

private:
    QVarLengthArray<vbscript::Variant, 8> m_values;
    // Per column, the string last handed out: when the run has let go of it,
    // it is the only owner and is filled again in place.
    QVarLengthArray<QString, 8> m_text;
};

} // namespace tarnixcli

#pragma once

#include <QString>
#include <QVariant>

namespace nvtarnix {

// How one field value takes its place in a sorted recordset. Hosts hand value
// lists whose code column mixes numbers and numeric text (a text column that
// holds "12" beside a number column's 9), so numbers and text that reads as a
// number are ordered by their numeric value, together. The classes, in
// ascending order: Null, numbers, dates and times, other text (ordered without
// regard to case first, then with it, so the order is total).
class FieldValueOrder
{
public:
    explicit FieldValueOrder(const QVariant &value);

    // Negative, zero or positive, as this value sorts before, with or after
    // the other in ascending order.
    int compare(const FieldValueOrder &other) const;

private:
    enum class Rank { Null, Number, DateTime, Text };

    Rank m_rank;
    double m_number = 0;
    QString m_text;
    QString m_folded; // m_text case-folded, compared first
};

} // namespace nvtarnix

#pragma once

#include <QString>

#include <memory>

namespace nvtarnix {

class View;

// Converts a script between its display and database form over a view's
// fields: one replacement step per field, in collection order, every
// "[group.caption]" (or "[caption]") becoming "[ID]" on the way to the
// database and back again on the way out (see ReplacementSteps for the rule).
// What the steps are looked up by is worked out once per revision of the
// view and direction, straight from the fields, without building their names.
class ViewConversion
{
public:
    enum class Direction { ToDatabase, FromDatabase };

    ViewConversion();
    ~ViewConversion();

    QString convert(const QString &text, const std::shared_ptr<View> &view, Direction direction);

private:
    struct Cache;
    std::unique_ptr<Cache> m_cache;
};

} // namespace nvtarnix

#include "component/ViewConversion.h"

#include "schema/ReplacementSteps.h"
#include "schema/DisplayName.h"

#include <nvtarnix/View.h>

#include <array>
#include <optional>

namespace nvtarnix {

namespace {

using Direction = ViewConversion::Direction;

// "[" + varID + "]": how the database form writes a variable.
std::array<QStringView, 3> storedNamePieces(const QString &ID)
{
    return {u"[", ID, u"]"};
}

QString storedName(const QString &ID)
{
    QString name;
    name.reserve(ID.size() + 2);
    for (QStringView piece : storedNamePieces(ID))
        name.append(piece);
    return name;
}

bool isStoredName(QStringView text, const QString &ID)
{
    return text.size() == ID.size() + 2 && text.front() == u'[' && text.back() == u']'
           && text.mid(1, ID.size()) == ID;
}

// The steps of one direction, read from the view's fields as they are needed.
class FieldSteps : public ReplacementSteps
{
public:
    FieldSteps(const View &view, Direction direction, const Keys &keys)
        : m_view(view), m_toDatabase(direction == Direction::ToDatabase), m_keys(keys)
    {
    }

    static Keys keysOf(const View &view, Direction direction)
    {
        Keys keys;
        keys.reserve(std::size_t(view.Fields().Count()));
        for (const auto &f : view.Fields()) {
            if (direction == Direction::ToDatabase)
                keys.add(displayNamePieces(f->groupcaption(), f->vardescription()));
            else
                keys.add(storedNamePieces(f->ID()));
        }
        return keys;
    }

protected:
    const Keys &keys() const override { return m_keys; }

    bool searchIs(std::size_t step, QStringView text) const override
    {
        const ViewField &f = field(step);
        return m_toDatabase ? isDisplayName(text, f.groupcaption(), f.vardescription())
                            : isStoredName(text, f.ID());
    }
    QString search(std::size_t step) const override
    {
        return m_toDatabase ? displayName(field(step).record()) : storedName(field(step).ID());
    }
    QString replacement(std::size_t step) const override
    {
        return m_toDatabase ? storedName(field(step).ID()) : displayName(field(step).record());
    }

private:
    const ViewField &field(std::size_t step) const { return *m_view.Fields().Item(qsizetype(step) + 1); }

    const View &m_view;
    bool m_toDatabase;
    const Keys &m_keys;
};

} // namespace

struct ViewConversion::Cache
{
    struct Entry
    {
        std::weak_ptr<View> view;
        std::uint64_t revision = 0;
        std::optional<ReplacementSteps::Keys> keys;
    };
    Entry toDatabase;
    Entry fromDatabase;
};

ViewConversion::ViewConversion() : m_cache(std::make_unique<Cache>()) {}

ViewConversion::~ViewConversion() = default;

QString ViewConversion::convert(const QString &text, const std::shared_ptr<View> &view, Direction direction)
{
    auto &entry = direction == Direction::ToDatabase ? m_cache->toDatabase : m_cache->fromDatabase;
    if (!entry.keys || entry.view.lock() != view || entry.revision != view->Revision()) {
        entry.keys = FieldSteps::keysOf(*view, direction);
        entry.view = view;
        entry.revision = view->Revision();
    }
    return FieldSteps(*view, direction, *entry.keys).apply(text);
}

} // namespace nvtarnix

#pragma once

#include "Differential.h"

struct sqlite3;

namespace pushdowntest {

// An SQLite database in memory, for the differential test.
class SqliteDatabase final : public DifferentialDatabase
{
public:
    SqliteDatabase();
    ~SqliteDatabase() override;

    nvtarnix::pushdown::SqlDialect dialect() const override { return nvtarnix::pushdown::SqlDialect::SQLite; }
    void load(const TableShape &shape, const std::vector<StoredRow> &rows) override;
    std::vector<std::vector<vbscript::Variant>> engineRows() override;
    std::optional<std::vector<FetchedRow>> fetch(const nvtarnix::pushdown::Translation &t, QString &refusal) override;

    // The shapes the test runs: STRICT, declared and clean, declared and dirty.
    static std::vector<TableShape> shapes();

private:
    void exec(const QString &sql);

    sqlite3 *m_db = nullptr;
    TableShape m_shape;
};

} // namespace pushdowntest

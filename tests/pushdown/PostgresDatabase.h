#pragma once

#include "Differential.h"

struct pg_conn;

namespace pushdowntest {

// A database on the test program's own PostgreSQL server, for the
// differential test. Its rows reach the engine as `tarnix apply --postgres`
// reads them, typed by their column types (apps/tarnix/PostgresValue.h), in
// a session with the reader's settings.
class PostgresDatabase final : public DifferentialDatabase
{
public:
    PostgresDatabase();
    ~PostgresDatabase() override;

    nvtarnix::pushdown::SqlDialect dialect() const override { return nvtarnix::pushdown::SqlDialect::PostgreSQL; }
    void load(const TableShape &shape, const std::vector<StoredRow> &rows) override;
    std::vector<std::vector<vbscript::Variant>> engineRows() override;
    std::optional<std::vector<FetchedRow>> fetch(const nvtarnix::pushdown::Translation &t, QString &refusal) override;

    // The shapes the test runs: every numeric type the rules read as numbers,
    // text under the C collation and under ICU ones, char(n) with its padding.
    // A value a column's type cannot hold (40000 in an int2) is stored as NULL.
    static std::vector<TableShape> shapes();

private:
    void exec(const QString &sql);

    pg_conn *m_connection = nullptr;
    TableShape m_shape;
};

} // namespace pushdowntest

#include "reports/reportrows.h"

#include "data/recordsource.h"

#include <QRegularExpression>

namespace {

class HeldRows : public ReportRows
{
public:
    explicit HeldRows(const QueryResult &rows) : m_rows(rows) {}
    QStringList columns() override { return m_rows.columns; }
    int count() override { return int(m_rows.rows.size()); }
    void read(const Each &each) override
    {
        for (const Row &r : m_rows.rows)
            if (!each(r))
                return;
    }

private:
    const QueryResult &m_rows;
};

class StatementRows : public ReportRows
{
public:
    StatementRows(std::shared_ptr<Store> store, const QString &sql) : m_store(std::move(store)), m_sql(sql)
    {
        // A closing semicolon would end the statement the count wraps it in.
        static const QRegularExpression tail(R"([\s;]+$)");
        m_sql.remove(tail);
    }
    QStringList columns() override
    {
        if (!m_known) {
            m_store->step(m_sql, [this](const QStringList &c) { m_columns = c; }, [](const Row &) { return false; });
            m_known = true;
        }
        return m_columns;
    }
    int count() override
    {
        if (m_count < 0) {
            const QueryResult r = m_store->query("SELECT count(*) FROM (" + m_sql + "\n)");
            m_count = r.rows.empty() ? 0 : r.rows[0][0].toInt();
        }
        return m_count;
    }
    void read(const Each &each) override { m_store->step(m_sql, {}, each); }

private:
    std::shared_ptr<Store> m_store;
    QString m_sql;
    QStringList m_columns;
    bool m_known = false;
    int m_count = -1;
};

class SourceRows : public ReportRows
{
public:
    explicit SourceRows(RecordSource &source) : m_source(source) {}
    QStringList columns() override { return m_source.columns(); }
    int count() override { return m_source.recordCount(); }
    void read(const Each &each) override
    {
        const int columns = int(m_source.columns().size());
        Row row;
        row.resize(size_t(columns));
        for (int i = 0, n = m_source.recordCount(); i < n; ++i) {
            for (int c = 0; c < columns; ++c)
                row[size_t(c)] = m_source.valueAt(i, c);
            if (!each(row))
                return;
        }
    }

private:
    RecordSource &m_source;
};

} // namespace

std::unique_ptr<ReportRows> ReportRows::held(const QueryResult &rows)
{
    return std::make_unique<HeldRows>(rows);
}

std::unique_ptr<ReportRows> ReportRows::statement(std::shared_ptr<Store> store, const QString &sql)
{
    return std::make_unique<StatementRows>(std::move(store), sql);
}

std::unique_ptr<ReportRows> ReportRows::source(RecordSource &source)
{
    return std::make_unique<SourceRows>(source);
}

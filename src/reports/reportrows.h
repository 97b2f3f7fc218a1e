#pragma once

#include "data/store.h"

#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

class RecordSource;

// The rows a report prints, read in order as often as the layout needs them
// (the first row for the title, every row to lay out), so that a long list is
// stepped from the store rather than held whole. Store failures throw
// DataError.
class ReportRows
{
public:
    using Row = std::vector<QVariant>;
    using Each = std::function<bool(const Row &)>;

    virtual ~ReportRows() = default;
    virtual QStringList columns() = 0;
    virtual int count() = 0;
    // Hands every row to `each` in order until it answers false.
    virtual void read(const Each &each) = 0;

    // Rows already read.
    static std::unique_ptr<ReportRows> held(const QueryResult &rows);
    // The rows of `sql`, stepped afresh on every read.
    static std::unique_ptr<ReportRows> statement(std::shared_ptr<Store> store, const QString &sql);
    // The rows of an open record source, pending edits included.
    static std::unique_ptr<ReportRows> source(RecordSource &source);
};

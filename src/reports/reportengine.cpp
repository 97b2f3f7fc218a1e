#include "reports/reportengine.h"

#include "data/dataerror.h"
#include "data/recordsource.h"
#include "reports/reporterror.h"
#include "reports/reportrenderer.h"

#include <QRegularExpression>

ReportEngine::ReportEngine(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("CrystalReport1"));
}

void ReportEngine::setLastError(int number, const QString &text)
{
    m_lastError = number;
    m_lastErrorText = text;
}

std::shared_ptr<ReportDocument> ReportEngine::render(const ReportProgress &progress) const
{
    ReportLayout layout = ReportLayout::load(m_fileName);
    const auto rows = Reports::rowsOf(layout, m_dataSource);
    layout.empty = Reports::emptyText(layout, *rows);
    const QueryResult pictures = Reports::fetchPictures(layout);
    return std::make_shared<ReportDocument>(
        ReportRenderer::render(layout, *rows, QDateTime::currentDateTime(), progress, pictures));
}

ReportRenderer::Written ReportEngine::writePdf(const QString &path, const ReportProgress &progress) const
{
    ReportLayout layout = ReportLayout::load(m_fileName);
    const auto rows = Reports::rowsOf(layout, m_dataSource);
    layout.empty = Reports::emptyText(layout, *rows);
    const QueryResult pictures = Reports::fetchPictures(layout);
    return ReportRenderer::writePdf(layout, *rows, path, QDateTime::currentDateTime(), progress, pictures);
}

bool ReportEngine::start()
{
    setLastError(ReportErrors::None);
    try {
        const ReportProgress progress = m_progressFactory ? m_progressFactory() : ReportProgress();
        std::shared_ptr<const ReportDocument> doc = render(progress);
        if (m_presenter)
            m_presenter(std::move(doc));
    } catch (const ReportFailure &f) {
        setLastError(f.number(), f.description());
    } catch (const DataError &e) {
        setLastError(ReportErrors::QueryFailed, e.description());
    } catch (const std::exception &e) {
        setLastError(ReportErrors::OutputFailed, QString::fromUtf8(e.what()));
    }
    emit finished(m_lastError);
    return m_lastError == ReportErrors::None;
}

namespace Reports {

ReportEngine &engine()
{
    static ReportEngine *e = [] {
        auto *engine = new ReportEngine;
        engine->setDataSource(&data1());
        return engine;
    }();
    return *e;
}

RecordSource &data1()
{
    static RecordSource *d = [] {
        auto *source = new RecordSource;
        source->setObjectName(QStringLiteral("Data1"));
        source->setConnectionString(QString::fromLatin1(ConnectionStrings::kBound));
        source->setRecordSource(QStringLiteral("Sac72"));
        return source;
    }();
    return *d;
}

std::unique_ptr<ReportRows> rowsOf(const ReportLayout &layout, RecordSource *data1)
{
    try {
        if (layout.source == ReportLayout::Source::Query)
            return ReportRows::statement(Store::shared(QString::fromLatin1(ConnectionStrings::kBound)), layout.query);
        if (!data1)
            throw ReportFailure(ReportErrors::QueryFailed, layout.fileName + " reads Data1, and there is none.");
        if (!data1->isOpen()) {
            // A bare table name (the design value Sac72) stands for all its rows.
            static const QRegularExpression tableName(R"(^\s*\[?([A-Za-z_][A-Za-z0-9_]*)\]?\s*$)");
            const QRegularExpressionMatch m = tableName.match(data1->recordSource());
            if (m.hasMatch())
                return ReportRows::statement(Store::shared(data1->connectionString()),
                                             "select * from " + m.captured(1));
            data1->open();
        }
        return ReportRows::source(*data1);
    } catch (const DataError &e) {
        throw ReportFailure(ReportErrors::QueryFailed, layout.fileName + ": " + e.description());
    }
}

QueryResult fetchRows(const ReportLayout &layout, RecordSource *data1)
{
    const auto rows = rowsOf(layout, data1);
    try {
        QueryResult r;
        r.columns = rows->columns();
        rows->read([&](const ReportRows::Row &row) {
            r.rows.push_back(row);
            return true;
        });
        return r;
    } catch (const DataError &e) {
        throw ReportFailure(ReportErrors::QueryFailed, layout.fileName + ": " + e.description());
    }
}

QueryResult fetchPictures(const ReportLayout &layout)
{
    if (layout.picturesQuery.isEmpty())
        return {};
    try {
        return Store::shared(QString::fromLatin1(ConnectionStrings::kBound))->query(layout.picturesQuery);
    } catch (const DataError &e) {
        throw ReportFailure(ReportErrors::QueryFailed, layout.fileName + ": " + e.description());
    }
}

QString emptyText(const ReportLayout &layout, ReportRows &rows)
{
    try {
        if (layout.emptyListQuery.isEmpty() || rows.count() > 0)
            return layout.empty;
        const QueryResult counted =
            Store::shared(QString::fromLatin1(ConnectionStrings::kBound))->query(layout.emptyListQuery);
        const bool none = counted.rows.empty() || counted.rows[0].empty() || counted.rows[0][0].toLongLong() == 0;
        return none ? layout.emptyListText : layout.empty;
    } catch (const DataError &e) {
        throw ReportFailure(ReportErrors::QueryFailed, layout.fileName + ": " + e.description());
    }
}

} // namespace Reports

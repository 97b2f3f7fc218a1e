#pragma once

#include "data/store.h"
#include "reports/reportdocument.h"
#include "reports/reportlayout.h"
#include "reports/reportrenderer.h"
#include "reports/reportrows.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class RecordSource;

// The program's one report engine (`CrystalReport1`). It keeps between runs
// the report file name, the window title, its data source (`Data1`) and the
// error number of its last run. start() renders the named layout and hands
// the document to the presenter the windows install (the preview window);
// a failure or a cancel leaves a non-zero last error number (ReportErrors).
class ReportEngine : public QObject
{
    Q_OBJECT
public:
    static constexpr const char *kWindowTitle = "Velnora Report";
    static constexpr const char *kDesignFileName = "sacsearch3.rpt";

    explicit ReportEngine(QObject *parent = nullptr);

    QString reportFileName() const { return m_fileName; }
    void setReportFileName(const QString &fileName) { m_fileName = fileName; }
    QString windowTitle() const { return QString::fromLatin1(kWindowTitle); }

    RecordSource *dataSource() const { return m_dataSource; }
    void setDataSource(RecordSource *source) { m_dataSource = source; }

    int lastErrorNumber() const { return m_lastError; }
    QString lastErrorText() const { return m_lastErrorText; }
    void setLastError(int number, const QString &text = QString());

    // Starts the report (action 1). Returns false after a failure or a cancel.
    bool start();

    // Loads the layout named by the report file name (relative to the working
    // directory), reads its rows and lays them out. Throws ReportFailure.
    std::shared_ptr<ReportDocument> render(const ReportProgress &progress = {}) const;
    // The same report written straight to a PDF file, its pages never held
    // whole. Throws ReportFailure.
    ReportRenderer::Written writePdf(const QString &path, const ReportProgress &progress = {}) const;

    using Presenter = std::function<void(std::shared_ptr<const ReportDocument>)>;
    void setPresenter(Presenter presenter) { m_presenter = std::move(presenter); }
    // Makes the progress report of one run (a dialog with a Cancel button).
    using ProgressFactory = std::function<ReportProgress()>;
    void setProgressFactory(ProgressFactory factory) { m_progressFactory = std::move(factory); }

signals:
    void finished(int errorNumber);

private:
    QString m_fileName = QString::fromLatin1(kDesignFileName);
    RecordSource *m_dataSource = nullptr;
    int m_lastError = 0;
    QString m_lastErrorText;
    Presenter m_presenter;
    ProgressFactory m_progressFactory;
};

namespace Reports {

// The program-wide engine `CrystalReport1`, its data source set to data1().
ReportEngine &engine();
// The program-wide record source `Data1` (database velnora.mdb, record source
// Sac72) from which the search and single-object reports read their rows.
RecordSource &data1();

// The rows a layout prints: its own query on velnora.db of the working
// directory, or the rows of `data1`, stepped as they are read. Throws
// ReportFailure (QueryFailed).
std::unique_ptr<ReportRows> rowsOf(const ReportLayout &layout, RecordSource *data1);
// The same rows read whole.
QueryResult fetchRows(const ReportLayout &layout, RecordSource *data1);

// The layout's pictures (heading, PNG) when it has any. Throws ReportFailure
// (QueryFailed).
QueryResult fetchPictures(const ReportLayout &layout);

// What a list prints when it has no rows: the layout's emptyList text when
// its query counts nothing, else its empty text. Throws ReportFailure
// (QueryFailed).
QString emptyText(const ReportLayout &layout, ReportRows &rows);

} // namespace Reports

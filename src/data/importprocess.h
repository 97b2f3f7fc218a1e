#pragma once

#include <QObject>
#include <QProcess>
#include <QString>

// Runs `velnora-cli import` as a child process, so that a Jet reader crashing
// on a damaged file ends the child, never the desktop program. Reports the
// child's per-table lines as progress.
class ImportProcess : public QObject
{
    Q_OBJECT
public:
    explicit ImportProcess(QObject *parent = nullptr);
    ~ImportProcess() override;

    // $VELNORA_CLI, else velnora-cli beside the running executable.
    static QString cliPath();

    // One line of the child's output: "[3/11] Sac72: 10593 rows, 36 columns".
    struct Line
    {
        int done = 0;
        int total = 0;
        QString text;
    };
    static bool parseLine(const QString &line, Line *out);

    void start(const QString &mdbPath, const QString &dbPath);
    void cancel();
    // After finished(): empty when the import succeeded, else what to tell the user.
    QString errorMessage() const { return m_error; }

signals:
    void progress(int done, int total, const QString &text);
    void finished(bool ok);

private:
    void readOutput();
    void onFinished(int exitCode, QProcess::ExitStatus status);
    void fail(const QString &why);
    void finishWithError(const QString &message);

    QProcess m_process;
    QString m_mdbPath;
    QString m_dbPath;
    QByteArray m_pending;
    QString m_error;
    bool m_cancelled = false;
    bool m_done = false;
};

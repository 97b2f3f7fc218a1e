#include "data/importprocess.h"

#include "data/importwriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

ImportProcess::ImportProcess(QObject *parent) : QObject(parent)
{
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &ImportProcess::readOutput);
    connect(&m_process, &QProcess::finished, this, &ImportProcess::onFinished);
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            fail("the import tool " + QDir::toNativeSeparators(m_process.program()) + " cannot be started (" +
                 m_process.errorString() + ").");
    });
}

ImportProcess::~ImportProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QString ImportProcess::cliPath()
{
    const QByteArray env = qgetenv("VELNORA_CLI");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    const QString dir =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    return QDir(dir).filePath(QStringLiteral("velnora-cli"));
}

bool ImportProcess::parseLine(const QString &line, Line *out)
{
    static const QRegularExpression re(QStringLiteral(R"(^\[(\d+)/(\d+)\]\s*(.*)$)"));
    const QRegularExpressionMatch m = re.match(line.trimmed());
    if (!m.hasMatch())
        return false;
    out->done = m.captured(1).toInt();
    out->total = m.captured(2).toInt();
    out->text = m.captured(3);
    return out->done <= out->total;
}

void ImportProcess::start(const QString &mdbPath, const QString &dbPath)
{
    m_mdbPath = mdbPath;
    m_dbPath = dbPath;
    m_error.clear();
    m_pending.clear();
    m_cancelled = false;
    m_done = false;
    if (QFileInfo::exists(dbPath)) {
        // Never the child's to replace, nor ours to remove.
        m_done = true;
        m_error = QDir::toNativeSeparators(dbPath) + " already exists; an import only writes a new file.";
        QMetaObject::invokeMethod(
            this, [this] { emit finished(false); }, Qt::QueuedConnection);
        return;
    }
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start(cliPath(), {QStringLiteral("import"), mdbPath, QStringLiteral("--to"), dbPath});
}

void ImportProcess::cancel()
{
    m_cancelled = true;
    if (m_process.state() != QProcess::NotRunning)
        m_process.kill();
}

void ImportProcess::readOutput()
{
    m_pending += m_process.readAllStandardOutput();
    int nl;
    while ((nl = m_pending.indexOf('\n')) >= 0) {
        const QString line = QString::fromLocal8Bit(m_pending.left(nl));
        m_pending.remove(0, nl + 1);
        Line parsed;
        if (parseLine(line, &parsed))
            emit progress(parsed.done, parsed.total, parsed.text);
    }
}

void ImportProcess::fail(const QString &why)
{
    finishWithError(QDir::toNativeSeparators(m_mdbPath) + " cannot be imported: " + why +
                    " No velnora.db was written.");
}

void ImportProcess::finishWithError(const QString &message)
{
    if (m_done)
        return;
    m_done = true;
    // The database did not exist when the child started: whatever it got to goes.
    QFile::remove(JetImport::ImportWriter::temporaryPathFor(m_dbPath));
    QFile::remove(m_dbPath);
    m_error = message;
    emit finished(false);
}

void ImportProcess::onFinished(int exitCode, QProcess::ExitStatus status)
{
    readOutput();
    if (m_cancelled)
        return fail(QStringLiteral("the import was cancelled."));
    if (status == QProcess::CrashExit)
        return fail(QStringLiteral("reading it crashed the Jet reader, so the file is damaged."));
    if (exitCode != 0) {
        // The child names the file and what is wrong; pass that on as it is.
        const QString told = QString::fromLocal8Bit(m_process.readAllStandardError()).trimmed();
        if (told.isEmpty())
            return fail(QStringLiteral("the import tool ended with code %1.").arg(exitCode));
        return finishWithError(told);
    }
    if (!QFileInfo::exists(m_dbPath))
        return fail(QStringLiteral("the import tool ended without writing the new database."));
    m_done = true;
    emit finished(true);
}

// The splash on a real X server under a window manager (Xvfb and openbox),
// with keys typed through the server (xdotool), so that they reach the
// splash only if the window manager gave it the focus. Skips, saying why,
// when Xvfb, openbox or xdotool is missing.
#include "shell/splashwindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <functional>

#include <signal.h>

namespace {

// Xvfb on a free display, and openbox managing it once the application is up,
// for the life of the object. Both run detached (started before any
// application object exists) and are ended by their process ids.
class WindowManagerSession
{
public:
    WindowManagerSession()
    {
        for (const char *tool : {"Xvfb", "openbox", "xdotool", "xprop"})
            if (QStandardPaths::findExecutable(tool).isEmpty()) {
                m_problem = QString("%1 is not installed (Debian packages xvfb, openbox, xdotool, x11-utils)")
                                .arg(tool);
                return;
            }
        for (int n = 140 + QCoreApplication::applicationPid() % 50; n < 260 && m_display.isEmpty(); ++n) {
            if (QFileInfo::exists(QString("/tmp/.X%1-lock").arg(n)))
                continue;
            const qint64 pid = startDetached("Xvfb", {QString(":%1").arg(n), "-screen", "0", "1024x768x24",
                                                      "-nolisten", "tcp"});
            if (pid <= 0)
                continue;
            if (waitFor([n] { return QFileInfo::exists(QString("/tmp/.X11-unix/X%1").arg(n)); }, pid)) {
                m_display = QString(":%1").arg(n);
                m_xvfb = pid;
            } else {
                stop(pid);
            }
        }
        if (m_display.isEmpty())
            m_problem = "no Xvfb display could be started";
    }

    ~WindowManagerSession()
    {
        stop(m_wm);
        stop(m_xvfb);
    }

    QString problem() const { return m_problem; }
    QString display() const { return m_display; }

    bool startWindowManager()
    {
        m_wm = startDetached("openbox", {"--sm-disable"});
        const bool up = m_wm > 0 && waitFor(
                                         [this] {
                                             return run("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"})
                                                 .contains("window id");
                                         },
                                         m_wm);
        if (!up)
            m_problem = "openbox did not start on " + m_display;
        return up;
    }

    // Types a key through the X server, to whichever window has the focus.
    void typeKey(const QString &key) { run("xdotool", {"key", "--clearmodifiers", key}); }

private:
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", m_display);
        return env;
    }

    qint64 startDetached(const QString &program, const QStringList &args) const
    {
        QProcess p;
        p.setProgram(program);
        p.setArguments(args);
        p.setProcessEnvironment(environment());
        p.setStandardOutputFile(QProcess::nullDevice());
        p.setStandardErrorFile(QProcess::nullDevice());
        qint64 pid = 0;
        return p.startDetached(&pid) ? pid : 0;
    }

    QString run(const QString &program, const QStringList &args) const
    {
        QProcess p;
        p.setProcessEnvironment(environment());
        p.start(program, args);
        p.waitForFinished(5000);
        return QString::fromLocal8Bit(p.readAllStandardOutput());
    }

    static bool waitFor(const std::function<bool()> &ready, qint64 pid)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 10000 && ::kill(pid_t(pid), 0) == 0) {
            if (ready())
                return true;
            QThread::msleep(50);
        }
        return false;
    }

    static void stop(qint64 pid)
    {
        if (pid <= 0)
            return;
        ::kill(pid_t(pid), SIGTERM);
        for (int i = 0; i < 60 && ::kill(pid_t(pid), 0) == 0; ++i)
            QThread::msleep(50);
        ::kill(pid_t(pid), SIGKILL);
    }

    QString m_problem;
    QString m_display;
    qint64 m_xvfb = 0;
    qint64 m_wm = 0;
};

WindowManagerSession *g_session = nullptr;

} // namespace

class TestSplashWm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (g_session->problem().isEmpty())
            g_session->startWindowManager();
        if (!g_session->problem().isEmpty())
            QSKIP(qPrintable("No window manager to test under: " + g_session->problem()));
        QCOMPARE(QGuiApplication::platformName(), QString("xcb"));
    }

    void enterAndEscDismissTheSplash()
    {
        for (const char *key : {"Return", "Escape"}) {
            auto splash = showSplash();
            QSignalSpy unloaded(splash.data(), &SplashWindow::unloaded);
            QVERIFY2(QTest::qWaitForWindowActive(splash.data(), 30000), "the splash did not get the focus");
            QVERIFY2(pressUntilUnloaded(key, unloaded), key);
            QTRY_VERIFY(!splash);
        }
    }

    void arrowKeysDoNot()
    {
        auto splash = showSplash();
        QSignalSpy unloaded(splash.data(), &SplashWindow::unloaded);
        QVERIFY(QTest::qWaitForWindowActive(splash.data(), 30000));
        g_session->typeKey("Right");
        g_session->typeKey("F5");
        QTest::qWait(500);
        QCOMPARE(unloaded.count(), 0);
        QVERIFY(splash->isVisible());
        QVERIFY(pressUntilUnloaded("Escape", unloaded));
    }

private:
    // On a loaded machine the window manager may hand the focus over after
    // the first key has gone elsewhere, so the key is pressed again until
    // the splash answers (once it has, it is gone and takes no more keys).
    static bool pressUntilUnloaded(const char *key, QSignalSpy &unloaded)
    {
        for (int attempt = 0; attempt < 5 && unloaded.count() == 0; ++attempt) {
            g_session->typeKey(key);
            QTest::qWaitFor([&] { return unloaded.count() > 0; }, 4000);
        }
        return unloaded.count() == 1;
    }

    // Shown as the program shows it, its timer stopped so that only a key can close it.
    static QPointer<SplashWindow> showSplash()
    {
        QPointer<SplashWindow> splash = new SplashWindow;
        splash->timer()->stop();
        splash->present();
        return splash;
    }
};

int main(int argc, char **argv)
{
    WindowManagerSession session;
    g_session = &session;
    if (session.problem().isEmpty()) {
        qputenv("DISPLAY", session.display().toLocal8Bit());
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication app(argc, argv);
    TestSplashWm test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_splash_wm.moc"

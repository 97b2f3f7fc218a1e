#pragma once

#include "aids/telescope.h"
#include "aids/telescopesky.h"
#include "data/site.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QtTest>

// A local port nobody listens on just now.
inline quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// The INDI server with its telescope simulator on `port`, listening when this
// returns. A local socket of its own too: another server may hold the default one.
inline void startSimulator(QProcess &server, quint16 port)
{
    const QString p = QString::number(port);
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.start(QStandardPaths::findExecutable("indiserver"),
                 {"-p", p, "-u", "/tmp/velnora-test-indi-" + p, "indi_simulator_telescope"});
    QVERIFY(server.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(Telescope({"localhost", port}).open(1000), 10000);
}

// A site on the equator at the longitude where `target` stands highest (or
// lowest) now, so a test can put an object above or below the horizon.
inline Site equatorSiteFacing(const TelescopeSky::Position &target, bool up)
{
    const double jd = TelescopeSky::julianDayNow();
    Site best;
    double bestAlt = up ? -90 : 90;
    for (int lon = -180; lon < 180; lon += 5) {
        Site s;
        s.name = "Equator";
        s.latitude = 0;
        s.longitude = lon;
        const double alt = TelescopeSky::horizontal(TelescopeSky::ofDate(target, jd), s, jd).altitude;
        if (up ? alt > bestAlt : alt < bestAlt) {
            bestAlt = alt;
            best = s;
        }
    }
    return best;
}

// velnora-cli equipment: the register from a script, and the optics of a
// telescope, an eyepiece and a lens of it.
#include "support/testsupport.h"

#include <QtTest>

class TestEquipmentCli : public ScratchTest
{
    Q_OBJECT
private slots:
    void addListAndOptics()
    {
        QCOMPARE(run({"equipment", "add", "scope", "--name", "Dob 8", "--aperture", "200", "--focal", "1200"}).code,
                 0);
        QCOMPARE(run({"equipment", "add", "eyepiece", "--name", "Plossl 10", "--focal", "10", "--afov", "52"}).code,
                 0);
        QCOMPARE(run({"equipment", "add", "lens", "--name", "Barlow", "--factor", "2"}).code, 0);
        QCOMPARE(run({"equipment", "add", "site", "--name", "Hill", "--lat", "52.1", "--lon", "-1.5", "--elev",
                      "120", "--sky", "21.3"})
                     .code,
                 0);

        CliRun r = run({"equipment", "optics", "--scope", "Dob 8", "--eyepiece", "plossl 10"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QString("magnification\t120x\nexit pupil\t1.67 mm\ntrue field\t0.43°\nhighest useful\t400x\n"));
        r = run({"equipment", "optics", "--scope", "Dob 8", "--eyepiece", "Plossl 10", "--lens", "Barlow"});
        QVERIFY2(r.out.startsWith("magnification\t240x\nexit pupil\t0.83 mm\ntrue field\t0.22°\n"), qPrintable(r.out));

        r = run({"equipment", "list"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QString("kind\tname\tproperties\tused\n"
                                "site\tHill\tlat 52.1°, lon -1.5°, elev 120 m, sky 21.3 mag/arcsec²\t0\n"
                                "telescope\tDob 8\t200 mm, f 1200 mm\t0\n"
                                "eyepiece\tPlossl 10\t10 mm, 52°\t0\n"
                                "lens\tBarlow\t2x\t0\n"));
    }

    void badInputSaysWhyAndAddsNothing()
    {
        QCOMPARE(run({"equipment", "add", "scope", "--name", "Dob", "--aperture", "200"}).code, 0);
        const struct
        {
            QStringList args;
            int code;
            QString err;
        } cases[] = {
            {{"add", "scope", "--name", "dob"}, 1, "There is already a telescope named \"dob\".\n"},
            {{"add", "scope", "--name", "X", "--factor", "2"}, 2, "--factor does not apply to telescopes."},
            {{"add", "eyepiece", "--name", "X", "--focal", "ten"}, 2, "--focal wants a number, not ten."},
            {{"add", "eyepiece", "--name", "X", "--focal", "0"}, 1, "The sizes of an eyepiece must be numbers"},
            {{"add", "site", "--name", "X", "--lat", "95", "--lon", "0"}, 1, "A latitude runs from -90 to 90"},
            {{"add", "comet", "--name", "X"}, 2, "Unknown kind comet."},
            {{"add", "lens", "--factor", "2"}, 2, "equipment add needs --name."},
            {{"optics", "--scope", "Dob", "--eyepiece", "Nagler"}, 1,
             "There is no eyepiece named \"Nagler\" in the register.\n"},
            {{"optics", "--scope", "Dob"}, 1, "An eyepiece is needed for the telescope \"Dob\".\n"},
        };
        for (const auto &c : cases) {
            const CliRun r = run(QStringList{"equipment"} + c.args);
            QVERIFY2(r.code == c.code && r.err.startsWith(c.err) && r.out.isEmpty(),
                     qPrintable(c.args.join(' ') + ": " + r.err));
        }
        QCOMPARE(run({"equipment", "list"}).out.count('\n'), 2);
    }
};

QTEST_GUILESS_MAIN(TestEquipmentCli)
#include "tst_equipment_cli.moc"

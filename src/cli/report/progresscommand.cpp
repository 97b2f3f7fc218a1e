// velnora-cli progress --map PROGRAMME | --plot months|cumulative | --certificate PROGRAMME
//                      --out FILE [--scale N]
#include "cli/clistore.h"
#include "cli/commands.h"

#include "data/dataerror.h"
#include "data/store.h"
#include "reports/progresscertificate.h"
#include "reports/progresspictures.h"
#include "reports/programmeprogress.h"
#include "reports/reporterror.h"

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QTextStream>

namespace Cli {

namespace {

int usage()
{
    QTextStream(stderr) << "usage: velnora-cli progress --map PROGRAMME --out FILE.png [--scale 2]\n"
                           "       velnora-cli progress --plot months|cumulative --out FILE.png [--scale 2]\n"
                           "       velnora-cli progress --certificate PROGRAMME --out FILE.pdf\n"
                           "PROGRAMME is a name velnora-cli progress prints (\"Herschel 400\") or a list letter.\n";
    return 2;
}

QString programmeNames()
{
    QStringList names;
    for (const Programme &p : Catalogues::programmes())
        names << '"' + p.name + '"';
    return names.join(", ");
}

} // namespace

int progressPictures(const QStringList &args)
{
    QTextStream err(stderr);
    QString map, plot, certificate, out;
    double scale = 1;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (i + 1 >= args.size())
            return usage();
        const QString value = args[++i];
        if (a == "--map")
            map = value;
        else if (a == "--plot")
            plot = value;
        else if (a == "--certificate")
            certificate = value;
        else if (a == "--out")
            out = value;
        else if (a == "--scale") {
            bool ok = false;
            scale = value.toDouble(&ok);
            if (!ok || scale < 0.5 || scale > 4) {
                err << "--scale takes a number from 0.5 to 4, not \"" << value << "\".\n";
                return 2;
            }
        } else
            return usage();
    }
    if (out.isEmpty() || int(!map.isEmpty()) + int(!plot.isEmpty()) + int(!certificate.isEmpty()) != 1)
        return usage();
    if (!plot.isEmpty() && plot != "months" && plot != "cumulative") {
        err << "--plot draws \"months\" or \"cumulative\", not \"" << plot << "\".\n";
        return 2;
    }
    const QString named = map.isEmpty() ? certificate : map;
    const Programme *programme = named.isEmpty() ? nullptr : ProgrammeProgress::find(named);
    if (!named.isEmpty() && !programme) {
        err << "There is no programme \"" << named << "\". The programmes: " << programmeNames() << ".\n";
        return 2;
    }
    try {
        Store store(openStore(), false);
        if (!certificate.isEmpty()) {
            const ProgrammeStatus status = ProgrammeProgress::load(store.db(), *programme);
            if (!status.isComplete()) {
                err << programme->name << " is not complete: " << status.observed << " of " << status.total
                    << " observed. The certificate comes once every object is.\n";
                return 1;
            }
            ProgressCertificate::build(status, ProgressCertificate::observerName())->writePdf(out);
            QTextStream(stdout) << QDir::toNativeSeparators(out) << '\n';
            return 0;
        }
        QImage picture;
        if (programme) {
            const ProgrammeStatus status = ProgrammeProgress::load(store.db(), *programme);
            picture = ProgressPictures::image(ProgressPictures::kMapSize, scale, [&](QPainter &p, const QRectF &r) {
                ProgressPictures::paintMap(p, r, status);
            });
        } else if (plot == "months") {
            const auto months = ProgrammeProgress::perMonth(store.db());
            picture = ProgressPictures::image(ProgressPictures::kPlotSize, scale, [&](QPainter &p, const QRectF &r) {
                ProgressPictures::paintMonths(p, r, months);
            });
        } else {
            const auto all = ProgrammeProgress::loadAll(store.db());
            picture = ProgressPictures::image(ProgressPictures::kPlotSize, scale, [&](QPainter &p, const QRectF &r) {
                ProgressPictures::paintCurves(p, r, all);
            });
        }
        QImageWriter writer(out, "png");
        if (!writer.write(picture)) {
            err << "The picture " << QFileInfo(out).absoluteFilePath() << " cannot be written: " << writer.errorString()
                << ".\n";
            return 1;
        }
        QTextStream(stdout) << QDir::toNativeSeparators(out) << '\n';
    } catch (const ReportFailure &f) {
        err << f.description() << '\n';
        return 1;
    } catch (const DataError &e) {
        err << e.description() << '\n';
        return 1;
    }
    return 0;
}

} // namespace Cli

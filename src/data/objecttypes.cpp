#include "data/objecttypes.h"

#include <QHash>
#include <QRegularExpression>

namespace ObjectTypes {

const QStringList &choices()
{
    static const QStringList types = {
        "ASTER   Asterism",
        "BRTNB   Bright Nebula",
        "CL+NB   Cluster with Nebulosity",
        "DRKNB   Dark Nebula",
        "GALCL   Galaxy cluster",
        "GALXY   Galaxy",
        "GLOCL   Globular Cluster",
        "GX+DN   Diffuse Nebula in a Galaxy",
        "GX+GC   Globular Cluster in a Galaxy",
        "G+C+N  Cluster with Nebulosity in a Galaxy",
        "LMCCN   Cluster with Nebulosity in the LMC",
        "LMCDN   Diffuse Nebula in the LMC",
        "LMCGC   Globular Cluster in the LMC",
        "LMCOC   Open cluster in the LMC",
        "NONEX    Nonexistent",
        "OPNCL    Open Cluster",
        "PLNNB    Planetary Nebula",
        "SMCCN   Cluster with Nebulosity in the SMC",
        "SMCDN   Diffuse Nebula in the SMC",
        "SMCGC   Globular Cluster in the SMC",
        "SMCOC   Open cluster in the SMC",
        "SNREM   Supernova Remnant",
        "QUASR   Quasar",
        "#STAR   # Stars (#=1, 2, 3, 4, 5, etc.)",
    };
    return types;
}

QString describe(const QString &text)
{
    static const QRegularExpression choice(QStringLiteral("^([A-Z0-9#+]{5})\\s+(.+)$"));
    static const QHash<QString, QString> words = [] {
        QHash<QString, QString> out;
        for (const QString &c : choices()) {
            const QRegularExpressionMatch m = choice.match(c);
            if (m.hasMatch())
                out.insert(m.captured(1), m.captured(2).trimmed());
        }
        return out;
    }();
    const QString t = text.trimmed();
    if (const QRegularExpressionMatch m = choice.match(t); m.hasMatch())
        return m.captured(1) == QLatin1String("#STAR") ? t : m.captured(2).trimmed();
    if (const auto it = words.constFind(t.toUpper()); it != words.constEnd())
        return *it;
    static const QRegularExpression stars(QStringLiteral("^(\\d)STAR$"), QRegularExpression::CaseInsensitiveOption);
    if (const QRegularExpressionMatch m = stars.match(t); m.hasMatch())
        return m.captured(1) + (m.captured(1) == QLatin1String("1") ? " Star" : " Stars");
    return t;
}

} // namespace ObjectTypes

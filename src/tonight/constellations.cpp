#include "tonight/constellations.h"

#include <QHash>

namespace Constellations {
namespace {

struct Entry
{
    const char *abbreviation;
    const char *name;
};

const Entry kAll[] = {
    {"And", "Andromeda"},        {"Ant", "Antlia"},           {"Aps", "Apus"},
    {"Aqr", "Aquarius"},         {"Aql", "Aquila"},           {"Ara", "Ara"},
    {"Ari", "Aries"},            {"Aur", "Auriga"},           {"Boo", "Bootes"},
    {"Cae", "Caelum"},           {"Cam", "Camelopardalis"},   {"Cnc", "Cancer"},
    {"CVn", "Canes Venatici"},   {"CMa", "Canis Major"},      {"CMi", "Canis Minor"},
    {"Cap", "Capricornus"},      {"Car", "Carina"},           {"Cas", "Cassiopeia"},
    {"Cen", "Centaurus"},        {"Cep", "Cepheus"},          {"Cet", "Cetus"},
    {"Cha", "Chamaeleon"},       {"Cir", "Circinus"},         {"Col", "Columba"},
    {"Com", "Coma Berenices"},   {"CrA", "Corona Australis"}, {"CrB", "Corona Borealis"},
    {"Crv", "Corvus"},           {"Crt", "Crater"},           {"Cru", "Crux"},
    {"Cyg", "Cygnus"},           {"Del", "Delphinus"},        {"Dor", "Dorado"},
    {"Dra", "Draco"},            {"Equ", "Equuleus"},         {"Eri", "Eridanus"},
    {"For", "Fornax"},           {"Gem", "Gemini"},           {"Gru", "Grus"},
    {"Her", "Hercules"},         {"Hor", "Horologium"},       {"Hya", "Hydra"},
    {"Hyi", "Hydrus"},           {"Ind", "Indus"},            {"Lac", "Lacerta"},
    {"Leo", "Leo"},              {"LMi", "Leo Minor"},        {"Lep", "Lepus"},
    {"Lib", "Libra"},            {"Lup", "Lupus"},            {"Lyn", "Lynx"},
    {"Lyr", "Lyra"},             {"Men", "Mensa"},            {"Mic", "Microscopium"},
    {"Mon", "Monoceros"},        {"Mus", "Musca"},            {"Nor", "Norma"},
    {"Oct", "Octans"},           {"Oph", "Ophiuchus"},        {"Ori", "Orion"},
    {"Pav", "Pavo"},             {"Peg", "Pegasus"},          {"Per", "Perseus"},
    {"Phe", "Phoenix"},          {"Pic", "Pictor"},           {"Psc", "Pisces"},
    {"PsA", "Piscis Austrinus"}, {"Pup", "Puppis"},           {"Pyx", "Pyxis"},
    {"Ret", "Reticulum"},        {"Sge", "Sagitta"},          {"Sgr", "Sagittarius"},
    {"Sco", "Scorpius"},         {"Scl", "Sculptor"},         {"Sct", "Scutum"},
    {"Ser", "Serpens"},          {"Sex", "Sextans"},          {"Tau", "Taurus"},
    {"Tel", "Telescopium"},      {"Tri", "Triangulum"},       {"TrA", "Triangulum Australe"},
    {"Tuc", "Tucana"},           {"UMa", "Ursa Major"},       {"UMi", "Ursa Minor"},
    {"Vel", "Vela"},             {"Vir", "Virgo"},            {"Vol", "Volans"},
    {"Vul", "Vulpecula"},
};

// Both spellings, upper-cased, to the entry; "Bootes" with its diaeresis
// and "Scorpio" as some catalogues write them.
const QHash<QString, const Entry *> &index()
{
    static const QHash<QString, const Entry *> map = [] {
        QHash<QString, const Entry *> m;
        for (const Entry &e : kAll) {
            m.insert(QString::fromLatin1(e.abbreviation).toUpper(), &e);
            m.insert(QString::fromLatin1(e.name).toUpper(), &e);
        }
        m.insert(QStringLiteral("BOÖTES"), m.value(QStringLiteral("BOO")));
        m.insert(QStringLiteral("SCORPIO"), m.value(QStringLiteral("SCO")));
        m.insert(QStringLiteral("SERPENS CAPUT"), m.value(QStringLiteral("SER")));
        m.insert(QStringLiteral("SERPENS CAUDA"), m.value(QStringLiteral("SER")));
        return m;
    }();
    return map;
}

const Entry *find(const QString &text)
{
    return index().value(text.simplified().toUpper(), nullptr);
}

} // namespace

QString abbreviation(const QString &text)
{
    const Entry *e = find(text);
    return e ? QString::fromLatin1(e->abbreviation) : text.trimmed();
}

QString fullName(const QString &text)
{
    const Entry *e = find(text);
    return e ? QString::fromLatin1(e->name) : QString();
}

} // namespace Constellations

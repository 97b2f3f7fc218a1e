#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>

#include <optional>

// What the exchange format and the logbooks agree on: the scales, the
// designations, the instrument texts and the moments of an observation.
namespace Oal {

inline constexpr const char *kNamespace = "http://groups.google.com/group/openastronomylog";
inline constexpr const char *kXsiNamespace = "http://www.w3.org/2001/XMLSchema-instance";
// Targets written by Velnora name the logbook table they came from, so that
// a file of ours goes back to the same logbook.
inline constexpr const char *kDatasourcePrefix = "Velnora ";

// Seeing: the logbooks' 1-10 steps (10 best) against Antoniadi's 1-5 (1 best).
std::optional<int> antoniadiFromStep(const QString &step);
int stepFromAntoniadi(int antoniadi);
// Transparency: the steps that name a faintest naked-eye star (2 to 10).
std::optional<double> faintestStarFromStep(const QString &step);
int stepFromFaintestStar(double magnitude);

// "M 31", "m31", "Messier 31" and "M031" are one key; so are "NGC 224" and "NGC224".
QString designationKey(const QString &designation);

// Right ascension "05 34.5" or "5h34m30s" and declination "+22 01" in degrees,
// and back in the catalogue's "hh mm.m" / "+dd mm" form.
std::optional<double> raDegrees(const QString &text);
std::optional<double> decDegrees(const QString &text);
QString raText(double degrees);
QString decText(double degrees);

// An instrument text split into what a telescope description can carry.
struct Instrument
{
    QString scope;                 // the text less the eyepiece
    double aperture = 0;           // mm; 0 when the text gives none
    double focalLength = 0;        // mm; 0 when the text gives none
    double fixedMagnification = 0; // binoculars "10x50"
    QString eyepiece;              // the eyepiece part, "25mm Ploessl"
    double eyepieceFocalLength = 0;
    bool scopeDescribed() const { return aperture > 0 && (focalLength > 0 || fixedMagnification >= 1); }
};
Instrument parseInstrument(const QString &text);

// The first number of a magnification text ("100x" is 100); none below 1.
std::optional<double> magnificationValue(const QString &text);

// A moment as an xsd:dateTime gives it: the clock as written and its offset
// from UT, when one is given ("Z" is an offset of zero).
struct Moment
{
    QDate date;
    QTime time;
    std::optional<int> offsetSeconds;
    bool universal = false; // written with Z
};
std::optional<Moment> parseDateTime(const QString &text);
QString formatDateTime(const QDate &date, const QTime &time, std::optional<int> offsetSeconds);

// Local times as the logbooks write them: "9:50 PM", with seconds only when
// there are any.
QString localTimeText(const QTime &time);

// What our own documents say to themselves in comments, which other
// programs pass over: the result that holds the personal notes, and a local
// time typed in another form than localTimeText's, kept as it was typed.
extern const QLatin1String kPersonalNotesComment;
QString typedTimeComment(const QString &typed);
std::optional<QString> typedTimeFromComment(const QString &comment);

// A filter of the register as the format names its kind ("O-III" for
// OIII), and back; an unknown kind is "other" one way and empty the other.
QString filterKind(const QString &registerKind);
QString registerFilterKind(const QString &oalKind);

} // namespace Oal

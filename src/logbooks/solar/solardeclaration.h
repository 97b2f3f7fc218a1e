#pragma once

#include "ui/logbookdeclaration.h"

#include <QStringList>

// frmplanet, the bodies of the solar system with any number of observations
// each, and frmplanet_log, the window that adds one observation (it owns the
// defaults row and the aids).
namespace SolarLogbook {

inline constexpr const char *kShape =
    "SHAPE {select "
    "asteroid,mass,volume,atmosphere,completed,day,Diameter,Distance,Gravity,id,moon,name,notes,"
    "Orbital_period,sort,sort_old from planet Order by sort} AS ParentCMD APPEND ({select CN,id,"
    "Instrument_Used,Magnification_Used,Trans,Seeing,Observing_Location,Local_Date,Local_Time,UTC,Notes from "
    "planet_log } AS ChildCMD RELATE id TO id) AS ChildCMD";
inline constexpr const char *kAddQuery =
    "select "
    "id,Instrument_Used,Local_Date,Local_Time,Magnification_Used,Notes,Trans,Seeing,Observing_Location,"
    "sort,UTC from planet_log";
inline constexpr const char *kEditQuery =
    "select CN,id,Instrument_Used,Local_Date,Local_Time,Magnification_Used,Notes,Trans,Seeing,"
    "Observing_Location,sort,UTC from planet_log  Order by CN";
inline constexpr const char *kDateMessage = "Check Date Field...Date must be entered as mm/dd/yyyy";
inline constexpr const char *kDeleteQuestion = "Do you really wish to delete this record?  ";

inline constexpr const char *kAddWindow = "frmplanet_log";
inline constexpr const char *kEditWindow = "frmplanet_log1";
inline constexpr const char *kWarningWindow = "frm_planet_log_warning";

// The body chooser's list, in display order.
const QStringList &bodies();

// frmplanet.
const LogbookDeclaration &declaration();
// frmplanet_log: one new observation, its defaults and the aids that write
// into it.
const LogbookDeclaration &observationDeclaration();
// frmplanet_log1: one stored observation.
const LogbookDeclaration &editDeclaration();

} // namespace SolarLogbook

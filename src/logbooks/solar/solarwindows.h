#pragma once

// The solar-system logbook's observation windows: frmplanet_log with its
// aids, frmplanet_log1 and frm_planet_log_warning.
namespace SolarWindows {

void registerObservationWindows();

} // namespace SolarWindows

#pragma once

// The windows that belong to the SAC browser: frm_ngc_notes, ngc_examples
// and password.
namespace SacWindows {

void registerOwnWindows();

} // namespace SacWindows

#pragma once

// The three windows of the advanced search: adv_search (criteria),
// search_options (output) and frmSac725 (screen preview).
namespace SearchWindows {

void registerAll();

} // namespace SearchWindows

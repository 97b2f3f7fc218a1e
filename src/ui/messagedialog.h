#pragma once

// The real message and input boxes behind Messages.
namespace MessageDialog {
void install();
}

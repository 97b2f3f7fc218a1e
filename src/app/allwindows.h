#pragma once

// Registers the factory of every window of the program under its name.
namespace AllWindows {
void registerAll();
}

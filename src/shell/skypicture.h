#pragma once

#include <QImage>
#include <QSize>

// The splash and menu pictures: a night sky drawn from a fixed seed, the
// Milky Way as a soft band and a few bright stars with their glow.
namespace SkyPicture {
QImage render(const QSize &size, quint32 seed = 1972);
}

#pragma once

// Fonts by the names the program uses. "times" would otherwise resolve through fontconfig
// to whichever Times-like face happens to be installed (Ghostscript's Nimbus Roman wins
// as soon as ImageMagick is there), so the look would change with unrelated packages.

#include <QFont>
#include <QString>

namespace Fonts {

// Registers "times" -> "Liberation Serif" when that face exists. Safe to call repeatedly.
void registerSubstitutions();

// A font of the given family and size in points (96 logical DPI: k points = k * 4 / 3 px).
QFont font(const QString& family, double points);

} // namespace Fonts

#pragma once

// Fonts by the names the program uses. "times" would otherwise resolve through fontconfig
// to whichever Times-like face happens to be installed (Ghostscript's Nimbus Roman wins
// as soon as ImageMagick is there), so the look would change with unrelated packages.

#include <QFont>
#include <QString>

class QPaintDevice;

namespace Fonts {

// Registers "times" -> "Liberation Serif" when that face exists. Safe to call repeatedly.
void registerSubstitutions();

// A font of the given family and size in points (96 logical DPI: k points = k * 4 / 3 px).
QFont font(const QString& family, double points);

// Average character width in the classic sense (OS/2 tables before version 3): the
// advance widths of the lower-case letters and the space, weighted by how often they
// occur in English text. Newer tables average over every glyph, which for Liberation
// Serif is a third wider (0.57 em against 0.40 em) and would push a text placed at
// column 73 of the grid out of the window.
int averageCharWidth(const QFont& font, QPaintDevice* device);

} // namespace Fonts

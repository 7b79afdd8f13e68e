#include "platform/qt/Fonts.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QStringList>

namespace Fonts {

void registerSubstitutions()
{
    const QString serifFace = QStringLiteral("Liberation Serif");
    if (!QFontDatabase::families().contains(serifFace))
        return;
    for (const QString& alias : {QStringLiteral("times"), QStringLiteral("Times"),
                                 QStringLiteral("Times New Roman")}) {
        if (!QFont::substitutes(alias).contains(serifFace))
            QFont::insertSubstitution(alias, serifFace);
    }
}

QFont font(const QString& family, double points)
{
    QFont result(family.isEmpty() ? QStringLiteral("times") : family);
    result.setPointSizeF(points > 0 ? points : 12.0);
    return result;
}

int averageCharWidth(const QFont& font, QPaintDevice* device)
{
    struct Weight {
        char letter;
        int perMille;
    };
    static constexpr Weight kWeights[] = {
        {'a', 64}, {'b', 14}, {'c', 27}, {'d', 35}, {'e', 100}, {'f', 20}, {'g', 14}, {'h', 42},
        {'i', 63}, {'j', 3}, {'k', 6}, {'l', 35}, {'m', 20}, {'n', 56}, {'o', 56}, {'p', 17},
        {'q', 4}, {'r', 49}, {'s', 56}, {'t', 71}, {'u', 31}, {'v', 10}, {'w', 18}, {'x', 3},
        {'y', 18}, {'z', 2}, {' ', 166}};
    // The font's own (unhinted) widths: hinting rounds each advance to whole pixels,
    // which would make the grid depend on the rasteriser rather than on the font.
    QFont designFont(font);
    designFont.setHintingPreference(QFont::PreferNoHinting);
    const QFontMetricsF metrics(designFont, device);
    double sum = 0;
    for (const Weight& weight : kWeights)
        sum += metrics.horizontalAdvance(QLatin1Char(weight.letter)) * weight.perMille;
    return qMax(1, qRound(sum / 1000.0));
}

} // namespace Fonts

#include "platform/qt/Fonts.h"

#include <QFontDatabase>
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

} // namespace Fonts

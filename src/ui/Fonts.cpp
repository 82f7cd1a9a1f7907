#include "ui/Fonts.h"

#include <algorithm>

namespace qf {

QFont ArialFont(int pixelSize, QFont::Weight weight) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(std::max(1, pixelSize));
    font.setWeight(weight);
    return font;
}

QFont Stretched(QFont font, qreal wanted, qreal natural) {
    if (natural > 0.0) {
        font.setStretch(std::clamp(qRound(100.0 * wanted / natural), 1, 4000));
    }
    return font;
}

QFont RomanFont(int pixelSize) {
    QFont font(QStringLiteral("Liberation Serif"));
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(pixelSize);
    font.setWeight(QFont::Thin);
    return font;
}

QFont GraphLabelFont() {
    QFont font;
    font.setFamilies(
        {QStringLiteral("SimSun"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setPointSize(10);
    return font;
}

}  // namespace qf

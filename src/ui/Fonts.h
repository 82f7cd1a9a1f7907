// The program's fonts. The layouts ask for Windows faces; fontconfig maps "Arial" to the
// metric-compatible Liberation Sans, and the others are named with their stand-ins.
#pragma once

#include <QFont>
#include <QStringList>

namespace qf {

// "Arial" at a pixel size (at least 1) and weight.
QFont ArialFont(int pixelSize, QFont::Weight weight = QFont::Normal);

// The same font narrowed or widened so that `natural` pixels become `wanted`.
QFont Stretched(QFont font, qreal wanted, qreal natural);

// The dialogs' labels and buttons: Arial of a given character height, weight 500.
inline QFont DialogLabelFont(int pixelHeight) {
    return ArialFont(pixelHeight, QFont::Medium);
}

// "black ROMAN", which no system has: a thin serif stands in.
QFont RomanFont(int pixelSize);

// The graphs' label font, SimSun 10 pt; SimSun is rarely installed outside China, and
// the next faces are near it in size.
QFont GraphLabelFont();

}  // namespace qf

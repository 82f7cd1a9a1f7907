// Shared by the widget tests of the bars: the application object and pixel helpers.
#pragma once

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QRect>
#include <QWidget>

namespace qftest {

inline QApplication& App() {
    static int argc = 1;
    static char name[] = "bars_widget_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: tearing the GUI down among other exit-time destructors crashes.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

inline QImage Grab(QWidget& w) {
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// How many pixels of `area` have exactly `colour`.
inline int CountColour(const QImage& image, const QRect& area, const QColor& colour) {
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            n += image.pixelColor(x, y) == colour ? 1 : 0;
        }
    }
    return n;
}

inline bool AllColour(const QImage& image, const QRect& area, const QColor& colour) {
    return CountColour(image, area, colour) == area.width() * area.height();
}

}  // namespace qftest

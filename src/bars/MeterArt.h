// The drawn meter's artwork, compiled in from resources/meter: the front picture, the key
// images and the key cursor, plus where each key sits on the picture.
#pragma once

#include <QCursor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

#include "link/MeterCommand.h"

namespace qf {

inline constexpr int METER_PICTURE_WIDTH = 220;
inline constexpr int METER_PICTURE_HEIGHT = 620;

// Registers the artwork with Qt's resource system. It lives in a static library, so this
// has to run once before the first lookup; every widget that uses it calls it.
void InitMeterResources();

struct MeterKeyPlace {
    QPoint pos;         // top-left corner in the panel's client area
    QSize size;         // the key image, which is also the key's size
    const char* image;  // resource path
};

const MeterKeyPlace& KeyPlace(MeterKey key);

inline QRect KeyRect(MeterKey key) {
    const MeterKeyPlace& p = KeyPlace(key);
    return QRect(p.pos, p.size);
}

QImage MeterPicture();

// The key's image laid over its place on the front picture, so the opaque key block blends
// with the picture around it.
QImage MeterKeyImage(MeterKey key);

// Shown while a key is held down.
QCursor MeterKeyCursor();
inline constexpr QPoint KEY_CURSOR_HOT_SPOT{12, 1};

}  // namespace qf

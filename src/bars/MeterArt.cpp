#include "bars/MeterArt.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <array>

// Q_INIT_RESOURCE may not be used inside a namespace.
static void InitMeterQrc() {
    Q_INIT_RESOURCE(meter);
}

namespace qf {

namespace {

// In MeterKey order.
constexpr std::array<MeterKeyPlace, METER_KEY_COUNT> PLACES = {{
    {{55, 289}, {36, 29}, ":/meter/key_maxmin_up.svg"},
    {{92, 291}, {34, 33}, ":/meter/key_avg.svg"},
    {{126, 292}, {37, 25}, ":/meter/key_hold_up.svg"},
    {{92, 378}, {35, 40}, ":/meter/key_units.svg"},
    {{119, 410}, {32, 45}, ":/meter/key_hold_down.svg"},
    {{67, 409}, {32, 43}, ":/meter/key_maxmin_down.svg"},
    {{93, 442}, {34, 40}, ":/meter/key_area.svg"},
    {{139, 492}, {24, 26}, ":/meter/key_power.svg"},
    {{93, 327}, {35, 32}, ":/meter/key_irt.svg"},
}};

QImage RenderSvg(const char* path, QSize size, const QImage& under = QImage()) {
    InitMeterResources();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    if (!under.isNull()) {
        painter.drawImage(0, 0, under);
    }
    QSvgRenderer renderer(QString::fromLatin1(path));
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

}  // namespace

void InitMeterResources() {
    static const bool done = (InitMeterQrc(), true);
    (void)done;
}

const MeterKeyPlace& KeyPlace(MeterKey key) {
    return PLACES.at(static_cast<std::size_t>(key));
}

QImage MeterPicture() {
    static const QImage picture =
        RenderSvg(":/meter/front.svg", QSize(METER_PICTURE_WIDTH, METER_PICTURE_HEIGHT))
            .convertToFormat(QImage::Format_RGB32);
    return picture;
}

QImage MeterKeyImage(MeterKey key) {
    const MeterKeyPlace& place = KeyPlace(key);
    return RenderSvg(place.image, place.size, MeterPicture().copy(KeyRect(key)))
        .convertToFormat(QImage::Format_RGB32);
}

QCursor MeterKeyCursor() {
    const QImage image = RenderSvg(":/meter/key_cursor.svg", QSize(32, 32));
    return QCursor(QPixmap::fromImage(image), KEY_CURSOR_HOT_SPOT.x(), KEY_CURSOR_HOT_SPOT.y());
}

}  // namespace qf

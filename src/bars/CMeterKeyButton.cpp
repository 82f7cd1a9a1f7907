#include "bars/CMeterKeyButton.h"

#include <QMouseEvent>
#include <QPainter>

#include "bars/MeterArt.h"

namespace qf {

CMeterKeyButton::CMeterKeyButton(int controlId, QWidget* parent)
    : QAbstractButton(parent), m_nControlId(controlId), m_key(KeyFromControlId(controlId)) {
    // Mouse only, like the meter keys it stands for.
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (m_key) {
        m_image = QPixmap::fromImage(MeterKeyImage(*m_key));
        m_cursor = MeterKeyCursor();
        resize(KeyPlace(*m_key).size);
        MoveToPlace();
    }
}

QSize CMeterKeyButton::sizeHint() const {
    return m_key ? KeyPlace(*m_key).size : QSize(0, 0);
}

QPoint CMeterKeyButton::Place() const {
    const QPoint origin = parentWidget() ? parentWidget()->contentsRect().topLeft() : QPoint();
    return origin + KeyPlace(*m_key).pos;
}

void CMeterKeyButton::MoveToPlace() {
    if (m_key && pos() != Place()) {
        move(Place());
    }
}

void CMeterKeyButton::paintEvent(QPaintEvent*) {
    if (!m_key) {
        return;
    }
    if (pos() != Place()) {
        // Moving a widget inside its own paint is not safe; do it right after.
        QMetaObject::invokeMethod(this, &CMeterKeyButton::MoveToPlace, Qt::QueuedConnection);
    }
    QPainter painter(this);
    painter.drawPixmap(QPoint(0, 0), m_image, QRect(QPoint(0, 0), size()));
    if (isDown()) {
        setCursor(m_cursor);
        emit commandReady(KeyPressPacket(*m_key));
    } else if (testAttribute(Qt::WA_SetCursor)) {
        unsetCursor();
    }
}

void CMeterKeyButton::mouseDoubleClickEvent(QMouseEvent* event) {
    // Qt would treat the second click as another press; the meter gets the key's
    // double-click command instead.
    event->accept();
    if (m_key && event->button() == Qt::LeftButton) {
        emit doubleClicked();
    }
}

}  // namespace qf

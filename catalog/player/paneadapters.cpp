#include "paneadapters.h"

#include "twips.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>
#include <optional>

namespace {

// Pixels the grab area adds on each side of a bar.
constexpr int BarReach = 2;

// `twips` in pixels of `widget`; nothing for a value that is not a number or lies beyond
// what a widget can take (a hand-edited setting), so that the pixel sums cannot overflow.
std::optional<int> toPixels(double twips, const QWidget* widget) {
    const double pixels = twips * widget->logicalDpiY() / 1440.0;
    if (!(std::abs(pixels) <= QWIDGETSIZE_MAX))
        return std::nullopt;
    return static_cast<int>(std::lround(pixels));
}

} // namespace

WidgetControl::WidgetControl(QWidget* widget, QMargins reach) : m_widget(widget), m_reach(reach) {}

double WidgetControl::left() const {
    return m_widget ? pixelsToTwips(m_widget->x() + m_reach.left(), m_widget) : 0;
}

double WidgetControl::top() const {
    return m_widget ? pixelsToTwips(m_widget->y() + m_reach.top(), m_widget) : 0;
}

double WidgetControl::width() const {
    return m_widget ? pixelsToTwips(m_widget->width() - m_reach.left() - m_reach.right(), m_widget)
                    : 0;
}

double WidgetControl::height() const {
    return m_widget ? pixelsToTwips(m_widget->height() - m_reach.top() - m_reach.bottom(), m_widget)
                    : 0;
}

bool WidgetControl::setLeft(double value) {
    const std::optional<int> pixels = m_widget ? toPixels(value, m_widget) : std::nullopt;
    if (!pixels)
        return false;
    m_widget->move(*pixels - m_reach.left(), m_widget->y());
    return true;
}

bool WidgetControl::setTop(double value) {
    const std::optional<int> pixels = m_widget ? toPixels(value, m_widget) : std::nullopt;
    if (!pixels)
        return false;
    m_widget->move(m_widget->x(), *pixels - m_reach.top());
    return true;
}

bool WidgetControl::setWidth(double value) {
    const std::optional<int> pixels = m_widget ? toPixels(value, m_widget) : std::nullopt;
    if (!pixels || value < 0)
        return false;
    m_widget->resize(*pixels + m_reach.left() + m_reach.right(), m_widget->height());
    return true;
}

bool WidgetControl::setHeight(double value) {
    const std::optional<int> pixels = m_widget ? toPixels(value, m_widget) : std::nullopt;
    if (!pixels || value < 0)
        return false;
    m_widget->resize(m_widget->width(), *pixels + m_reach.top() + m_reach.bottom());
    return true;
}

WidgetHost::WidgetHost(QWidget* area, QWidget* pointerTarget)
    : m_area(area), m_pointerTarget(pointerTarget ? pointerTarget : area) {}

double WidgetHost::scaleWidth() const {
    return m_area ? pixelsToTwips(m_area->width(), m_area) : 0;
}

double WidgetHost::scaleHeight() const {
    return m_area ? pixelsToTwips(m_area->height(), m_area) : 0;
}

bool WidgetHost::setMousePointer(std::int16_t code) {
    if (!m_pointerTarget)
        return false;
    switch (code) {
    case panefold::PointerDefault:
        m_pointerTarget->unsetCursor();
        break;
    case panefold::PointerSizeNS:
        m_pointerTarget->setCursor(Qt::SizeVerCursor);
        break;
    case panefold::PointerSizeWE:
        m_pointerTarget->setCursor(Qt::SizeHorCursor);
        break;
    default:
        return false;
    }
    m_pointer = code;
    return true;
}

SplitBarWidget::SplitBarWidget(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), m_orientation(orientation) {
    setMouseTracking(true); // moves without a button set the pointer
    setAttribute(Qt::WA_NoSystemBackground);
}

QMargins SplitBarWidget::reach() const {
    return m_orientation == Qt::Vertical ? QMargins(BarReach, 0, BarReach, 0)
                                         : QMargins(0, BarReach, 0, BarReach);
}

double SplitBarWidget::along(const QMouseEvent* event) const {
    const QPoint at = event->position().toPoint();
    return m_orientation == Qt::Vertical ? pixelsToTwips(at.x() - BarReach, this)
                                         : pixelsToTwips(at.y() - BarReach, this);
}

void SplitBarWidget::mousePressEvent(QMouseEvent* event) {
    // Qt keeps sending moves and the release to the widget that took the press, wherever the
    // pointer goes, so a drag cannot lose its bar.
    m_buttons = event->buttons();
    update();
    Q_EMIT pressed(along(event));
}

void SplitBarWidget::mouseMoveEvent(QMouseEvent* event) {
    Q_EMIT moved(along(event));
}

void SplitBarWidget::mouseReleaseEvent(QMouseEvent* event) {
    m_buttons = event->buttons();
    update();
    Q_EMIT released(along(event));
}

void SplitBarWidget::enterEvent(QEnterEvent* event) {
    m_hovered = true;
    update();
    QWidget::enterEvent(event);
}

void SplitBarWidget::leaveEvent(QEvent* event) {
    m_hovered = false;
    update();
    if (!isDragging())
        Q_EMIT pointerLeft();
    QWidget::leaveEvent(event);
}

void SplitBarWidget::paintEvent(QPaintEvent*) {
    // The grab band stays transparent over the neighbouring panes' edges; the bar itself is a
    // quiet line that lights up while the pointer is on it.
    QPainter painter(this);
    const QRect bar = rect().marginsRemoved(reach());
    if (m_hovered || isDragging()) {
        QColor glow = palette().color(QPalette::Highlight);
        glow.setAlpha(150);
        painter.fillRect(rect(), glow);
    } else {
        painter.fillRect(bar, palette().color(QPalette::Mid));
    }
}

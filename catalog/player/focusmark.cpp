#include "focusmark.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

namespace {

constexpr int LineWidth = 3;

} // namespace

FocusMark::FocusMark(QWidget* window) : QWidget(window), m_window(window) {
    setObjectName("focusMark");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { follow(now); });
}

// The mark is a sibling of the control, laid over it: the control's parent clips it as it
// clips the control.
void FocusMark::follow(QWidget* focused) {
    if (m_marked)
        m_marked->removeEventFilter(this);
    m_marked = nullptr;
    if (!focused || focused == m_window || !m_window->isAncestorOf(focused) ||
        !focused->parentWidget()) {
        hide();
        return;
    }
    m_marked = focused;
    m_marked->installEventFilter(this);
    if (parentWidget() != focused->parentWidget())
        setParent(focused->parentWidget());
    place();
}

void FocusMark::place() {
    if (!m_marked || !m_marked->isVisible()) {
        hide();
        return;
    }
    // One pixel beyond the control on each side: the line covers the control's own frame
    // rather than its first row.
    setGeometry(m_marked->geometry().adjusted(-1, -1, 1, 1));
    raise();
    show();
}

bool FocusMark::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_marked) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            place();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FocusMark::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(palette().color(QPalette::Active, QPalette::Highlight), LineWidth);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const qreal inset = LineWidth / 2.0;
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), 3, 3);
}

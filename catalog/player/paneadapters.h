#pragma once

#include "panefold.h"

#include <QMargins>
#include <QPointer>
#include <QWidget>

// Widgets seen by the splitters: geometry in twips, relative to the parent widget.

// A widget's position and size. `reach` is a band of pixels around the widget that is not part
// of its logical geometry (a split bar's grab area). Negative sizes are refused, as are all
// values once the widget is gone.
class WidgetControl : public panefold::Control {
public:
    explicit WidgetControl(QWidget* widget, QMargins reach = {});

    QWidget* widget() const { return m_widget; }

    double left() const override;
    double top() const override;
    double width() const override;
    double height() const override;
    bool setLeft(double value) override;
    bool setTop(double value) override;
    bool setWidth(double value) override;
    bool setHeight(double value) override;

private:
    QPointer<QWidget> m_widget;
    QMargins m_reach;
};

// A container whose inner area holds the panes; the pointer code shapes the cursor over
// `pointerTarget` and every child that does not set its own.
class WidgetHost : public panefold::Host {
public:
    explicit WidgetHost(QWidget* area, QWidget* pointerTarget = nullptr);

    double scaleWidth() const override;
    double scaleHeight() const override;
    // 0 default, 7 north-south sizing, 9 west-east sizing; other codes are refused.
    bool setMousePointer(std::int16_t code) override;
    std::int16_t mousePointer() const { return m_pointer; }

private:
    QPointer<QWidget> m_area;
    QPointer<QWidget> m_pointerTarget;
    std::int16_t m_pointer = panefold::PointerDefault;
};

// A split bar. Its logical thickness is what the splitter gives it (two pixels at 96 dpi); the
// widget reaches a little further on both sides so the bar is easy to grab. It reports mouse
// buttons and moves with the pointer's coordinate along its axis in twips from the bar's
// logical left (or top) edge.
class SplitBarWidget : public QWidget {
    Q_OBJECT
public:
    // A Qt::Vertical bar stands between a left and a right pane and moves sideways.
    SplitBarWidget(Qt::Orientation orientation, QWidget* parent);

    Qt::Orientation orientation() const { return m_orientation; }
    QMargins reach() const;
    bool isDragging() const { return m_buttons != Qt::NoButton; }

Q_SIGNALS:
    void pressed(double twips);
    void moved(double twips);
    void released(double twips);
    // The pointer went off the bar with no button held.
    void pointerLeft();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    double along(const QMouseEvent* event) const;

    Qt::Orientation m_orientation;
    Qt::MouseButtons m_buttons;
    bool m_hovered = false;
};

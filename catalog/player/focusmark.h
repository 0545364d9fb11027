#pragma once

#include <QPointer>
#include <QWidget>

// A frame in the highlight colour drawn over the control of `window` that has the keyboard
// focus, whatever the style draws for focus itself, so that a person sees at a glance where
// the keys go. It follows the focus, and the control as it moves or is resized; mouse clicks
// pass through it.
class FocusMark : public QWidget {
    Q_OBJECT
public:
    explicit FocusMark(QWidget* window);

    // The control marked now, or nullptr when the focus is elsewhere.
    QWidget* marked() const { return m_marked; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow(QWidget* focused);
    void place();

    QWidget* m_window;
    QPointer<QWidget> m_marked;
};

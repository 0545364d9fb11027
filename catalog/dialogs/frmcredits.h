#pragma once

#include <QRect>
#include <QWidget>
#include <functional>

class QLabel;
class QTimer;

// A small always-on-top window with the program's title and its authors. While open it pulses
// between invisible and partly transparent and every few seconds jumps to a random place
// inside an area (the player window's inner area).
class frmCredits : public QWidget {
    Q_OBJECT
public:
    // The area to wander in, in screen pixels; an empty one when there is none.
    using AreaSource = std::function<QRect()>;
    // Uniform random numbers in [0, 1).
    using RandomSource = std::function<double()>;

    static constexpr int FadeInterval = 250;  // ms
    static constexpr int MoveInterval = 5000; // ms
    static constexpr quint8 FadeStep = 10;
    static constexpr quint8 FadePeak = 150;
    // Draws a move may make before it gives up and leaves the window where it is.
    static constexpr int MaxDraws = 1000;

    // Without `random` the program's generator is used.
    explicit frmCredits(AreaSource area, RandomSource random = {}, QWidget* parent = nullptr);

    // Whether a window of moveHeight × moveWidth at (left, top) stays inside a container of
    // compHeight × compWidth whose inner area starts at 0; touching the far edge is inside.
    static bool Check_Boundaries(double top, double left, double moveHeight, double moveWidth,
                                 double compHeight, double compWidth);

    // One step of the fade: 0 up to FadePeak and back in steps of FadeStep.
    void fadeTick();
    // Jumps to a random place where the whole window lies inside the area; stays when no draw
    // finds one.
    void moveTick();

    quint8 alpha() const { return m_alpha; }
    bool fadingOut() const { return m_fadingOut; }

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void buildLabels();

    AreaSource m_area;
    RandomSource m_random;
    quint8 m_alpha = 0;
    bool m_fadingOut = false;
};

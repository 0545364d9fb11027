#pragma once

#include <QFrame>
#include <QPointer>

class MediaPlayer;
class QLabel;
class QSlider;
class QToolButton;

// The controls of the embedded player: play/pause, stop, a seek bar between the elapsed and
// the total time, and the volume. Space plays or pauses while the strip has the focus.
class PlayerStrip : public QFrame {
    Q_OBJECT
public:
    explicit PlayerStrip(QWidget* parent = nullptr);

    // The player the controls drive; the strip does not own it.
    void setPlayer(MediaPlayer* player);

    QToolButton* playButton = nullptr;
    QToolButton* stopButton = nullptr;
    QSlider* seekBar = nullptr;
    QLabel* elapsedLabel = nullptr;
    QLabel* totalLabel = nullptr;
    QSlider* volumeBar = nullptr;

Q_SIGNALS:
    // Play was asked for while nothing is loaded.
    void playRequested();

private:
    void playOrPause();
    void showState(int state);
    void showPosition(double seconds);
    void showDuration(double seconds);

    QPointer<MediaPlayer> m_player;
};

// "m:ss", or "h:mm:ss" from an hour on.
QString stripTime(double seconds);

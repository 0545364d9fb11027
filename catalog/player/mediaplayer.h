#pragma once

#include <QObject>
#include <QString>

// The embedded player as the player window uses it: open a file or .m3u play list and start
// playing, stop, the entry now playing; the window follows its new-stream and play-state
// events. The strip under the lists drives pause, seeking and volume.
class MediaPlayer : public QObject {
    Q_OBJECT
public:
    enum PlayState { Stopped = 0, Paused = 1, Playing = 2 };

    using QObject::QObject;
    ~MediaPlayer() override = default;

    // Loads `target` and starts playing it; an empty text unloads whatever was loaded.
    virtual void open(const QString& target) = 0;
    virtual void stop() = 0;
    // The 1-based number of the entry playing within the opened file or play list; 0 if none.
    virtual int currentEntry() const = 0;
    virtual PlayState playState() const = 0;

    virtual void setPaused(bool paused) = 0;
    virtual void seek(double seconds) = 0;
    // 0 to 100.
    virtual void setVolume(int percent) = 0;

Q_SIGNALS:
    // An entry of the opened file or play list has started.
    void newStream();
    void playStateChanged(int oldState, int newState);
    void positionChanged(double seconds);
    void durationChanged(double seconds);
    // Something a person must be told: no audio device, the engine failed to start.
    void problem(const QString& text);
};

#pragma once

#include "mediaplayer.h"

#include <cstdint>

struct mpv_handle;
struct mpv_event;

// The media player over libmpv, without video and idle between files. libmpv's wakeup
// callback only posts a queued drain of its events to this object's thread; state comes from
// observed properties.
class MpvPlayer : public MediaPlayer {
    Q_OBJECT
public:
    // `audioOutput` is an mpv "ao" value: empty for the system's choice, "null" for tests.
    explicit MpvPlayer(const QString& audioOutput = {}, QObject* parent = nullptr);
    ~MpvPlayer() override;

    // Why the engine did not start; empty when it runs.
    QString failure() const { return m_failure; }

    void open(const QString& target) override;
    void stop() override;
    int currentEntry() const override { return m_entry; }
    PlayState playState() const override { return m_state; }
    void setPaused(bool paused) override;
    void seek(double seconds) override;
    void setVolume(int percent) override;

private:
    Q_INVOKABLE void drainEvents();
    void handle(const mpv_event& event);
    void onProperty(const mpv_event& event);
    void updateState();
    void command(std::initializer_list<const char*> args);
    void fail(const QString& text);

    mpv_handle* m_mpv = nullptr;
    QString m_failure;
    int m_entry = 0;
    int64_t m_firstEntryId = 0;
    int64_t m_startedEntry = 0;
    bool m_idle = true;
    // A file was asked for and has not started yet: the idleness and pauses reported meanwhile
    // belong to what played before, and the state waits for the file.
    bool m_starting = false;
    bool m_paused = false;
    PlayState m_state = Stopped;
};

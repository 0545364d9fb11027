#include "mpvplayer.h"

#include <QFileInfo>
#include <QMetaObject>
#include <clocale>
#include <mpv/client.h>

namespace {

// Reply identifiers of the observed properties.
enum Observed : quint64 { PlaylistPos = 1, Pause, TimePos, Duration, IdleActive };

// Runs on any of libmpv's threads: it may only hand the work to the player's own thread.
void wakeUp(void* player) {
    QMetaObject::invokeMethod(static_cast<MpvPlayer*>(player), "drainEvents", Qt::QueuedConnection);
}

} // namespace

MpvPlayer::MpvPlayer(const QString& audioOutput, QObject* parent) : MediaPlayer(parent) {
    // libmpv refuses to start while numbers are formatted by another locale's rules.
    std::setlocale(LC_NUMERIC, "C");
    m_mpv = mpv_create();
    if (!m_mpv) {
        fail(tr("The media player could not be started."));
        return;
    }
    // Sound only, no key bindings, scripts or configuration of a stand-alone mpv.
    const std::pair<const char*, QByteArray> options[] = {{"vid", "no"},
                                                          {"idle", "yes"},
                                                          {"terminal", "no"},
                                                          {"config", "no"},
                                                          {"load-scripts", "no"},
                                                          {"ytdl", "no"},
                                                          {"audio-display", "no"},
                                                          {"input-default-bindings", "no"},
                                                          {"ao", audioOutput.toUtf8()}};
    for (const auto& [name, value] : options)
        if (!value.isEmpty())
            mpv_set_option_string(m_mpv, name, value.constData());
    const int error = mpv_initialize(m_mpv);
    if (error < 0) {
        mpv_terminate_destroy(m_mpv);
        m_mpv = nullptr;
        fail(tr("The media player could not be started: %1.")
                 .arg(QString::fromUtf8(mpv_error_string(error))));
        return;
    }
    mpv_observe_property(m_mpv, PlaylistPos, "playlist-pos-1", MPV_FORMAT_INT64);
    mpv_observe_property(m_mpv, Pause, "pause", MPV_FORMAT_FLAG);
    mpv_observe_property(m_mpv, TimePos, "time-pos", MPV_FORMAT_DOUBLE);
    mpv_observe_property(m_mpv, Duration, "duration", MPV_FORMAT_DOUBLE);
    mpv_observe_property(m_mpv, IdleActive, "idle-active", MPV_FORMAT_FLAG);
    mpv_set_wakeup_callback(m_mpv, wakeUp, this);
}

MpvPlayer::~MpvPlayer() {
    if (!m_mpv)
        return;
    mpv_set_wakeup_callback(m_mpv, nullptr, nullptr);
    mpv_terminate_destroy(m_mpv);
}

void MpvPlayer::fail(const QString& text) {
    m_failure = text;
    Q_EMIT problem(text);
}

void MpvPlayer::command(std::initializer_list<const char*> args) {
    if (!m_mpv)
        return;
    std::vector<const char*> list(args);
    list.push_back(nullptr);
    mpv_command(m_mpv, list.data());
}

void MpvPlayer::open(const QString& target) {
    if (!m_mpv) {
        Q_EMIT problem(m_failure);
        return;
    }
    m_starting = !target.isEmpty();
    if (target.isEmpty()) {
        command({"stop"});
        return;
    }
    setPaused(false);
    const QByteArray path = target.toUtf8();
    const bool playList = QFileInfo(target).suffix().compare("m3u", Qt::CaseInsensitive) == 0;
    command({playList ? "loadlist" : "loadfile", path.constData(), "replace"});
    // Entries get consecutive identifiers as the list is loaded; an entry's number follows
    // from its identifier even when its events are read after the next entry has started.
    m_firstEntryId = 0;
    mpv_get_property(m_mpv, "playlist/0/id", MPV_FORMAT_INT64, &m_firstEntryId);
}

void MpvPlayer::stop() {
    command({"stop"});
}

void MpvPlayer::setPaused(bool paused) {
    if (m_mpv)
        mpv_set_property_string(m_mpv, "pause", paused ? "yes" : "no");
}

void MpvPlayer::seek(double seconds) {
    if (m_state != Stopped)
        command({"seek", QByteArray::number(seconds, 'f', 3).constData(), "absolute"});
}

void MpvPlayer::setVolume(int percent) {
    double volume = std::clamp(percent, 0, 100);
    if (m_mpv)
        mpv_set_property(m_mpv, "volume", MPV_FORMAT_DOUBLE, &volume);
}

void MpvPlayer::drainEvents() {
    while (m_mpv) {
        const mpv_event* event = mpv_wait_event(m_mpv, 0);
        if (event->event_id == MPV_EVENT_NONE)
            break;
        handle(*event);
    }
}

void MpvPlayer::handle(const mpv_event& event) {
    switch (event.event_id) {
    case MPV_EVENT_PROPERTY_CHANGE:
        onProperty(event);
        break;
    case MPV_EVENT_START_FILE: {
        // The file asked for starts: whatever idleness was reported before it is over.
        m_starting = false;
        m_idle = false;
        updateState();
        const auto* start = static_cast<const mpv_event_start_file*>(event.data);
        m_startedEntry = m_firstEntryId > 0 ? start->playlist_entry_id - m_firstEntryId + 1 : 0;
        break;
    }
    case MPV_EVENT_FILE_LOADED:
        if (m_startedEntry > 0)
            m_entry = static_cast<int>(m_startedEntry);
        Q_EMIT newStream();
        break;
    case MPV_EVENT_IDLE:
        m_idle = true;
        updateState();
        break;
    case MPV_EVENT_END_FILE: {
        const auto* end = static_cast<const mpv_event_end_file*>(event.data);
        if (end->reason == MPV_END_FILE_REASON_ERROR && end->error == MPV_ERROR_AO_INIT_FAILED)
            Q_EMIT problem(tr("No audio device could be opened, so nothing can be played."));
        break;
    }
    default:
        break;
    }
}

void MpvPlayer::onProperty(const mpv_event& event) {
    const auto* property = static_cast<const mpv_event_property*>(event.data);
    const bool known = property->format != MPV_FORMAT_NONE && property->data;
    switch (event.reply_userdata) {
    case PlaylistPos:
        m_entry =
            known ? static_cast<int>(std::max<int64_t>(*static_cast<int64_t*>(property->data), 0))
                  : 0;
        break;
    case Pause:
        m_paused = known && *static_cast<int*>(property->data) != 0;
        updateState();
        break;
    case IdleActive:
        m_idle = !known || *static_cast<int*>(property->data) != 0;
        updateState();
        break;
    case TimePos:
        Q_EMIT positionChanged(known ? *static_cast<double*>(property->data) : 0.0);
        break;
    case Duration:
        Q_EMIT durationChanged(known ? *static_cast<double*>(property->data) : 0.0);
        break;
    default:
        break;
    }
}

void MpvPlayer::updateState() {
    if (m_starting)
        return; // the state follows once the file asked for has started
    const PlayState state = m_idle ? Stopped : m_paused ? Paused : Playing;
    if (state == m_state)
        return;
    const PlayState old = m_state;
    m_state = state;
    Q_EMIT playStateChanged(old, state);
}

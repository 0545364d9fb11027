#pragma once

#include "volumeidentity.h"

#include <QList>
#include <QObject>
#include <QTimer>
#include <functional>

// Notices volumes being mounted and unmounted by looking at the list of mounted volumes now and
// then, which works alike for discs, sticks and shares, and for a scripted list in tests.
// Looking costs one call of the source and a comparison when nothing changed.
class VolumeWatch : public QObject {
    Q_OBJECT
public:
    using Source = std::function<QList<VolumeIdentity>()>;
    static constexpr int DefaultIntervalMs = 1000;

    explicit VolumeWatch(Source source, QObject* parent = nullptr);

    void setInterval(int ms);
    // Takes the volumes mounted now as the ones known, without a signal, then looks again
    // every interval until stopped.
    void start();
    void stop();
    bool isActive() const { return m_timer.isActive(); }
    // The volumes mounted when last looked.
    const QList<VolumeIdentity>& volumes() const { return m_volumes; }

Q_SIGNALS:
    // A volume counts as another one when anything the system says about it changed, so a
    // disk swapped between two looks is one gone and one appeared.
    void changed(const QList<VolumeIdentity>& appeared, const QList<VolumeIdentity>& gone);

private:
    void look();

    Source m_source;
    QTimer m_timer;
    QList<VolumeIdentity> m_volumes;
};

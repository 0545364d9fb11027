#include "volumewatch.h"

#include <QSet>

namespace {

QString keyOf(const VolumeIdentity& volume) {
    const QChar none(u'\0'); // in no path or label
    return volume.root + none + volume.label + none + volume.uuid + none + volume.fileSystem +
           none + QString::number(volume.capacity);
}

QSet<QString> keysOf(const QList<VolumeIdentity>& volumes) {
    QSet<QString> keys;
    keys.reserve(volumes.size());
    for (const VolumeIdentity& volume : volumes)
        keys.insert(keyOf(volume));
    return keys;
}

bool sameEntry(const VolumeIdentity& a, const VolumeIdentity& b) {
    return a.root == b.root && a.label == b.label && a.uuid == b.uuid &&
           a.fileSystem == b.fileSystem && a.capacity == b.capacity;
}

// The system lists volumes in mount order, so an unchanged list compares entry by entry.
bool sameList(const QList<VolumeIdentity>& a, const QList<VolumeIdentity>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), sameEntry);
}

QList<VolumeIdentity> missingFrom(const QList<VolumeIdentity>& volumes, const QSet<QString>& keys) {
    QList<VolumeIdentity> missing;
    for (const VolumeIdentity& volume : volumes)
        if (!keys.contains(keyOf(volume)))
            missing << volume;
    return missing;
}

} // namespace

VolumeWatch::VolumeWatch(Source source, QObject* parent)
    : QObject(parent), m_source(std::move(source)) {
    m_timer.setInterval(DefaultIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &VolumeWatch::look);
}

void VolumeWatch::setInterval(int ms) {
    m_timer.setInterval(ms);
}

void VolumeWatch::start() {
    m_volumes = m_source();
    m_timer.start();
}

void VolumeWatch::stop() {
    m_timer.stop();
}

void VolumeWatch::look() {
    QList<VolumeIdentity> now = m_source();
    if (sameList(now, m_volumes))
        return;
    const QList<VolumeIdentity> appeared = missingFrom(now, keysOf(m_volumes));
    const QList<VolumeIdentity> gone = missingFrom(m_volumes, keysOf(now));
    m_volumes = std::move(now);
    if (!appeared.isEmpty() || !gone.isEmpty())
        Q_EMIT changed(appeared, gone);
}

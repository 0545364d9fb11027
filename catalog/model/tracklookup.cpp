#include "tracklookup.h"

#include <algorithm>

bool TrackLookup::matches(qint32 index, qint32 trackId, const QString& name) const {
    if (index < 0 || static_cast<size_t>(index) >= m_tracks.size())
        return false;
    const TrackRecord& track = m_tracks[static_cast<size_t>(index)];
    return (trackId == 0 || track.TrackID == trackId) && track.TrackName == name;
}

void TrackLookup::forgetIfChanged() {
    if (m_tracks.data() == m_seenData && m_tracks.size() == m_seenSize)
        return;
    m_seenData = m_tracks.data();
    m_seenSize = m_tracks.size();
    m_byId.clear();
    m_idTable.clear();
    m_byName.clear();
    m_idsBuilt = m_namesBuilt = false;
}

// Identifiers given by the database are dense: a table indexed by identifier is built far
// faster than a hash. Sparse or negative identifiers go into the hash.
void TrackLookup::buildIds() {
    m_byId.clear();
    m_idTable.clear();
    qint32 largest = 0;
    for (const TrackRecord& track : m_tracks)
        largest = std::max(largest, track.TrackID);
    const bool dense = static_cast<size_t>(largest) <= 2 * m_tracks.size() + 1024;
    if (dense)
        m_idTable.assign(static_cast<size_t>(largest) + 1, -1);
    for (size_t i = 0; i < m_tracks.size(); ++i) {
        const qint32 id = m_tracks[i].TrackID;
        if (id == 0) // spare elements
            continue;
        if (dense && id > 0)
            m_idTable[static_cast<size_t>(id)] = static_cast<qint32>(i);
        else
            m_byId.insert(id, static_cast<qint32>(i));
    }
    m_idsBuilt = true;
}

qint32 TrackLookup::indexOfId(qint32 trackId) const {
    if (trackId > 0 && static_cast<size_t>(trackId) < m_idTable.size())
        return m_idTable[static_cast<size_t>(trackId)];
    return m_byId.value(trackId, -1);
}

void TrackLookup::buildNames() {
    m_byName.clear();
    m_byName.reserve(static_cast<qsizetype>(m_tracks.size()));
    for (size_t i = 0; i < m_tracks.size(); ++i)
        if (m_tracks[i].TrackID != 0 && !m_byName.contains(m_tracks[i].TrackName))
            m_byName.insert(m_tracks[i].TrackName, static_cast<qint32>(i));
    m_namesBuilt = true;
}

qint32 TrackLookup::find(qint32 trackId, const QString& name) {
    forgetIfChanged();
    if (trackId != 0) {
        if (!m_idsBuilt)
            buildIds();
        qint32 index = indexOfId(trackId);
        if (index >= 0 && m_tracks[static_cast<size_t>(index)].TrackID != trackId) {
            // The records moved in place since the index was built.
            buildIds();
            m_namesBuilt = false;
            index = indexOfId(trackId);
        }
        if (matches(index, trackId, name))
            return index;
    }
    if (!m_namesBuilt)
        buildNames();
    qint32 index = m_byName.value(name, -1);
    if (index >= 0 && !matches(index, 0, name)) {
        buildNames();
        index = m_byName.value(name, -1);
    }
    return index;
}

const TrackRecord* TrackLookup::record(qint32 trackId, const QString& name) {
    const qint32 index = find(trackId, name);
    return index < 0 ? nullptr : &m_tracks[static_cast<size_t>(index)];
}

#pragma once

#include "cataloglists.h"

#include <QHash>
#include <QString>
#include <vector>

// Finds the TrackList record behind a track-list item or a play-list entry: by its TrackID
// while that record still bears the entry's name, else the first record of that name (entries
// made without an identity, or after the lists were replaced). The indexes are built on first
// need and rebuilt whenever the list has changed, so a lookup costs O(1) on a large catalogue.
class TrackLookup {
public:
    explicit TrackLookup(const TrackList& tracks) : m_tracks(tracks) {}

    // Index in the list, or -1 when no record matches.
    qint32 find(qint32 trackId, const QString& name);
    // The record found, or nullptr.
    const TrackRecord* record(qint32 trackId, const QString& name);

private:
    bool matches(qint32 index, qint32 trackId, const QString& name) const;
    void forgetIfChanged();
    void buildIds();
    void buildNames();
    qint32 indexOfId(qint32 trackId) const;

    const TrackList& m_tracks;
    const TrackRecord* m_seenData = nullptr;
    size_t m_seenSize = 0;
    std::vector<qint32> m_idTable; // index by identifier, or -1
    QHash<qint32, qint32> m_byId;
    QHash<QString, qint32> m_byName; // the first record of each name
    bool m_idsBuilt = false;
    bool m_namesBuilt = false;
};

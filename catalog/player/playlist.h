#pragma once

#include <QAbstractListModel>
#include <QSet>
#include <QString>
#include <vector>

struct TrackItem;

// One entry of the play list: shown by its track's file name, known by a key that is unique
// within the list, and by the identity of the track it was added from (0: by name only).
struct PlayEntry {
    QString text;
    QString key;
    qint32 TrackID = 0;
    bool checked = false;
};

// The play list (lstSongs): entries in order, each with a check box. Positions are 1-based
// in the commands that use them and 0-based rows here.
class PlayListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    const std::vector<PlayEntry>& entries() const { return m_entries; }
    int count() const { return static_cast<int>(m_entries.size()); }
    bool containsKey(const QString& key) const { return m_keys.contains(key); }

    // Appends at the end; an entry whose key is already present is not added.
    bool append(PlayEntry entry);
    // "Add &Volume": every item, keyed "K" and its new position ("K1", "K2", ...). A key
    // already present (rows were deleted) is skipped over for the next free number.
    void appendVolume(const std::vector<TrackItem>& items);
    void removeAt(int row);
    // Removes the ticked entries, keeping the order of the others.
    void removeChecked();
    void clear();
    void setChecked(int row, bool checked);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

Q_SIGNALS:
    // Rows were added or removed: the totals want refreshing.
    void entriesChanged();

private:
    std::vector<PlayEntry> m_entries;
    QSet<QString> m_keys;
};

#include "playlist.h"

#include "catalogmodels.h"

#include <algorithm>

bool PlayListModel::append(PlayEntry entry) {
    if (m_keys.contains(entry.key))
        return false;
    const int row = count();
    beginInsertRows({}, row, row);
    m_keys.insert(entry.key);
    m_entries.push_back(std::move(entry));
    endInsertRows();
    Q_EMIT entriesChanged();
    return true;
}

void PlayListModel::appendVolume(const std::vector<TrackItem>& items) {
    if (items.empty()) {
        Q_EMIT entriesChanged();
        return;
    }
    const int first = count();
    beginInsertRows({}, first, first + static_cast<int>(items.size()) - 1);
    qint64 number = first;
    for (const TrackItem& item : items) {
        QString key;
        do
            key = QStringLiteral("K") + QString::number(++number);
        while (m_keys.contains(key));
        m_keys.insert(key);
        m_entries.push_back({item.TrackName, key, item.TrackID, false});
    }
    endInsertRows();
    Q_EMIT entriesChanged();
}

void PlayListModel::removeAt(int row) {
    if (row < 0 || row >= count())
        return;
    beginRemoveRows({}, row, row);
    m_keys.remove(m_entries[static_cast<size_t>(row)].key);
    m_entries.erase(m_entries.begin() + row);
    endRemoveRows();
    Q_EMIT entriesChanged();
}

void PlayListModel::removeChecked() {
    beginResetModel();
    std::erase_if(m_entries, [this](const PlayEntry& entry) {
        if (entry.checked)
            m_keys.remove(entry.key);
        return entry.checked;
    });
    endResetModel();
    Q_EMIT entriesChanged();
}

void PlayListModel::clear() {
    beginResetModel();
    m_entries.clear();
    m_keys.clear();
    endResetModel();
    Q_EMIT entriesChanged();
}

void PlayListModel::setChecked(int row, bool checked) {
    if (row < 0 || row >= count() || m_entries[static_cast<size_t>(row)].checked == checked)
        return;
    m_entries[static_cast<size_t>(row)].checked = checked;
    const QModelIndex changed = index(row);
    Q_EMIT dataChanged(changed, changed, {Qt::CheckStateRole});
}

int PlayListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant PlayListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count())
        return {};
    const PlayEntry& entry = m_entries[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return entry.text;
    case Qt::CheckStateRole:
        return entry.checked ? Qt::Checked : Qt::Unchecked;
    case KeyRole:
        return entry.key;
    case TrackIdRole:
        return entry.TrackID;
    default:
        return {};
    }
}

bool PlayListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::CheckStateRole)
        return false;
    setChecked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags PlayListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
}

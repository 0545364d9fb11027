#include "playlistrows.h"

#include <QListWidget>

namespace {

constexpr int TrackIdRole = Qt::UserRole;
constexpr int KeyRole = Qt::UserRole + 1;

} // namespace

int PlaylistRows::count() const {
    return m_list->count();
}

PlaylistEntry PlaylistRows::entry(int row) const {
    const QListWidgetItem* item = m_list->item(row);
    if (!item)
        return {};
    return {item->data(TrackIdRole).toInt(), item->data(KeyRole).toString(), item->text()};
}

bool PlaylistRows::isTicked(int row) const {
    const QListWidgetItem* item = m_list->item(row);
    return item && item->checkState() == Qt::Checked;
}

void PlaylistRows::tick(int row) {
    if (QListWidgetItem* item = m_list->item(row))
        item->setCheckState(Qt::Checked);
}

void PlaylistRows::append(const PlaylistEntry& entry) {
    auto* item = new QListWidgetItem(entry.text);
    item->setData(TrackIdRole, entry.trackId);
    item->setData(KeyRole, entry.key);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    m_list->addItem(item);
}

void PlaylistRows::remove(int row) {
    delete m_list->takeItem(row);
}

void PlaylistRows::clear() {
    m_list->clear();
}

QSet<QString> PlaylistRows::keys() const {
    QSet<QString> all;
    all.reserve(m_list->count());
    for (int row = 0; row < m_list->count(); ++row)
        all.insert(m_list->item(row)->data(KeyRole).toString());
    return all;
}

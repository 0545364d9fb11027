#include "catalogmodels.h"

#include <QHeaderView>

void CatalogTreeModel::setTree(CatalogTree tree) {
    beginResetModel();
    m_tree = std::move(tree);
    endResetModel();
}

int CatalogTreeModel::nodeAt(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this)
        return -1;
    return static_cast<int>(index.internalId());
}

QModelIndex CatalogTreeModel::indexOfNode(int node) const {
    if (node < 0 || node >= m_tree.size())
        return {};
    return createIndex(m_tree.nodes[node].row, 0, static_cast<quintptr>(node));
}

QModelIndex CatalogTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column != 0)
        return {};
    if (!parent.isValid()) {
        if (row >= static_cast<int>(m_tree.topLevel.size()))
            return {};
        return createIndex(row, 0, static_cast<quintptr>(m_tree.topLevel[row]));
    }
    const int disk = nodeAt(parent);
    if (disk < 0 || row >= m_tree.nodes[disk].childCount)
        return {};
    // A disk's directories follow it directly in the collection.
    return createIndex(row, 0, static_cast<quintptr>(disk + 1 + row));
}

QModelIndex CatalogTreeModel::parent(const QModelIndex& child) const {
    const int node = nodeAt(child);
    if (node < 0)
        return {};
    return indexOfNode(m_tree.nodes[node].parent);
}

int CatalogTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid())
        return static_cast<int>(m_tree.topLevel.size());
    if (parent.column() != 0)
        return 0;
    const int node = nodeAt(parent);
    return node < 0 ? 0 : m_tree.nodes[node].childCount;
}

int CatalogTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant CatalogTreeModel::data(const QModelIndex& index, int role) const {
    const int node = nodeAt(index);
    if (node < 0)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return m_tree.nodes[node].text;
    case KeyRole:
        return m_tree.nodes[node].key();
    default:
        return {};
    }
}

void TrackListModel::setItems(std::vector<TrackItem> items) {
    beginResetModel();
    m_items = std::move(items);
    endResetModel();
}

int TrackListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_items.size());
}

QVariant TrackListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(m_items.size()))
        return {};
    const TrackItem& item = m_items[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return item.TrackName;
    case KeyRole:
        return QStringLiteral("TRACK") + QString::number(item.TrackID);
    case TrackIdRole:
        return item.TrackID;
    default:
        return {};
    }
}

CatalogTreeView::CatalogTreeView(QWidget* parent) : QTreeView(parent) {
    header()->hide();
    setUniformRowHeights(true); // keeps thousands of disks cheap to lay out
    // A long directory name widens the column instead of being cut off at the tree's edge;
    // the tree then scrolls sideways.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void CatalogTreeView::mouseReleaseEvent(QMouseEvent* event) {
    QTreeView::mouseReleaseEvent(event);
    Q_EMIT buttonReleased();
}

#pragma once

#include "catalogtree.h"

#include <QAbstractItemModel>
#include <QTreeView>
#include <vector>

// Item roles shared by the player window's views.
enum CatalogRole {
    KeyRole = Qt::UserRole, // "DISK7", "DIR12", "TRACK40"
    TrackIdRole,            // track items only
};

// The disks and directories of a CatalogTree, two levels.
class CatalogTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    using QAbstractItemModel::QAbstractItemModel;

    void setTree(CatalogTree tree);
    const CatalogTree& tree() const { return m_tree; }
    // Collection index of the node behind `index`, or -1.
    int nodeAt(const QModelIndex& index) const;
    QModelIndex indexOfNode(int node) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    CatalogTree m_tree;
};

// One track of the track list: shown by name, known by identity.
struct TrackItem {
    qint32 TrackID = 0;
    QString TrackName;
};

class TrackListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    void setItems(std::vector<TrackItem> items);
    const std::vector<TrackItem>& items() const { return m_items; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    std::vector<TrackItem> m_items;
};

// The catalogue tree view; tells when a mouse button has been let go over it, once the view
// has done with the press and release (selection, expanding, collapsing).
class CatalogTreeView : public QTreeView {
    Q_OBJECT
public:
    explicit CatalogTreeView(QWidget* parent = nullptr);

Q_SIGNALS:
    void buttonReleased();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

#pragma once

#include "cataloglists.h"

#include <QHash>
#include <QString>
#include <vector>

// The catalogue tree as the player window shows it: one top-level node per disk and, under it,
// one node per catalogued directory of that disk, whatever its depth on the disk.
enum class NodeKind : quint8 { Disk, Dir };

struct CatalogNode {
    NodeKind kind = NodeKind::Disk;
    qint32 id = 0;         // DiskID or DirID
    qint32 parent = -1;    // collection index of the disk node; -1 for a disk
    qint32 row = 0;        // position among its siblings
    qint32 childCount = 0; // directories under a disk
    QString text;          // DiskName or DirName

    // "DISK7", "DIR12"
    QString key() const;
};

// Nodes in collection order: each disk followed directly by its directories, disks in list
// order and directories in list order, so a disk's children are the `childCount` nodes after it.
class CatalogTree {
public:
    std::vector<CatalogNode> nodes;
    std::vector<qint32> topLevel; // collection index of each disk node

    int size() const { return static_cast<int>(nodes.size()); }
    // Collection index of the node with this key, or -1.
    int indexOfKey(const QString& key) const;
    int indexOfDisk(qint32 diskId) const { return m_disks.value(diskId, -1); }
    int indexOfDir(qint32 dirId) const { return m_dirs.value(dirId, -1); }

private:
    friend CatalogTree buildCatalogTree(const DiskList&, const DirList&);
    QHash<qint32, qint32> m_disks;
    QHash<qint32, qint32> m_dirs;
};

// Builds the tree from the in-memory lists in one pass over each. Spare elements (identifier 0)
// are skipped, and so is a directory whose disk is not in `disks`.
CatalogTree buildCatalogTree(const DiskList& disks, const DirList& dirs);

// What a node key names. A key that is neither "DISK…" nor "DIR…" with a number after the
// prefix reads as disk 0, which no track belongs to.
struct NodeRef {
    NodeKind kind = NodeKind::Disk;
    qint32 id = 0;
};
NodeRef parseNodeKey(const QString& key);

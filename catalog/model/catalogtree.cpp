#include "catalogtree.h"

QString CatalogNode::key() const {
    return (kind == NodeKind::Disk ? QStringLiteral("DISK") : QStringLiteral("DIR")) +
           QString::number(id);
}

int CatalogTree::indexOfKey(const QString& key) const {
    if (!key.startsWith(QLatin1String("DISK")) && !key.startsWith(QLatin1String("DIR")))
        return -1;
    const NodeRef ref = parseNodeKey(key);
    return ref.kind == NodeKind::Disk ? indexOfDisk(ref.id) : indexOfDir(ref.id);
}

CatalogTree buildCatalogTree(const DiskList& disks, const DirList& dirs) {
    CatalogTree tree;

    // Directories grouped by disk, each group in list order.
    QHash<qint32, std::vector<qint32>> dirsOfDisk;
    for (qint32 i = 0; i < static_cast<qint32>(dirs.size()); ++i)
        if (dirs[i].DirID != 0)
            dirsOfDisk[dirs[i].DiskID].push_back(i);

    tree.nodes.reserve(disks.size() + dirs.size());
    for (const DiskRecord& disk : disks) {
        if (disk.DiskID == 0)
            continue;
        const auto diskNode = static_cast<qint32>(tree.nodes.size());
        CatalogNode& node = tree.nodes.emplace_back();
        node.kind = NodeKind::Disk;
        node.id = disk.DiskID;
        node.row = static_cast<qint32>(tree.topLevel.size());
        node.text = disk.DiskName;
        tree.topLevel.push_back(diskNode);
        tree.m_disks.insert(disk.DiskID, diskNode);

        // A disk listed twice gets its directories once, under its first node.
        const auto group = dirsOfDisk.find(disk.DiskID);
        if (group == dirsOfDisk.end())
            continue;
        qint32 row = 0;
        for (const qint32 i : *group) {
            CatalogNode& child = tree.nodes.emplace_back();
            child.kind = NodeKind::Dir;
            child.id = dirs[i].DirID;
            child.parent = diskNode;
            child.row = row++;
            child.text = dirs[i].DirName;
            tree.m_dirs.insert(child.id, static_cast<qint32>(tree.nodes.size() - 1));
        }
        tree.nodes[diskNode].childCount = row;
        dirsOfDisk.erase(group);
    }
    return tree;
}

NodeRef parseNodeKey(const QString& key) {
    NodeRef ref;
    qsizetype prefix = 0;
    if (key.startsWith(QLatin1String("DISK"))) {
        prefix = 4;
    } else if (key.startsWith(QLatin1String("DIR"))) {
        ref.kind = NodeKind::Dir;
        prefix = 3;
    }
    bool ok = false;
    const qint32 id = QStringView(key).mid(prefix).toInt(&ok);
    if (prefix == 0)
        ok = false;
    ref.id = ok ? id : 0;
    return ref;
}

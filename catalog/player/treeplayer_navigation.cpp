// The catalogue tree and the track list of the player window.

#include "catalogmodels.h"
#include "catalogtree.h"
#include "programstate.h"
#include "treeplayer.h"

#include <QItemSelectionModel>
#include <QListView>

void TreePlayer::FillCatalogTree() {
    treeModel->setTree(buildCatalogTree(m_state.lists.disks, m_state.lists.dirs));
    m_trackGroups.rebuild();
    // Folded with the lists, so that not even the first search waits for it.
    m_search.prepare();
}

int TreePlayer::selectedNode() const {
    const QModelIndex current = trDirs->currentIndex();
    if (!current.isValid() || !trDirs->selectionModel()->isSelected(current))
        return -1;
    return treeModel->nodeAt(current);
}

// Expands the node's disk, selects the node and scrolls it into view.
void TreePlayer::selectNode(int node) {
    const QModelIndex index = treeModel->indexOfNode(node);
    if (!index.isValid())
        return;
    if (index.parent().isValid())
        trDirs->expand(index.parent());
    trDirs->setCurrentIndex(index);
    trDirs->scrollTo(index);
}

// A disk lists every track on it, across its directories, in list order; a directory lists
// the tracks recorded in it. With nothing selected the list is emptied.
void TreePlayer::Tree_Click() {
    NodeRef selected; // disk 0, which holds no track
    const int node = selectedNode();
    if (node >= 0) {
        const CatalogNode& chosen = treeModel->tree().nodes[node];
        selected = {chosen.kind, chosen.id};
        playIndex = node + 1;
    }
    m_clickWaiting = tracksLoading();
    const TrackList& tracks = m_state.lists.tracks;
    std::vector<TrackItem> items;
    for (const qint32 i : m_trackGroups.under(selected))
        items.push_back({tracks[i].TrackID, tracks[i].TrackName});
    filesModel->setItems(std::move(items));
}

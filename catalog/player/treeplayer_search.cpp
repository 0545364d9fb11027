// The search panel of the player window: finding tracks or directories by part of their name
// and showing a result in the tree and the track list.

#include "catalogmodels.h"
#include "catalogsearch.h"
#include "programstate.h"
#include "searchresultsmodel.h"
#include "statuspanels.h"
#include "treeplayer.h"

#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QTreeView>

void TreePlayer::runSearch() {
    m_resultsAreTags = optSearch[2]->isChecked();
    m_resultsAreTracks = optSearch[0]->isChecked() || m_resultsAreTags;
    m_searchedText = txtSearch->text();
    m_searchWaiting = m_resultsAreTracks && tracksLoading();
    if (m_searchWaiting) {
        resultIndex.clear();
        resultsModel->setTrackNames(m_state.lists.tracks, resultIndex);
        return;
    }
    showSearchResults();
}

void TreePlayer::showSearchResults() {
    const QString& text = m_searchedText;
    const TrackList& tracks = m_state.lists.tracks;
    if (m_resultsAreTags) {
        resultIndex = m_search.trackTags(text);
        resultsModel->setTags(tracks, resultIndex);
    } else if (m_resultsAreTracks) {
        resultIndex = m_search.trackNames(text);
        resultsModel->setTrackNames(tracks, resultIndex);
    } else {
        resultIndex = m_search.dirNames(text);
        resultsModel->setDirNames(m_state.lists.dirs, resultIndex);
    }
    StatusBar1->setPanelText(1, QStringLiteral("Found %1 items.").arg(resultsModel->rowCount()));
}

// A row is shown as the kind it was found as: switching the option with an empty search text
// keeps the old rows, and they still name records of the list they came from.
bool TreePlayer::showResult(int row) {
    if (row < 0 || row >= resultsModel->rowCount() || row >= static_cast<int>(resultIndex.size()))
        return false;
    const QString text = resultsModel->index(row).data().toString();
    if (m_resultsAreTags)
        return showTagsResult(resultIndex[row], text);
    if (m_resultsAreTracks)
        return showTrackResult(resultIndex[row], text);
    showDirResult(resultIndex[row]);
    return false;
}

// Enter on a track found plays it from the track list, as a double-click there does; on a
// directory it goes on into the directory's tracks.
void TreePlayer::playResult(int row) {
    if (showResult(row)) {
        playRow(lstFiles->currentIndex().row());
    } else if (!m_resultsAreTracks && filesModel->rowCount() > 0) {
        lstFiles->setFocus(Qt::OtherFocusReason);
        lstFiles->setCurrentIndex(filesModel->index(0));
    }
}

// Down from the search text goes into the results and shows the first.
void TreePlayer::enterResults() {
    if (resultsModel->rowCount() == 0)
        return;
    lstResults->setFocus(Qt::OtherFocusReason);
    const QModelIndex first = resultsModel->index(0);
    if (lstResults->currentIndex() == first)
        showResult(0);
    else
        lstResults->setCurrentIndex(first);
}

// Collapses the tree, opens the track's directory and selects the track in the track list;
// false when the track is not listed there.
bool TreePlayer::showTrackResult(qint32 trackIndex, const QString& text) {
    const TrackList& tracks = m_state.lists.tracks;
    if (trackIndex < 0 || trackIndex >= static_cast<qint32>(tracks.size()))
        return false; // the lists were replaced since the search
    const TrackRecord& track = tracks[trackIndex];
    trDirs->collapseAll();
    const int node = treeModel->tree().indexOfDir(track.DirID);
    if (node < 0)
        return false;
    selectNode(node);
    Tree_Click();

    // The track itself when it is still the one found, else the first of that name.
    const std::vector<TrackItem>& items = filesModel->items();
    const bool sameTrack = track.TrackName == text;
    int found = -1;
    for (int i = 0; i < static_cast<int>(items.size()) && found < 0; ++i)
        if (sameTrack ? items[i].TrackID == track.TrackID : items[i].TrackName == text)
            found = i;
    if (found < 0)
        return false;
    const QModelIndex item = filesModel->index(found);
    lstFiles->setCurrentIndex(item);
    lstFiles->scrollTo(item);
    return true;
}

// A row found by its tags shows its track as a track-name row would, while the row still
// describes that track.
bool TreePlayer::showTagsResult(qint32 trackIndex, const QString& text) {
    const TrackList& tracks = m_state.lists.tracks;
    return trackIndex >= 0 && trackIndex < static_cast<qint32>(tracks.size()) &&
           tagsResultText(tracks[trackIndex]) == text &&
           showTrackResult(trackIndex, tracks[trackIndex].TrackName);
}

// Every node named like the directory is opened and selected in tree order; the last one
// stays selected with its tracks listed.
void TreePlayer::showDirResult(qint32 dirIndex) {
    const DirList& dirs = m_state.lists.dirs;
    if (dirIndex < 0 || dirIndex >= static_cast<qint32>(dirs.size()))
        return;
    const QString name = dirs[dirIndex].DirName;
    trDirs->collapseAll();
    const std::vector<CatalogNode>& nodes = treeModel->tree().nodes;
    bool any = false;
    for (int node = 0; node < static_cast<int>(nodes.size()); ++node) {
        if (nodes[node].text == name) {
            selectNode(node);
            any = true;
        }
    }
    // Only the last node's tracks can be seen, so the list is filled once, for it.
    if (any)
        Tree_Click();
}

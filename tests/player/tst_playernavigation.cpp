// The catalogue tree, the track list and search in the player window, driven by mouse and keys.

#include "catalogdb.h"
#include "keptplaylist.h"
#include "playerrig.h"
#include "runtestclasses.h"
#include "searchresultsmodel.h"
#include "statuspanels.h"

#include <QAction>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace {

// Node keys depth-first, which is the tree's collection order.
QStringList treeKeys(const QAbstractItemModel* model, const QModelIndex& parent = {}) {
    QStringList keys;
    for (int row = 0; row < model->rowCount(parent); ++row) {
        const QModelIndex index = model->index(row, 0, parent);
        keys << index.data(KeyRole).toString();
        keys << treeKeys(model, index);
    }
    return keys;
}

QStringList texts(const QAbstractItemModel* model) {
    QStringList all;
    for (int row = 0; row < model->rowCount(); ++row)
        all << model->index(row, 0).data().toString();
    return all;
}

QStringList keys(const QAbstractItemModel* model) {
    QStringList all;
    for (int row = 0; row < model->rowCount(); ++row)
        all << model->index(row, 0).data(KeyRole).toString();
    return all;
}

QString selectedKey(TreePlayer* w) {
    const QModelIndexList selected = w->trDirs->selectionModel()->selectedIndexes();
    return selected.size() == 1 ? selected[0].data(KeyRole).toString() : QString();
}

void clickNode(TreePlayer* w, const QString& key, Qt::MouseButton button = Qt::LeftButton) {
    const QModelIndex index = w->treeModel->indexOfNode(w->treeModel->tree().indexOfKey(key));
    QVERIFY(index.isValid());
    if (index.parent().isValid())
        w->trDirs->expand(index.parent());
    w->trDirs->scrollTo(index);
    QTest::mouseClick(w->trDirs->viewport(), button, {}, w->trDirs->visualRect(index).center());
}

void clickRow(QListView* list, int row) {
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
}

} // namespace

class CatalogueTree : public QObject {
    Q_OBJECT
private slots:
    void disksThenTheirDirectoriesInListOrder() {
        PlayerRig rig;
        rig.disk(1, "Rock");
        rig.disk(2, "Jazz");
        rig.dirOn(3, 2, "/Jazz");
        rig.dirOn(1, 1, "/Rock/A");
        rig.dirOn(2, 1, "/Rock/B");
        rig.spares();
        TreePlayer* w = rig.open();
        QCOMPARE(treeKeys(w->treeModel), QStringList({"DISK1", "DIR1", "DIR2", "DISK2", "DIR3"}));
        const QModelIndex rock = w->treeModel->index(0, 0);
        QCOMPARE(rock.data().toString(), QString("Rock"));
        QCOMPARE(w->treeModel->index(1, 0, rock).data().toString(), QString("/Rock/B"));
        QCOMPARE(w->treeModel->rowCount(w->treeModel->index(1, 0)), 1);
    }

    void diskWithoutDirectoriesAndDirectoryWithoutDisk() {
        PlayerRig rig;
        rig.disk(40000, "Empty"); // identifiers past 16 bits
        rig.disk(2, "Full");
        rig.dirOn(70000, 2, "/A");
        rig.dirOn(8, 9, "/Orphan"); // disk 9 is not in the catalogue
        rig.spares();
        TreePlayer* w = rig.open();
        QCOMPARE(treeKeys(w->treeModel), QStringList({"DISK40000", "DISK2", "DIR70000"}));
        QVERIFY(!w->treeModel->hasChildren(w->treeModel->index(0, 0)));
    }

    void longDirectoryNamesScrollSidewaysAndShowWhole() {
        PlayerRig rig;
        rig.disk(1, "Disk");
        const QString common = "/Music/" + QString(60, 'x') + "/Collections/";
        rig.dirOn(1, 1, common + "Live at the Hall");
        rig.dirOn(2, 1, common + "Live at the Park");
        rig.spares();
        TreePlayer* w = rig.openShown();
        w->trDirs->expandAll();
        QCoreApplication::processEvents();
        const QModelIndex dir = w->treeModel->index(1, 0, w->treeModel->index(0, 0));
        // The whole name fits in its column, and the tree scrolls to show it.
        const int textWidth =
            w->trDirs->fontMetrics().horizontalAdvance(common + "Live at the Park");
        QVERIFY(w->trDirs->visualRect(dir).width() >= textWidth);
        QVERIFY(w->trDirs->horizontalScrollBar()->maximum() >=
                w->trDirs->visualRect(dir).right() - w->trDirs->viewport()->width());
        QCOMPARE(dir.data(Qt::ToolTipRole).toString(), common + "Live at the Park");
    }

    void spareElementsMakeNoNodes() {
        PlayerRig rig;
        rig.spares(); // a folder walk keeps spares at the front
        rig.spares();
        rig.disk(1, "Local");
        rig.dirOn(1, 1, "/a");
        rig.dirOn(2, 1, "/b");
        rig.spares();
        TreePlayer* w = rig.open();
        QCOMPARE(treeKeys(w->treeModel), QStringList({"DISK1", "DIR1", "DIR2"}));

        PlayerRig neverLoaded;
        QCOMPARE(neverLoaded.open()->treeModel->rowCount(), 0);
    }
};

class TreeClicks : public QObject {
    Q_OBJECT
    std::unique_ptr<PlayerRig> rig_;
    TreePlayer* w = nullptr;

private slots:
    void init() {
        rig_ = std::make_unique<PlayerRig>();
        rig_->disk(1, "One");
        rig_->disk(2, "Two");
        rig_->dirOn(1, 1, "/a");
        rig_->dirOn(2, 1, "/b");
        rig_->dirOn(3, 2, "/c");
        rig_->dirOn(4, 1, "/empty");
        rig_->track(10, 2, 1, "b1.mp3");
        rig_->track(11, 1, 1, "a1.mp3");
        rig_->track(12, 3, 2, "c1.mp3");
        rig_->track(50000, 2, 1, "b2.mp3");
        rig_->track(14, 1, 1, "a2.mp3");
        rig_->spares();
        w = rig_->openShown();
    }
    void cleanup() { rig_.reset(); }

    void diskListsEveryTrackOfItsDirectoriesInListOrder() {
        clickNode(w, "DISK1");
        QCOMPARE(texts(w->filesModel), QStringList({"b1.mp3", "a1.mp3", "b2.mp3", "a2.mp3"}));
        QCOMPARE(keys(w->filesModel), QStringList({"TRACK10", "TRACK11", "TRACK50000", "TRACK14"}));
        QCOMPARE(w->playIndex, 1);
    }

    void directoryListsItsOwnTracks() {
        clickNode(w, "DIR2");
        QCOMPARE(texts(w->filesModel), QStringList({"b1.mp3", "b2.mp3"}));
        QCOMPARE(w->filesModel->index(1, 0).data(TrackIdRole).toInt(), 50000);
        QCOMPARE(w->playIndex, 3); // DISK1, DIR1, DIR2
        clickNode(w, "DIR3");
        QCOMPARE(texts(w->filesModel), QStringList({"c1.mp3"}));
        QCOMPARE(w->playIndex, 6); // after DIR4 of disk 1 and DISK2
    }

    void directoryWithoutTracksEmptiesTheList() {
        clickNode(w, "DIR1");
        QCOMPARE(w->filesModel->rowCount(), 2);
        clickNode(w, "DIR4");
        QCOMPARE(w->filesModel->rowCount(), 0);
    }

    void rightButtonReleaseAlsoFillsTheList() {
        clickNode(w, "DIR3", Qt::RightButton);
        QCOMPARE(selectedKey(w), QString("DIR3"));
        QCOMPARE(texts(w->filesModel), QStringList({"c1.mp3"}));
    }

    void nothingSelectedEmptiesTheList() {
        clickNode(w, "DIR1");
        w->trDirs->clearSelection();
        w->Tree_Click();
        QCOMPARE(w->filesModel->rowCount(), 0);
        QCOMPARE(w->playIndex, 2); // still the node clicked last
    }
};

class Search : public QObject {
    Q_OBJECT
    std::unique_ptr<PlayerRig> rig_;
    TreePlayer* w = nullptr;

    QStringList results() const { return w->resultsModel->stringList(); }
    QString panel() const { return w->StatusBar1->panelText(1); }

private slots:
    void init() {
        rig_ = std::make_unique<PlayerRig>();
        rig_->disk(1, "One");
        rig_->disk(2, "Two");
        rig_->disk(3, "/Music"); // named like a directory
        rig_->dirOn(1, 1, "/Music");
        rig_->dirOn(2, 1, "/Other");
        rig_->dirOn(3, 2, "/Music");
        rig_->track(1, 2, 1, "LOVE Song.mp3");
        rig_->track(2, 1, 1, "Intro.mp3");
        rig_->track(3, 1, 1, "lovely day.mp3");
        rig_->track(4, 3, 2, "Outro.mp3");
        rig_->track(5, 1, 1, "");
        rig_->track(6, 9, 3, "Loose.mp3"); // on disk 3, in no catalogued directory
        rig_->spares();
        w = rig_->openShown();
    }
    void cleanup() { rig_.reset(); }

    void caseIsIgnoredAndEnterSearches() {
        QTest::keyClicks(w->txtSearch, "love");
        QTest::keyClick(w->txtSearch, Qt::Key_Return);
        QCOMPARE(results(), QStringList({"LOVE Song.mp3", "lovely day.mp3"}));
        QCOMPARE(w->resultIndex, (std::vector<qint32>{0, 2}));
        QCOMPARE(panel(), QString("Found 2 items."));
    }

    void emptyTextFindsEveryNamedRecord() {
        QTest::mouseClick(w->btnSearch, Qt::LeftButton);
        QCOMPARE(results().size(), 5); // not the unnamed track, not the spare
        QCOMPARE(panel(), QString("Found 5 items."));
    }

    void oneResultKeepsTheWording() {
        w->txtSearch->setText("INTRO");
        QTest::mouseClick(w->btnSearch, Qt::LeftButton);
        QCOMPARE(results(), QStringList({"Intro.mp3"}));
        QCOMPARE(panel(), QString("Found 1 items."));
        w->txtSearch->setText("nothing like it");
        QTest::mouseClick(w->btnSearch, Qt::LeftButton);
        QCOMPARE(panel(), QString("Found 0 items."));
    }

    void optionSearchesAgainOnlyWithText() {
        w->txtSearch->setText("music");
        QTest::mouseClick(w->optSearch[1], Qt::LeftButton);
        QCOMPARE(results(), QStringList({"/Music", "/Music"}));
        w->txtSearch->clear();
        QTest::mouseClick(w->optSearch[0], Qt::LeftButton);
        QCOMPARE(results(), QStringList({"/Music", "/Music"}));
    }

    void trackResultShowsItsDirectoryAndTrack() {
        clickNode(w, "DIR3"); // opens disk 2, which the result must close again
        w->txtSearch->setText("lovely");
        QTest::mouseClick(w->btnSearch, Qt::LeftButton);
        clickRow(w->lstResults, 0);
        QCOMPARE(selectedKey(w), QString("DIR1"));
        QVERIFY(w->trDirs->isExpanded(w->treeModel->index(0, 0)));
        QVERIFY(!w->trDirs->isExpanded(w->treeModel->index(1, 0)));
        QCOMPARE(texts(w->filesModel), QStringList({"Intro.mp3", "lovely day.mp3", ""}));
        QCOMPARE(w->lstFiles->currentIndex().row(), 1);
        QCOMPARE(w->lstFiles->currentIndex().data(TrackIdRole).toInt(), 3);
        QCOMPARE(w->playIndex, 2);
    }

    void directoryResultSelectsEveryNodeOfThatName() {
        QStringList visited;
        connect(w->trDirs->selectionModel(), &QItemSelectionModel::currentChanged, w,
                [&](const QModelIndex& current) { visited << current.data(KeyRole).toString(); });
        w->optSearch[1]->setChecked(true);
        w->txtSearch->setText("mus");
        QTest::mouseClick(w->btnSearch, Qt::LeftButton);
        clickRow(w->lstResults, 1);
        QCOMPARE(visited, QStringList({"DIR1", "DIR3", "DISK3"}));
        QCOMPARE(selectedKey(w), QString("DISK3"));
        QCOMPARE(texts(w->filesModel), QStringList({"Loose.mp3"}));
        QVERIFY(w->trDirs->isExpanded(w->treeModel->index(1, 0)));
    }

    void arrowKeysThroughResultsShowEachResult() {
        w->txtSearch->setText("o"); // LOVE Song, Intro, lovely day, Outro, Loose
        QTest::mouseClick(w->btnSearch, Qt::LeftButton);
        clickRow(w->lstResults, 0);
        QCOMPARE(selectedKey(w), QString("DIR2"));
        QTest::keyClick(w->lstResults, Qt::Key_Down);
        QCOMPARE(selectedKey(w), QString("DIR1"));
        QCOMPARE(w->lstFiles->currentIndex().data(TrackIdRole).toInt(), 2);
        QTest::keyClick(w->lstResults, Qt::Key_Down);
        QCOMPARE(w->lstFiles->currentIndex().data(TrackIdRole).toInt(), 3);
        QTest::keyClick(w->lstResults, Qt::Key_Down);
        QCOMPARE(selectedKey(w), QString("DIR3"));
        QCOMPARE(texts(w->filesModel), QStringList({"Outro.mp3"}));
        QVERIFY(w->lstResults->hasFocus()); // the keys keep moving through the results
    }

    void rowsKeepTheKindTheyWereFoundAs() {
        // With no text the other option does not search again; the directory rows stay and
        // must not be read as tracks.
        QTest::mouseClick(w->optSearch[1], Qt::LeftButton);
        QTest::mouseClick(w->btnSearch, Qt::LeftButton);
        QCOMPARE(results(), QStringList({"/Music", "/Other", "/Music"}));
        QTest::mouseClick(w->optSearch[0], Qt::LeftButton);
        clickRow(w->lstResults, 1);
        QCOMPARE(selectedKey(w), QString("DIR2"));
        QCOMPARE(texts(w->filesModel), QStringList({"LOVE Song.mp3"}));
    }
};

// The window opens on the tree while the tracks are read behind it. They arrive only through
// the event loop, so what is asked before the loop runs is asked while they load.
class TracksLoadingBehind : public QObject {
    Q_OBJECT
    std::unique_ptr<PlayerRig> rig_;

    void makeCatalogue() {
        const QString file = rig_->path("music.mdb");
        QVERIFY(catalogdb::prepare(file).ok);
        CatalogConnection c(file, "fill");
        for (const char* row : {"INSERT INTO Disks VALUES (1, 'Rock', '/media/rock')",
                                "INSERT INTO Dirs VALUES (1, 1, '/A'), (2, 1, '/B')",
                                "INSERT INTO Tracks (DirID, DiskID, TrackName) VALUES "
                                "(1, 1, 'Love one.mp3'), (1, 1, 'x.mp3'), (2, 1, 'love two.mp3')"})
            catalogdb::run(c.db(), row);
        rig_->state.DBPath = file;
    }

private slots:
    void init() {
        rig_ = std::make_unique<PlayerRig>();
        makeCatalogue();
        QVERIFY(rig_->state.startLoadingCatalogue());
    }

    void aClickAndASearchAnswerOnceTheTracksAreIn() {
        TreePlayer* w = rig_->open();
        QCOMPARE(treeKeys(w->treeModel), QStringList({"DISK1", "DIR1", "DIR2"}));
        QVERIFY(w->StatusBar1->panelText(1).startsWith("Loading tracks"));
        w->trDirs->setCurrentIndex(
            w->treeModel->indexOfNode(w->treeModel->tree().indexOfKey("DIR2")));
        w->Tree_Click();
        w->txtSearch->setText("LOVE");
        w->runSearch();
        QVERIFY(rig_->state.tracksLoading()); // no part of the tracks is shown as the whole
        QCOMPARE(w->filesModel->rowCount(), 0);
        QCOMPARE(w->resultsModel->rowCount(), 0);

        QTRY_VERIFY(!rig_->state.tracksLoading());
        QCOMPARE(texts(w->filesModel), QStringList({"love two.mp3"}));
        QCOMPARE(texts(w->resultsModel), QStringList({"Love one.mp3", "love two.mp3"}));
        QCOMPARE(w->StatusBar1->panelText(1), QString("Found 2 items."));
    }

    // A directory search needs no track: it answers at once, and a track search asked before
    // it no longer does.
    void theLastSearchAskedIsTheOneAnswered() {
        TreePlayer* w = rig_->open();
        w->txtSearch->setText("love");
        w->runSearch();
        w->optSearch[1]->setChecked(true);
        w->txtSearch->setText("/b");
        w->runSearch();
        QCOMPARE(texts(w->resultsModel), QStringList({"/B"}));
        QTRY_VERIFY(!rig_->state.tracksLoading());
        QCOMPARE(texts(w->resultsModel), QStringList({"/B"}));
    }

    // The kept play list is brought back once its tracks can be looked up; a window closed
    // before then leaves it as it was.
    void thePlayListWaitsForTheTracks() {
        TreePlayer* first = rig_->open();
        first->show();
        QString error;
        QVERIFY(
            writeKeptPlaylist(first->keptPlaylistPath(), {{3, "3", "love two.mp3", true}}, &error));
        first->close();
        QCOMPARE(readKeptPlaylist(first->keptPlaylistPath()).size(), size_t(1));
        QTRY_VERIFY(!rig_->state.tracksLoading());

        QVERIFY(rig_->state.startLoadingCatalogue());
        TreePlayer* w = rig_->open();
        QCOMPARE(w->lstSongs->count(), 0);
        QVERIFY(!w->mnuRandom->isEnabled());
        QTRY_COMPARE(w->lstSongs->count(), 1);
        QVERIFY(w->mnuRandom->isEnabled());
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CatalogueTree tree;
    TreeClicks clicks;
    Search search;
    TracksLoadingBehind loading;
    return runTestClasses(argc, argv, {&tree, &clicks, &search, &loading});
}

#include "tst_playernavigation.moc"

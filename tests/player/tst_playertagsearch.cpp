// The search panel's "Tags" option in the player window, driven by mouse and keys.

#include "playerrig.h"
#include "searchresultsmodel.h"
#include "statuspanels.h"

#include <QLineEdit>
#include <QListView>
#include <QRadioButton>

class TagsOption : public QObject {
    Q_OBJECT
    std::unique_ptr<PlayerRig> rig_;
    TreePlayer* w = nullptr;

    QStringList results() const { return w->resultsModel->stringList(); }

private slots:
    void init() {
        rig_ = std::make_unique<PlayerRig>();
        rig_->disk(1, "One");
        rig_->dirOn(1, 1, "/Jazz");
        rig_->dirOn(2, 1, "/More Jazz");
        auto& tracks = rig_->state.lists.tracks;
        tracks.push_back({1, 1, 1, "Blue in Green", "01.mp3", "00:05:37", "Kind of Blue", "Miles"});
        tracks.push_back({2, 2, 1, "Take Five", "01.mp3", "00:05:24", "Time Out", "Brubeck"});
        tracks.push_back({3, 2, 1, "Blue Rondo", "02.mp3", "00:06:44", "Time Out", "Brubeck"});
        rig_->spares();
        w = rig_->openShown();
    }
    void cleanup() { rig_.reset(); }

    void tagsOptionSearchesTitleArtistAndAlbum() {
        QCOMPARE(w->optSearch[2]->text(), QString("Tags"));
        QTest::keyClicks(w->txtSearch, "time out");
        QTest::mouseClick(w->optSearch[2], Qt::LeftButton); // with text, the option searches
        QCOMPARE(results(),
                 QStringList({"Brubeck - Take Five (01.mp3)", "Brubeck - Blue Rondo (02.mp3)"}));
        QCOMPARE(w->StatusBar1->panelText(1), QString("Found 2 items."));
        // The other options keep searching names only.
        QTest::mouseClick(w->optSearch[0], Qt::LeftButton);
        QCOMPARE(results(), QStringList());
    }

    void tagsResultShowsThatTrackNotTheFirstOfItsName() {
        w->optSearch[2]->setChecked(true);
        QTest::keyClicks(w->txtSearch, "FIVE");
        QTest::keyClick(w->txtSearch, Qt::Key_Return);
        QCOMPARE(results(), QStringList({"Brubeck - Take Five (01.mp3)"}));
        const QModelIndex row = w->resultsModel->index(0);
        QTest::mouseClick(w->lstResults->viewport(), Qt::LeftButton, {},
                          w->lstResults->visualRect(row).center());
        QCOMPARE(w->trDirs->currentIndex().data(KeyRole).toString(), QString("DIR2"));
        QCOMPARE(w->lstFiles->currentIndex().data(TrackIdRole).toInt(), 2);
    }

    void optionsStackWithoutOverlap() {
        const QRect tracks = w->optSearch[0]->geometry();
        const QRect dirs = w->optSearch[1]->geometry();
        const QRect tags = w->optSearch[2]->geometry();
        QCOMPARE(dirs.top(), tracks.bottom() + 1);
        QCOMPARE(tags.top(), dirs.bottom() + 1);
        QVERIFY(w->lstResults->geometry().top() > tags.bottom());
        QVERIFY(tags.width() >= w->optSearch[2]->sizeHint().width());
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    TagsOption test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_playertagsearch.moc"

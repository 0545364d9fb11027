// The player window from the keyboard, and its search as a person types it: accents ignored,
// Down into the results, Enter to play, Tab in reading order with the focus marked.

#include "focusmark.h"
#include "playbackrig.h"
#include "playerstrip.h"
#include "runtestclasses.h"
#include "searchresultsmodel.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QToolButton>

namespace {

// Intro.mp3 and Café.mp3 (by Édith Piaf) in /Ångström, Other.mp3 in /Plain.
struct KeysRig : PlaybackRig {
    TreePlayer* w = nullptr;
    KeysRig() {
        addDisk(1, "Chansons");
        dirOn(1, 1, "/Ångström");
        dirOn(2, 1, "/Plain");
        addTrack(1, 1, "Intro.mp3", "00:01:00");
        addTrack(2, 1, "Café.mp3", "00:02:00");
        addTrack(3, 2, "Other.mp3", "00:03:00");
        state.lists.tracks[1].Artist = "Édith Piaf";
        w = openWithPlayer();
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w))
            qWarning("player window not active");
    }
    QStringList search(int kind, const QString& text) {
        w->optSearch[kind]->setChecked(true);
        w->txtSearch->setFocus();
        w->txtSearch->setText(text);
        QTest::keyClick(w->txtSearch, Qt::Key_Return);
        return w->resultsModel->stringList();
    }
    QString currentTrack() const { return w->lstFiles->currentIndex().data().toString(); }
};

} // namespace

class SearchKeys : public QObject {
    Q_OBJECT
    std::unique_ptr<KeysRig> rig_;

private slots:
    void init() { rig_ = std::make_unique<KeysRig>(); }
    void cleanup() { rig_.reset(); }

    void accentsAreIgnoredInEveryKind() {
        QCOMPARE(rig_->search(0, "cafe"), QStringList({"Café.mp3"}));
        QCOMPARE(rig_->search(1, "ANGSTROM"), QStringList({"/Ångström"}));
        QCOMPARE(rig_->search(2, "edith"), QStringList({"Édith Piaf -  (Café.mp3)"}));
    }

    // Down goes in and shows the first result, even when it was current already.
    void downGoesIntoTheResults() {
        rig_->search(0, ".mp3");
        for (int time = 0; time < 2; ++time) {
            rig_->w->lstFiles->setCurrentIndex({});
            rig_->w->txtSearch->setFocus();
            QTest::keyClick(rig_->w->txtSearch, Qt::Key_Down);
            QCOMPARE(QApplication::focusWidget(), rig_->w->lstResults);
            QCOMPARE(rig_->currentTrack(), QString("Intro.mp3"));
        }
        QVERIFY(rig_->player->opened.isEmpty());
    }

    void enterPlaysATrackAndOpensADirectory() {
        rig_->search(2, "piaf");
        QTest::keyClick(rig_->w->txtSearch, Qt::Key_Down);
        QTest::keyClick(rig_->w->lstResults, Qt::Key_Return);
        QCOMPARE(rig_->player->opened, QStringList({rig_->trackFile(1, "Café.mp3")}));
        QCOMPARE(rig_->w->playIndex, 2);

        rig_->search(1, "plain");
        QTest::keyClick(rig_->w->txtSearch, Qt::Key_Down);
        QTest::keyClick(rig_->w->lstResults, Qt::Key_Return);
        QCOMPARE(rig_->player->opened.size(), 1);
        QCOMPARE(QApplication::focusWidget(), rig_->w->lstFiles);
        QCOMPARE(rig_->currentTrack(), QString("Other.mp3"));
    }
};

class FocusKeys : public QObject {
    Q_OBJECT
    std::unique_ptr<KeysRig> rig_;
    TreePlayer* w = nullptr;

private slots:
    void init() {
        rig_ = std::make_unique<KeysRig>();
        w = rig_->w;
    }
    void cleanup() { rig_.reset(); }

    void tabFollowsReadingOrder() {
        QCOMPARE(QApplication::focusWidget(), w->txtSearch); // where the window starts
        const PlayerStrip* strip = w->MediaPlayer1;
        const QList<QWidget*> order = {w->btnSearch,      w->lstResults,     w->trDirs,
                                       w->lstFiles,       w->lstSongs,       w->MediaPlayer1,
                                       strip->playButton, strip->stopButton, strip->seekBar,
                                       strip->volumeBar};
        for (QWidget* next : order) {
            if (!next->isEnabled())
                continue; // stop and seek while nothing is loaded
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        w->txtSearch->setFocus();
        QTest::keyClick(w->txtSearch, Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), w->optSearch[2]); // the options stand before it
    }

    // The mark lies over the focused control, drawn in the highlight colour, and follows it.
    void theFocusedControlIsMarked() {
        w->lstFiles->setFocus();
        QCOMPARE(w->focusMark->marked(), w->lstFiles);
        const QImage shown = w->grab().toImage();
        const QPoint edge = w->lstFiles->mapTo(w, QPoint(w->lstFiles->width() / 2, 0));
        QCOMPARE(shown.pixelColor(edge), w->palette().color(QPalette::Active, QPalette::Highlight));
        w->lstSongs->setFocus();
        w->resize(w->width() + 80, w->height() + 40);
        QTRY_COMPARE(w->focusMark->geometry(), w->lstSongs->geometry().adjusted(-1, -1, 1, 1));
        w->txtSearch->setFocus();
        QCOMPARE(w->focusMark->parentWidget(), w->txtSearch->parentWidget());
        QCOMPARE(w->focusMark->geometry(), w->txtSearch->geometry().adjusted(-1, -1, 1, 1));
        QVERIFY(w->focusMark->isVisible());
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    SearchKeys search;
    FocusKeys focus;
    return runTestClasses(argc, argv, {&search, &focus});
}

#include "tst_playerkeys.moc"

// The player window from the keyboard: Down into the search results, Enter to play, Tab in
// reading order with the focus marked.

#include "filesrig.h"
#include "focusmark.h"
#include "playerstrip.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QToolButton>

class Keys : public QObject {
    Q_OBJECT
    std::unique_ptr<FilesRig> rig_;
    TreePlayer* w = nullptr;

    void search(int kind, const QString& text) {
        w->optSearch[kind]->setChecked(true);
        w->txtSearch->setText(text);
        QTest::keyClick(w->txtSearch, Qt::Key_Return);
    }
    void downFromTheSearch() {
        w->lstFiles->setCurrentIndex({});
        w->txtSearch->setFocus();
        QTest::keyClick(w->txtSearch, Qt::Key_Down);
    }
    QString currentTrack() const { return w->lstFiles->currentIndex().data().toString(); }

private slots:
    void init() {
        rig_ = std::make_unique<FilesRig>();
        w = rig_->w;
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
    }
    void cleanup() { rig_.reset(); }

    // Down goes in and shows the first result, even when it was current already; Enter on a
    // track plays it, on a directory goes on into its tracks.
    void downShowsAndEnterPlays() {
        search(2, "piaf");
        for (int time = 0; time < 2; ++time) {
            downFromTheSearch();
            QCOMPARE(QApplication::focusWidget(), w->lstResults);
            QCOMPARE(currentTrack(), QString("a.mp3"));
        }
        QVERIFY(rig_->player->opened.isEmpty());
        QTest::keyClick(w->lstResults, Qt::Key_Return);
        QCOMPARE(rig_->player->opened, QStringList({rig_->trackFile(1, "a.mp3")}));
        QCOMPARE(w->playIndex, 1);
        search(1, "/b");
        downFromTheSearch();
        QTest::keyClick(w->lstResults, Qt::Key_Return);
        QCOMPARE(rig_->player->opened.size(), 1);
        QCOMPARE(QApplication::focusWidget(), w->lstFiles);
        QCOMPARE(currentTrack(), QString("b.mp3"));
    }

    void tabFollowsReadingOrder() {
        QCOMPARE(QApplication::focusWidget(), w->txtSearch); // where the window starts
        const PlayerStrip* strip = w->MediaPlayer1;
        for (QWidget* next : QList<QWidget*>{w->btnSearch, w->lstResults, w->trDirs, w->lstFiles,
                                             w->lstSongs, w->MediaPlayer1, strip->playButton,
                                             strip->stopButton, strip->seekBar, strip->volumeBar}) {
            if (!next->isEnabled())
                continue; // stop and seek while nothing is loaded
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    // The mark lies over the focused control, drawn in the highlight colour, and follows it.
    void theFocusedControlIsMarked() {
        w->lstFiles->setFocus();
        const QImage shown = w->grab().toImage();
        const QPoint edge = w->lstFiles->mapTo(w, QPoint(w->lstFiles->width() / 2, 0));
        QCOMPARE(shown.pixelColor(edge), w->palette().color(QPalette::Active, QPalette::Highlight));
        w->lstSongs->setFocus();
        w->resize(w->width() + 80, w->height() + 40);
        QTRY_COMPARE(w->focusMark->geometry(), w->lstSongs->geometry().adjusted(-1, -1, 1, 1));
        w->txtSearch->setFocus();
        QCOMPARE(w->focusMark->parentWidget(), w->txtSearch->parentWidget());
        QCOMPARE(w->focusMark->geometry(), w->txtSearch->geometry().adjusted(-1, -1, 1, 1));
    }
};

QTEST_MAIN(Keys)
#include "tst_playerkeys.moc"

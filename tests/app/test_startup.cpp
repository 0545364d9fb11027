// The start-up decision table: which questions are asked, in which order, and which window opens.
#include "catalogdb.h"
#include "compaction.h"
#include "damagedcatalogue.h"
#include "directorylist.h"
#include "dlgfrm.h"
#include "drivelist.h"
#include "programrig.h"
#include "programstate.h"
#include "startup.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

class FakeWindows : public WindowSwitch {
public:
    QStringList shown;
    ProgramState* state = nullptr;
    void showPlayer() override { shown << "player"; }
    void catalogueUnreadable() override {
        shown << "unreadable";
        Startup(*state).runWithAnotherCatalogue();
    }
    void showCataloger(bool playerEnabled) override {
        shown << (playerEnabled ? "cataloger" : "cataloger, player disabled");
    }
};

// Answers the drive dialog whenever it is shown, recording that it was.
class DriveDialogScript : public QObject {
public:
    std::function<void(DlgFrm*)> answer = [](DlgFrm* dialog) { dialog->Command1->click(); };
    int shown = 0;
    QStringList askedBefore; // the prompts' texts at the moment the dialog showed
    ScriptedPrompts* prompts = nullptr;

    DriveDialogScript() {
        m_timer.callOnTimeout(this, &DriveDialogScript::poll), m_timer.start(10);
    }

private:
    void poll() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<DlgFrm*>(widget);
            if (dialog && dialog->isVisible() && !m_answered.contains(dialog)) {
                m_answered << dialog;
                ++shown;
                if (prompts)
                    askedBefore = prompts->texts();
                answer(dialog);
            }
        }
    }
    QTimer m_timer;
    QList<QObject*> m_answered;
};

} // namespace

class StartupTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramRig> m_rig;
    FakeWindows m_windows;

    QString path(const QString& name) const { return m_rig->path(name); }

    void makeCatalogue(const QString& file, bool withTracks) {
        QVERIFY(catalogdb::prepare(file).ok);
        CatalogConnection c(file, "test");
        catalogdb::run(c.db(),
                       "INSERT INTO Disks (DiskName, Drive) VALUES ('Rock 1', '/media/cd')");
        catalogdb::run(c.db(), "INSERT INTO Dirs (DiskID, DirName) VALUES (1, '/Rock')");
        if (withTracks)
            catalogdb::run(c.db(), "INSERT INTO Tracks (DirID, DiskID, TrackName, Duration) "
                                   "VALUES (1, 1, 'a.mp3', '00:03:00')");
    }

private Q_SLOTS:
    void init() {
        m_rig = std::make_unique<ProgramRig>();
        QVERIFY(m_rig->dir.isValid());
        m_rig->state.windows = &m_windows;
        m_windows.state = &m_rig->state;
        m_windows.shown.clear();
    }

    void firstStartAsksForTheCatalogueThenTheDrive() {
        DriveDialogScript drive;
        drive.prompts = &m_rig->prompts;
        m_rig->prompts.files = {path("new.mdb")};
        QVERIFY(Startup(m_rig->state).run());

        QCOMPARE(m_rig->prompts.asked.size(), size_t(1));
        QCOMPARE(m_rig->prompts.asked[0].kind, QString("file"));
        QCOMPARE(m_rig->prompts.asked[0].title, QString("Show me the Database..."));
        QCOMPARE(m_rig->prompts.asked[0].text, QString("*.mdb *.mdb"));
        QCOMPARE(drive.shown, 1);
        QCOMPARE(drive.askedBefore.size(), 1); // the file chooser came first
        QCOMPARE(m_rig->settings.get("DB"), path("new.mdb"));
        QVERIFY(!m_rig->settings.get("Drive").isEmpty());
        QCOMPARE(m_rig->settings.get("Drive"), m_rig->state.CdDrive);
        QCOMPARE(catalogdb::countTracks(path("new.mdb"), nullptr), 0);
        QCOMPARE(m_windows.shown, QStringList{"cataloger, player disabled"});
        QCOMPARE(m_rig->ends, 0);
    }

    void nextStartGoesStraightToTheWindow() {
        makeCatalogue(path("kept.mdb"), true);
        m_rig->settings.set("DB", path("kept.mdb"));
        m_rig->settings.set("Drive", "/media/cd");
        DriveDialogScript drive;
        QVERIFY(Startup(m_rig->state).run());
        QVERIFY(m_rig->prompts.asked.empty());
        QCOMPARE(drive.shown, 0);
        QCOMPARE(m_rig->state.CdDrive, QString("/media/cd"));
        QCOMPARE(m_windows.shown, QStringList{"player"});
        // The player opens on the tree: one row each plus the spare element. The tracks follow.
        QVERIFY(m_rig->state.lists.tracks.empty());
        QTRY_VERIFY(!m_rig->state.tracksLoading());
        QCOMPARE(m_rig->state.lists.tracks.size(), size_t(2));
        QCOMPARE(m_rig->state.lists.tracks[0].TrackName, QString("a.mp3"));
        QCOMPARE(m_rig->state.lists.disks.size(), size_t(2));
        QCOMPARE(m_rig->state.lists.dirs.size(), size_t(2));
    }

    void deletedCatalogueFileAsksAgain() {
        m_rig->settings.set("DB", path("gone.mdb"));
        m_rig->settings.set("Drive", "/");
        m_rig->prompts.files = {path("replacement.mdb")};
        DriveDialogScript drive;
        QVERIFY(Startup(m_rig->state).run());
        QCOMPARE(m_rig->prompts.asked.size(), size_t(1));
        QCOMPARE(m_rig->prompts.asked[0].kind, QString("file"));
        QCOMPARE(drive.shown, 0);
        QCOMPARE(m_rig->settings.get("DB"), path("replacement.mdb"));
    }

    void emptyTracksWithDisksOpensTheCatalogerWithPlayerDisabled() {
        makeCatalogue(path("notracks.mdb"), false);
        m_rig->settings.set("DB", path("notracks.mdb"));
        m_rig->settings.set("Drive", "/");
        QVERIFY(Startup(m_rig->state).run());
        QCOMPARE(m_windows.shown, QStringList{"cataloger, player disabled"});
        QVERIFY(m_rig->state.lists.tracks.empty());
    }

    void cancelledDatabaseChooserEndsTheProgram() {
        DriveDialogScript drive;
        QVERIFY(!Startup(m_rig->state).run());
        QCOMPARE(m_rig->prompts.texts(), QStringList({"*.mdb *.mdb", "No DB specified."}));
        QCOMPARE(m_rig->prompts.asked[1].buttons, Prompts::Buttons::Ok);
        QCOMPARE(m_rig->ends, 1);
        QCOMPARE(drive.shown, 0);
        QVERIFY(m_rig->settings.get("DB").isEmpty());
        QVERIFY(m_windows.shown.isEmpty());
    }

    void cancelledDriveDialogEndsTheProgram() {
        makeCatalogue(path("c.mdb"), false);
        m_rig->settings.set("DB", path("c.mdb"));
        DriveDialogScript drive;
        drive.answer = [](DlgFrm* dialog) { dialog->reject(); };
        QVERIFY(!Startup(m_rig->state).run());
        QCOMPARE(drive.shown, 1);
        QCOMPARE(m_rig->prompts.texts(), QStringList{"No Drive specified."});
        QCOMPARE(m_rig->ends, 1);
        QVERIFY(m_rig->state.CdDrive.isEmpty());
        QVERIFY(m_rig->settings.get("Drive").isEmpty());
        QVERIFY(m_windows.shown.isEmpty());
    }

    // At first start the OK beside the folder list takes the chosen drive, as the other does.
    void directoryOkAtFirstStartTakesTheChosenDrive() {
        makeCatalogue(path("c.mdb"), false);
        m_rig->settings.set("DB", path("c.mdb"));
        DriveDialogScript drive;
        drive.answer = [](DlgFrm* dialog) { QTest::mouseClick(dialog->Command2, Qt::LeftButton); };
        QVERIFY(Startup(m_rig->state).run());
        QVERIFY(m_rig->prompts.asked.empty());
        QCOMPARE(m_rig->settings.get("Drive"), DriveList::systemDrive());
    }

    void fileThatIsNotACatalogueIsRefusedUntouched() {
        const QByteArray content = "just some notes, not a catalogue\n";
        QFile notes(path("notes.mdb"));
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write(content);
        notes.close();
        m_rig->settings.set("DB", path("notes.mdb"));
        m_rig->settings.set("Drive", "/");
        m_rig->prompts.files = {path("fresh.mdb")};

        QVERIFY(Startup(m_rig->state).run());
        QCOMPARE(m_rig->prompts.asked.size(), size_t(2));
        QVERIFY(m_rig->prompts.asked[0].text.contains("is not a catalogue"));
        QCOMPARE(m_rig->prompts.asked[1].kind, QString("file"));
        QVERIFY(notes.open(QIODevice::ReadOnly));
        QCOMPARE(notes.readAll(), content);
        QCOMPARE(m_rig->settings.get("DB"), path("fresh.mdb"));
    }

    // Random bytes in its pages: the catalogue is named as damaged, its backup is pointed
    // at, and the chooser asked again, where the backup is taken.
    void damagedCatalogueLeadsBackToTheChooser() {
        const QString music = path("music.mdb");
        QVERIFY(makeFilledCatalogue(music, 3000));
        QCOMPARE(compaction::compact(music), QString());
        QVERIFY(damagePages(music));
        m_rig->settings.set("DB", music);
        m_rig->settings.set("Drive", "/");
        m_rig->prompts.files = {compaction::backupPath(music)};

        QVERIFY(Startup(m_rig->state).run());
        QTRY_COMPARE(m_rig->state.lists.tracks.size(), size_t(3001));
        QCOMPARE(m_rig->prompts.asked.size(), size_t(2));
        const QString report = m_rig->prompts.asked[0].text;
        QVERIFY2(report.contains("music.mdb\" is damaged") && report.contains("music.mdb.bak"),
                 qPrintable(report));
        QCOMPARE(m_rig->prompts.asked[1].title, QString("Show me the Database..."));
        QCOMPARE(m_windows.shown.last(), QString("player"));
        QCOMPARE(m_rig->settings.get("DB"), compaction::backupPath(music));
    }

    // Loading reads no index: damage there is found on the side. The cataloguing window opens
    // only on a sound catalogue; the player, which shows its tree while the tracks load, is
    // closed again and another catalogue asked for.
    void damagedIndexIsFoundAtStart_data() {
        QTest::addColumn<int>("tracks");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("player") << 3000 << QStringList{"player", "unreadable"};
        QTest::newRow("cataloger") << 0 << QStringList{};
    }
    void damagedIndexIsFoundAtStart() {
        QFETCH(int, tracks);
        QFETCH(QStringList, shown);
        const QString music = path("music.mdb");
        QVERIFY(makeFilledCatalogue(music, tracks));
        QVERIFY(damageIndex(music, "TracksByName"));
        m_rig->settings.set("DB", music);
        m_rig->settings.set("Drive", "/");

        QCOMPARE(Startup(m_rig->state).run(), tracks > 0);
        QTRY_VERIFY(!m_rig->state.tracksLoading());
        QCOMPARE(m_rig->ends, 1); // no other catalogue chosen
        QVERIFY(!m_rig->prompts.asked.empty());
        QVERIFY2(m_rig->prompts.asked[0].text.contains("music.mdb\" is damaged"),
                 qPrintable(m_rig->prompts.asked[0].text));
        QCOMPARE(m_windows.shown, shown);
        QVERIFY(m_rig->state.lists.tracks.empty() && m_rig->state.lists.disks.empty());
        QCOMPARE(m_rig->settings.get("DB"), QString());
    }

    // A catalogue damaged after it was opened: loading the lists for the player says so and
    // leaves no part of it in the lists.
    void damagedCatalogueIsNotLoadedInPart() {
        const QString music = path("music.mdb");
        QVERIFY(makeFilledCatalogue(music, 20000));
        QVERIFY(damagePages(music));
        m_rig->state.DBPath = music;
        m_rig->state.lists.disks.resize(3); // from an earlier load
        QVERIFY(!m_rig->state.loadCatalogue());
        QCOMPARE(m_rig->prompts.asked.size(), size_t(1));
        QVERIFY2(m_rig->prompts.asked[0].text.contains("music.mdb\" is damaged"),
                 qPrintable(m_rig->prompts.asked[0].text));
        QVERIFY(m_rig->state.lists.disks.empty() && m_rig->state.lists.tracks.empty() &&
                m_rig->state.lists.dirs.empty());
    }

    void chosenDatabaseIsKeptWhenAlreadyKnown() {
        m_rig->state.DBPath = path("already.mdb");
        QVERIFY(Startup(m_rig->state).ChooseDatabase());
        QVERIFY(m_rig->prompts.asked.empty());
        QVERIFY(m_rig->settings.get("DB").isEmpty());
    }

    void driveOnlyLayoutAlwaysAsksInModeTwo() {
        m_rig->state.CdDrive = "/";
        DriveDialogScript drive;
        int heightShown = 0;
        drive.answer = [&heightShown](DlgFrm* dialog) {
            heightShown = dialog->height();
            dialog->Command1->click();
        };
        QVERIFY(Startup(m_rig->state).ChooseDrive(2));
        QCOMPARE(drive.shown, 1);
        DlgFrm full(m_rig->state);
        QVERIFY(heightShown < full.height());
        QVERIFY(heightShown >= full.Drive1->y() + full.Drive1->height());
        QVERIFY(Startup(m_rig->state).ChooseDrive(1)); // a drive is known: no dialog
        QCOMPARE(drive.shown, 1);
    }

    // Another program of the user may still play the lists it wrote there.
    void endIfQuittingDeletesOnlyThePlayListsItWrote() {
        QTemporaryDir lists;
        m_rig->state.tempPlaylistDir = lists.path();
        const QStringList names = {"Temp1.m3u", "Temp20261207.m3u", "Temp3.m3u", "Other.m3u"};
        for (const QString& name : names) {
            QFile f(lists.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        m_rig->state.tempPlayLists = {lists.filePath("Temp1.m3u"),
                                      lists.filePath("Temp20261207.m3u")};
        m_rig->state.QuitOnClose = false;
        EndIfQuitting(m_rig->state);
        QCOMPARE(m_rig->ends, 0);
        QCOMPARE(QDir(lists.path()).entryList(QDir::Files).size(), names.size());

        m_rig->state.QuitOnClose = true;
        EndIfQuitting(m_rig->state);
        QCOMPARE(m_rig->ends, 1);
        QCOMPARE(QDir(lists.path()).entryList(QDir::Files, QDir::Name),
                 QStringList({"Other.m3u", "Temp3.m3u"}));
    }
};

QTEST_MAIN(StartupTest)
#include "test_startup.moc"

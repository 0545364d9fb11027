// The drive and directory dialog and the browser lists it is made of.
#include "directorylist.h"
#include "dlgfrm.h"
#include "drivelist.h"
#include "filelist.h"
#include "programrig.h"
#include "programstate.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

class DlgFrmTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<ProgramRig> m_rig;

    QString path(const QString& name) const {
        return QDir::toNativeSeparators(m_dir.filePath(name));
    }

private Q_SLOTS:
    void initTestCase() {
        QDir root(m_dir.path());
        for (const char* name : {"Music", "music2", "Beta", "alpha", ".hidden"})
            QVERIFY(root.mkpath(name));
        for (const char* name : {"b.mp3", "A.MP3", "c.Mp3", "notes.txt", "d.mp3.bak"}) {
            QFile f(root.filePath(QString("Music/") + name));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
    }

    void init() { m_rig = std::make_unique<ProgramRig>(); }

    void directoryListShowsSubdirectoriesInNameOrder() {
        DirectoryList list;
        QVERIFY(list.setPath(m_dir.path()));
        QCOMPARE(list.path(), QDir::toNativeSeparators(m_dir.path()));
        // Name order as the walk uses it, ignoring case; hidden ones left out.
        QCOMPARE(list.listCount(), 4);
        QCOMPARE(list.list(0), path("alpha"));
        QCOMPARE(list.list(1), path("Beta"));
        QCOMPARE(list.list(2), path("Music"));
        QCOMPARE(list.list(3), path("music2"));
        QCOMPARE(list.highlightedPath(), list.path()); // nothing highlighted: the current one
        // Ancestors first, then the children.
        QCOMPARE(list.count(), QDir::toNativeSeparators(m_dir.path()).count('/') + 1 + 4);
    }

    void activatingAnEntryEntersIt() {
        DirectoryList list;
        QVERIFY(list.setPath(m_dir.path()));
        QSignalSpy changed(&list, &DirectoryList::pathChanged);
        QListWidgetItem* music = list.item(list.count() - 2);
        list.setCurrentItem(music);
        QCOMPARE(list.highlightedPath(), path("Music"));
        Q_EMIT list.itemActivated(music);
        QCOMPARE(list.path(), path("Music"));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(list.listCount(), 0);
    }

    void unreadablePathKeepsTheCurrentDirectory() {
        DirectoryList list;
        QVERIFY(list.setPath(m_dir.path()));
        QVERIFY(!list.setPath(m_dir.filePath("does-not-exist")));
        QCOMPARE(list.path(), QDir::toNativeSeparators(m_dir.path()));
    }

    void fileListMatchesMp3CaseInsensitively() {
        FileList files("*.mp3");
        files.setPath(m_dir.filePath("Music"));
        QCOMPARE(files.listCount(), 3);
        QCOMPARE(files.list(0), QString("A.MP3"));
        QCOMPARE(files.list(1), QString("b.mp3"));
        QCOMPARE(files.list(2), QString("c.Mp3"));
        QCOMPARE(files.list(3), QString()); // past the end: empty text
    }

    void driveListNamesVolumesWithoutTrailingSeparator() {
        const QStringList drives = DriveList::mountedDrives();
        QVERIFY(drives.contains(DriveList::systemDrive()));
        for (const QString& drive : drives)
            QVERIFY2(drive.size() == 1 || !drive.endsWith(QDir::separator()), qPrintable(drive));
    }

    void startsOnTheSystemDriveWhenNoneIsKnown() {
        DlgFrm dialog(m_rig->state);
        QCOMPARE(dialog.Drive1->drive(), DriveList::systemDrive());
        QVERIFY(!dialog.Dir1->path().isEmpty());
    }

    void driveOkSetsTheDriveOnly() {
        m_rig->state.CdDrive = DriveList::systemDrive();
        DlgFrm dialog(m_rig->state);
        dialog.show();
        m_rig->state.CdDrive.clear();
        dialog.Command1->click();
        QCOMPARE(m_rig->state.CdDrive, DriveList::systemDrive());
        QVERIFY(m_rig->state.TargetDir.isEmpty());
        QVERIFY(!dialog.isVisible());
    }

    void directoryLayoutAcceptsOnlyTheDirectory() {
        DlgFrm dialog(m_rig->state);
        dialog.setLayoutMode(DlgFrm::Layout::Directory);
        dialog.show();
        QVERIFY(!dialog.Command1->isVisible());
        // Each OK says what it accepts: here a folder, in the drive's layouts the drive.
        QVERIFY(dialog.Command2->toolTip().contains("folder to copy into"));
        QVERIFY(DlgFrm(m_rig->state).Command2->toolTip().contains("drive"));
        QVERIFY(dialog.Command2->isVisible());
        QVERIFY(dialog.height() >= dialog.Dir1->y() + dialog.Dir1->height());
        QVERIFY(dialog.Command2->geometry().bottom() < dialog.height());
        QVERIFY(dialog.Dir1->setPath(m_dir.filePath("Music")));
        dialog.Command2->click();
        QCOMPARE(m_rig->state.TargetDir, path("Music"));
        QVERIFY(m_rig->state.CdDrive.isEmpty());
    }

    void layoutsNeverCarryOverToTheNextDialog() {
        int fullHeight = 0;
        {
            DlgFrm dialog(m_rig->state);
            fullHeight = dialog.height();
            dialog.setLayoutMode(DlgFrm::Layout::DriveOnly);
            QVERIFY(dialog.height() < fullHeight);
        }
        DlgFrm next(m_rig->state);
        QCOMPARE(next.height(), fullHeight);
    }

    void createMakesTheDirectoryAndShowsIt() {
        DlgFrm dialog(m_rig->state);
        QVERIFY(dialog.Dir1->setPath(m_dir.filePath("alpha")));
        m_rig->prompts.inputs = {QString("New Songs")};
        dialog.Command3->click();
        QCOMPARE(m_rig->prompts.asked.size(), size_t(1));
        QCOMPARE(m_rig->prompts.asked[0].text, QString("Directory to Create:"));
        QCOMPARE(m_rig->prompts.asked[0].title, QString("Get Directory Name"));
        QVERIFY(QFileInfo(m_dir.filePath("alpha/New Songs")).isDir());
        QCOMPARE(dialog.Dir1->path(), path("alpha/New Songs"));
    }

    void createWithNoNameCreatesNothing_data() {
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("empty answer") << false;
        QTest::newRow("cancelled") << true;
    }

    void createWithNoNameCreatesNothing() {
        QFETCH(bool, cancelled);
        DlgFrm dialog(m_rig->state);
        QVERIFY(dialog.Dir1->setPath(m_dir.filePath("Beta")));
        m_rig->prompts.inputs = {cancelled ? std::nullopt : std::optional<QString>(QString())};
        dialog.Command3->click();
        QVERIFY(QDir(m_dir.filePath("Beta")).isEmpty());
        QCOMPARE(dialog.Dir1->path(), path("Beta"));
        QCOMPARE(m_rig->prompts.asked.size(), size_t(1)); // only the question, no message
    }

    void createThatFailsSaysWhyAndKeepsThePath() {
        DlgFrm dialog(m_rig->state);
        QVERIFY(dialog.Dir1->setPath(m_dir.path()));
        m_rig->prompts.inputs = {QString("Music")}; // exists already
        dialog.Command3->click();
        QCOMPARE(m_rig->prompts.asked.size(), size_t(2));
        QVERIFY(m_rig->prompts.asked[1].text.contains("exists already"));
        QCOMPARE(dialog.Dir1->path(), QDir::toNativeSeparators(m_dir.path()));
    }

    void unreadableDriveIsToldOnceShownAndOkKeepsTheTarget() {
        m_rig->state.CdDrive = m_dir.filePath("unplugged");
        m_rig->state.TargetDir = path("Music");
        DlgFrm dialog(m_rig->state);
        dialog.setLayoutMode(DlgFrm::Layout::Directory);
        QCOMPARE(dialog.Dir1->count(), 0);
        QVERIFY(m_rig->prompts.asked.empty()); // nobody to tell while hidden
        dialog.show();
        QTRY_COMPARE(m_rig->prompts.asked.size(), size_t(1));
        QVERIFY(m_rig->prompts.asked[0].text.contains(m_dir.filePath("unplugged")));
        dialog.Command2->click();
        QCOMPARE(m_rig->state.TargetDir, path("Music"));
        dialog.show(); // shown again: told only once
        QTest::qWait(10);
        QCOMPARE(m_rig->prompts.asked.size(), size_t(1));
    }

    void unreadableDriveKeepsTheDialogState() {
        DlgFrm dialog(m_rig->state);
        dialog.show();
        const QString drive = dialog.Drive1->drive();
        const QString dir = dialog.Dir1->path();
        dialog.Drive1->setDrive(m_dir.filePath("no-such-volume"));
        QCOMPARE(dialog.Drive1->drive(), drive);
        QCOMPARE(dialog.Dir1->path(), dir);
        QCOMPARE(m_rig->prompts.asked.size(), size_t(1));
        QVERIFY(m_rig->prompts.asked[0].text.contains("cannot be read"));
        QVERIFY(dialog.isVisible());
    }
};

QTEST_MAIN(DlgFrmTest)
#include "test_dlgfrm.moc"

// Compaction rewrites the catalogue beside itself and must never put it at risk.

#include "catalogdb.h"
#include "catalogedits.h"
#include "compaction.h"
#include "damagedcatalogue.h"
#include "sqlrows.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// Everything a catalogue holds: schema objects, rows, identifier counters, schema version.
QStringList contents(const QString& path) {
    if (!QFileInfo(path).isFile())
        return {"no file"};
    CatalogConnection c(path, "contents");
    const QSqlDatabase db = c.db();
    QStringList out = rows(db, "SELECT type, name, tbl_name, sql FROM sqlite_master "
                               "WHERE name NOT LIKE 'sqlite_autoindex%' ORDER BY type, name");
    for (const QString table : {"Disks", "Dirs", "Tracks", "sqlite_sequence"})
        out << table << rows(db, "SELECT * FROM " + table + " ORDER BY 1");
    out << rows(db, "PRAGMA user_version");
    return out;
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A catalogue with free pages: many tracks added and most of them deleted again.
QString filledCatalogue(const QTemporaryDir& dir) {
    const QString path = dir.filePath("music catalogue.mdb");
    if (!catalogdb::prepare(path).ok)
        return {};
    CatalogConnection c(path, "fill");
    const QSqlDatabase db = c.db();
    Transaction transaction(db);
    catalogdb::run(db, "INSERT INTO Disks VALUES (1, 'Rock \"Live\"', '/media/a'), "
                       "(2, 'Jazz', '/media/b'), (3, 'Gone', '/media/c')");
    catalogdb::run(db, "INSERT INTO Dirs VALUES (1, 1, '/'), (2, 1, '/Ünïcødé'), (3, 2, '/J')");
    for (int i = 0; i < 3000; ++i)
        catalogdb::run(db,
                       "INSERT INTO Tracks (DirID, DiskID, Title, TrackName, Duration, Artist, "
                       "Album) VALUES (?, ?, ?, ?, '00:03:30', 'Artist', 'Album')",
                       {1 + i % 3, i % 3 == 2 ? 2 : 1, QString("Title %1").arg(i),
                        QString("Track %1 %2.mp3").arg(i).arg(QString(200, 'x'))});
    catalogdb::run(db, "DELETE FROM Tracks WHERE TrackID % 10 <> 0 OR TrackID = 3000");
    catalogdb::run(db, "DELETE FROM Disks WHERE DiskID = 3");
    transaction.commit();
    return path;
}

bool usable(const QString& path) {
    if (!catalogdb::prepare(path).ok)
        return false;
    CatalogConnection c(path, "use");
    catalogdb::run(c.db(), "INSERT INTO Disks (DiskName, Drive) VALUES ('new', '/media/new')");
    return rows(c.db(), "SELECT DiskID FROM Disks WHERE DiskName = 'new'") == QStringList{"4"};
}

} // namespace

class Compaction : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> folder_;
    QString path_;
    QString inFolder(const QString& name) const { return folder_->filePath(name); }

private slots:
    void init() {
        folder_ = std::make_unique<QTemporaryDir>();
        path_ = filledCatalogue(*folder_);
        QVERIFY(!path_.isEmpty());
    }

    void keepsEverythingAndBacksUp() {
        const QString backup = compaction::backupPath(path_);
        QCOMPARE(backup, path_ + ".bak");
        QVERIFY(write(backup, "an older backup"));
        const QStringList before = contents(path_);
        const QByteArray bytesBefore = bytesOf(path_);
        const qint64 sizeBefore = bytesBefore.size();

        QCOMPARE(compaction::compact(path_), QString());
        QCOMPARE(contents(path_), before);
        QVERIFY(bytesOf(backup) == bytesBefore);
        QCOMPARE(contents(backup), before);
        QVERIFY2(QFileInfo(path_).size() < sizeBefore / 2,
                 qPrintable(QString::number(QFileInfo(path_).size())));
        QCOMPARE(QDir(folder_->path()).entryList(QDir::Files),
                 QStringList({"music catalogue.mdb", "music catalogue.mdb.bak"}));
        // The counters came along: disk 3 was deleted, the next disk is 4.
        QVERIFY(usable(path_));
    }

    // A catalogue made with 1 KB pages comes out of compaction with 4 KB pages, whole.
    void smallPagesBecomeLarger() {
        const QString old = inFolder("old.mdb");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "old");
            db.setDatabaseName(old);
            QVERIFY(db.open());
            for (const char* statement :
                 {"PRAGMA page_size=1024", "CREATE TABLE x (a)", "DROP TABLE x"})
                QVERIFY(QSqlQuery(db).exec(statement));
            db.close();
        }
        QSqlDatabase::removeDatabase("old");
        QVERIFY(catalogdb::prepare(old).ok);
        {
            CatalogConnection c(old, "fill");
            catalogdb::run(c.db(), "INSERT INTO Disks (DiskName, Drive) VALUES ('D', '/')");
        }
        QCOMPARE(pageSizeOf(old), 1024);
        const QStringList before = contents(old);
        QCOMPARE(compaction::compact(old), QString());
        QCOMPARE(pageSizeOf(old), 4096);
        QCOMPARE(contents(old), before);
    }

    void secondBackupIsFirstResult() {
        QCOMPARE(compaction::compact(path_), QString());
        const QByteArray firstResult = bytesOf(path_);
        QCOMPARE(compaction::compact(path_), QString());
        QVERIFY(bytesOf(compaction::backupPath(path_)) == firstResult);
    }

    // A program that ended abruptly leaves committed rows in the write-ahead log only.
    void rowsInLeftoverLogAreKept() {
        const QString crashed = inFolder("crashed.mdb");
        {
            CatalogConnection c(path_, "writer");
            catalogdb::run(c.db(), "PRAGMA wal_autocheckpoint=0");
            catalogdb::run(c.db(), "INSERT INTO Disks VALUES (9, 'only in the log', '/l')");
            QVERIFY(QFile::copy(path_, crashed));
            QVERIFY(QFile::copy(path_ + "-wal", crashed + "-wal"));
        }
        QVERIFY(QFileInfo(crashed + "-wal").size() > 0);
        QCOMPARE(compaction::compact(crashed), QString());
        const QStringList expected = contents(path_);
        QVERIFY(expected.contains("9|only in the log|/l"));
        QCOMPARE(contents(compaction::backupPath(crashed)), expected);
        QCOMPARE(contents(crashed), expected);
    }

    void emptiedThenCompacted() {
        {
            CatalogConnection c(path_, "empty");
            catalogedits::emptyCatalogue(c.db());
        }
        QCOMPARE(compaction::compact(path_), QString());
        for (const QString& path : {path_, compaction::backupPath(path_)}) {
            CatalogConnection c(path, "check");
            QCOMPARE(rows(c.db(), "SELECT (SELECT COUNT(*) FROM Disks) + (SELECT COUNT(*) FROM "
                                  "Dirs) + (SELECT COUNT(*) FROM Tracks)"),
                     QStringList{"0"});
            QCOMPARE(rows(c.db(), "SELECT COUNT(*) FROM \"Full List\""), QStringList{"0"});
        }
    }

    // The work file is never a file the program did not make: not the catalogue itself, not
    // its backup, not a stranger's file beside them.
    void workFileIsAlwaysNew_data() {
        QTest::addColumn<QString>("catalogueName");
        QTest::addColumn<QStringList>("strangers");
        QTest::newRow("catalogue named like the work file") << "tDB.mdb" << QStringList{};
        QTest::newRow("a stranger's tDB.mdb") << "music catalogue.mdb" << QStringList{"tDB.mdb"};
        QTest::newRow("strangers' files and logs")
            << "music catalogue.mdb"
            << QStringList{"tDB-2.mdb-wal", "tDB-3.mdb-journal", "tDB.mdb", "tDB.mdb-shm"};
    }
    void workFileIsAlwaysNew() {
        QFETCH(QString, catalogueName);
        QFETCH(QStringList, strangers);
        const QString path = inFolder(catalogueName);
        if (path != path_)
            QVERIFY(QFile::rename(path_, path));
        for (const QString& name : strangers)
            QVERIFY(write(inFolder(name), "someone else's " + name.toUtf8()));
        const QStringList before = contents(path);

        QCOMPARE(compaction::compact(path), QString());
        QCOMPARE(contents(path), before);
        QCOMPARE(contents(compaction::backupPath(path)), before);
        for (const QString& name : strangers)
            QCOMPARE(bytesOf(inFolder(name)), "someone else's " + name.toUtf8());
        QStringList expected = strangers;
        expected << catalogueName << catalogueName + ".bak";
        expected.sort();
        QCOMPARE(QDir(folder_->path()).entryList(QDir::Files | QDir::Hidden), expected);
    }

    // Another program writing between the steps of a compaction: its writes wait for the
    // compaction and fail, or are in the compacted catalogue; none is lost.
    void writesDuringCompactionAreNeverLost() {
        QStringList committed;
        QStringList refused;
        const auto writeFromElsewhere = [&](compaction::Step) {
            const QString name = QString("written %1").arg(committed.size() + refused.size());
            const QString connection = "elsewhere";
            {
                QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", connection);
                db.setDatabaseName(path_);
                db.setConnectOptions("QSQLITE_BUSY_TIMEOUT=50");
                QSqlQuery q(db);
                if (db.open() && q.exec("INSERT INTO Disks (DiskName) VALUES ('" + name + "')"))
                    committed << name;
                else
                    refused << q.lastError().text();
                db.close();
            }
            QSqlDatabase::removeDatabase(connection);
        };
        QCOMPARE(compaction::compact(path_, writeFromElsewhere), QString());
        QCOMPARE(committed.size() + refused.size(), 3);
        CatalogConnection c(path_, "check");
        for (const QString& name : committed)
            QCOMPARE(rows(c.db(), "SELECT COUNT(*) FROM Disks WHERE DiskName = ?", {name}),
                     QStringList{"1"});
        for (const QString& why : refused)
            QVERIFY2(why.contains("locked"), qPrintable(why));
    }

    // Opening a catalogue while it is being compacted says so, and waits no longer than a
    // few seconds.
    void openingDuringCompactionSaysInUse() {
        QString error;
        QCOMPARE(compaction::compact(path_,
                                     [&](compaction::Step step) {
                                         if (step == compaction::Step::Held)
                                             error = catalogdb::prepare(path_).error;
                                     }),
                 QString());
        QVERIFY2(error.contains("is in use by another program"), qPrintable(error));
    }

    // While any connection has the catalogue open, compaction touches nothing.
    void refusedWhileAnotherConnectionHasIt() {
        const QStringList before = contents(path_);
        {
            CatalogConnection other(path_, "another program");
            const QString error = compaction::compact(path_);
            QVERIFY2(error.contains("in use"), qPrintable(error));
        }
        QCOMPARE(contents(path_), before);
        QVERIFY(!QFileInfo::exists(compaction::backupPath(path_)));
        QCOMPARE(compaction::compact(path_), QString());
    }

    // A folder in the way of the backup.
    void failureLeavesCatalogue() {
        const QString blocked = "music catalogue.mdb.bak";
        QVERIFY(QDir(folder_->path()).mkpath(blocked + "/keep"));
        const QStringList before = contents(path_);

        QVERIFY(!compaction::compact(path_).isEmpty());
        QCOMPARE(contents(path_), before);
        QVERIFY(QFileInfo(inFolder(blocked + "/keep")).isDir());
        QCOMPARE(QDir(folder_->path()).entryList(QDir::Files), QStringList{"music catalogue.mdb"});
        QVERIFY(usable(path_));
    }

    // The backup may be the only good copy of a catalogue damaged since it was taken.
    void damagedCatalogueKeepsItsBackup() {
        const QString backup = compaction::backupPath(path_);
        QVERIFY(write(backup, "the last good copy"));
        QVERIFY(damageIndex(path_, "TracksByName"));
        const QString error = compaction::compact(path_);
        QVERIFY2(error.contains("damaged") && error.contains(QDir::toNativeSeparators(backup)),
                 qPrintable(error));
        QCOMPARE(bytesOf(backup), QByteArray("the last good copy"));
        QCOMPARE(QDir(folder_->path()).entryList(QDir::Files),
                 QStringList({"music catalogue.mdb", "music catalogue.mdb.bak"}));
    }

    void missingCatalogueIsNotMade() {
        const QString gone = inFolder("gone.mdb");
        QVERIFY(!compaction::compact(gone).isEmpty());
        QVERIFY(!QFileInfo::exists(gone));
        QVERIFY(!QFileInfo::exists(compaction::backupPath(gone)));
    }

    // The windows close their connections for the compaction and open them again after it.
    void reopenedConnectionUsesCompactedFile() {
        CatalogConnection holder(path_, "holder");
        holder.close();
        QCOMPARE(compaction::compact(path_), QString());
        QVERIFY(holder.reopen());
        catalogdb::run(holder.db(), "INSERT INTO Disks VALUES (4, 'after', '/a')");
        CatalogConnection other(path_, "other");
        QCOMPARE(rows(other.db(), "SELECT DiskName FROM Disks WHERE DiskID = 4"),
                 QStringList{"after"});
    }

    // A catalogue kept elsewhere and reached through a link stays where it is.
    void linkedCatalogue() {
#ifdef Q_OS_UNIX
        QVERIFY(QDir(folder_->path()).mkdir("elsewhere"));
        const QString target = inFolder("elsewhere/real.mdb");
        QVERIFY(QFile::rename(path_, target));
        QVERIFY(QFile::link(target, path_));
        const QStringList before = contents(target);
        const qint64 sizeBefore = QFileInfo(target).size();
        QCOMPARE(compaction::compact(path_), QString());
        QVERIFY(QFileInfo(path_).isSymLink());
        QCOMPARE(contents(target), before);
        QVERIFY(QFileInfo(target).size() < sizeBefore);
#else
        QSKIP("links are a Unix matter here");
#endif
    }
};

QTEST_GUILESS_MAIN(Compaction)

#include "test_compaction.moc"

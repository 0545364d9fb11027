// Several programs on one catalogue, as real processes: none may corrupt it or lose what
// another committed, and each failure says what is really wrong.

#include "catalogdb.h"
#include "compaction.h"
#include "damagedcatalogue.h"
#include "runtestclasses.h"
#include "sqlrows.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

std::unique_ptr<QProcess> startTool(const QStringList& arguments) {
    auto process = std::make_unique<QProcess>();
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->start(CATALOG_TOOL, arguments);
    return process;
}

// The tool's output; empty when it succeeded.
QString runTool(const QStringList& arguments) {
    const auto process = startTool(arguments);
    if (!process->waitForFinished(60000))
        return "the tool did not finish";
    const QString output = QString::fromUtf8(process->readAll());
    if (process->exitCode() != 0 && output.isEmpty())
        return "failed without a word";
    return output;
}

QString integrity(const QString& path) {
    CatalogConnection c(path, "integrity");
    return rows(c.db(), "PRAGMA integrity_check").join('\n');
}

qint64 trackCount(const QString& path) {
    QString error;
    return catalogdb::countTracks(path, &error);
}

} // namespace

class SharedCatalogue : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir_;

private slots:
    void init() { dir_ = std::make_unique<QTemporaryDir>(); }

    // Three programs start on one catalogue at once (one of them making it) and scan into it.
    void programsWritingAtOnceKeepEveryRow_data() {
        QTest::addColumn<bool>("exists");
        for (int round = 1; round <= 3; ++round) {
            QTest::addRow("new catalogue, round %d", round) << false;
            QTest::addRow("existing catalogue, round %d", round) << true;
        }
    }
    void programsWritingAtOnceKeepEveryRow() {
        QFETCH(bool, exists);
        const QString path = dir_->filePath("shared.mdb");
        if (exists)
            QVERIFY(catalogdb::prepare(path).ok);
        const int each = 1500;
        std::vector<std::unique_ptr<QProcess>> programs;
        for (int i = 0; i < 3; ++i)
            programs.push_back(
                startTool({"write", path, QString::number(i * each), QString::number(each)}));
        for (const auto& program : programs) {
            QVERIFY(program->waitForFinished(60000));
            QCOMPARE(program->readAll(), QByteArray("open\n"));
            QCOMPARE(program->exitCode(), 0);
        }
        QCOMPARE(integrity(path), "ok");
        QCOMPARE(trackCount(path), 3 * each);
    }

    // Compacting while another program scans must not lose a row that program committed.
    void compactionWhileAnotherProgramWrites() {
        const QString path = dir_->filePath("busy.mdb");
        QVERIFY(catalogdb::prepare(path).ok);
        const int count = 6000;
        const auto writer = startTool({"write", path, "0", QString::number(count)});
        QVERIFY(writer->waitForStarted());
        QVERIFY(writer->waitForReadyRead(20000));
        QCOMPARE(writer->readLine(), QByteArray("open\n"));
        // Each attempt waits a moment for the catalogue, then compacts or says it is in use.
        while (writer->state() != QProcess::NotRunning) {
            const QString failure = compaction::compact(path);
            QVERIFY2(failure.isEmpty() || failure.contains("in use"), qPrintable(failure));
            QTest::qWait(5);
        }
        QCOMPARE(writer->readAll(), QByteArray());
        QCOMPARE(writer->exitCode(), 0);
        QCOMPARE(integrity(path), "ok");
        QCOMPARE(trackCount(path), count);
        QCOMPARE(compaction::compact(path), QString());
        QCOMPARE(trackCount(path), count);
    }
};

// Files and folders this program may read but not write, tried by a program without root's
// rights.
class ReadOnlyPlaces : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir_;
    QString folder_;
    QString path_;

    void setWritable(const QString& path, bool writable, bool isFolder) {
        QFile::Permissions p = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        if (isFolder)
            p |= QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
        if (writable) // for the tool too, when it runs as another user
            p |= QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
        QVERIFY(QFile::setPermissions(path, p));
    }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        folder_ = dir_->filePath("music");
        QVERIFY(QDir().mkdir(folder_));
        path_ = folder_ + "/catalog.mdb";
        QVERIFY(catalogdb::prepare(path_).ok);
        // The tool may run as another user: it must reach the folder.
        setWritable(dir_->path(), true, true);
    }
    void cleanup() {
        setWritable(folder_, true, true);
        setWritable(path_, true, false);
    }

    void readOnlyFolderIsNotCalledNoCatalogue() {
        setWritable(folder_, false, true);
        const QString error = runTool({"--as-nobody", "prepare", path_});
        QVERIFY2(!error.contains("is not a catalogue"), qPrintable(error));
        QVERIFY2(error.contains("read-only") && error.contains(QDir::toNativeSeparators(folder_)),
                 qPrintable(error));
    }

    // A catalogue of an older version on a read-only disk is read as it is, without what the
    // upgrade would have added: the table of volumes (it has none), the index of disks by name.
    void olderReadOnlyCatalogueIsReadAsItIs_data() {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("lacking");
        QTest::newRow("2") << 2 << "DROP TABLE DiskVolumes";
        QTest::newRow("3") << 3 << "DROP INDEX DisksByName";
    }
    void olderReadOnlyCatalogueIsReadAsItIs() {
        QFETCH(int, version);
        QFETCH(QString, lacking);
        {
            CatalogConnection c(path_, "older");
            catalogdb::run(c.db(), lacking);
            catalogdb::run(c.db(), "INSERT INTO Disks VALUES (1, 'Kept', '/m')");
            catalogdb::run(c.db(), QString("PRAGMA user_version=%1").arg(version));
        }
        setWritable(folder_, true, true); // for the catalogue's log
        setWritable(path_, false, false);
        QCOMPARE(runTool({"--as-nobody", "volumes", path_}), "0 volumes\n");
        setWritable(path_, true, false);
        CatalogConnection c(path_, "check");
        QCOMPARE(rows(c.db(), "PRAGMA user_version"), QStringList{QString::number(version)});
        QCOMPARE(rows(c.db(), "SELECT DiskName FROM Disks"), QStringList{"Kept"});
        // Once it may be written, it is upgraded.
        QCOMPARE(runTool({"volumes", path_}), "0 volumes\n");
        QCOMPARE(rows(c.db(), "PRAGMA user_version"),
                 QStringList{QString::number(catalogdb::SchemaVersion)});
    }

    void compactionNamesTheReadOnlyPlace_data() {
        QTest::addColumn<bool>("folderWritable");
        QTest::addColumn<bool>("fileWritable");
        QTest::addColumn<QString>("named");
        QTest::newRow("read-only catalogue") << true << false << "The catalogue ";
        QTest::newRow("read-only folder") << false << true << "The folder ";
    }
    void compactionNamesTheReadOnlyPlace() {
        QFETCH(bool, folderWritable);
        QFETCH(bool, fileWritable);
        QFETCH(QString, named);
        const QStringList before = QDir(folder_).entryList(QDir::Files);
        setWritable(path_, fileWritable, false);
        setWritable(folder_, folderWritable, true);
        const QString error = runTool({"--as-nobody", "compact", path_});
        QVERIFY2(!error.contains("in use"), qPrintable(error));
        QVERIFY2(error.contains(QRegularExpression(named + "\\S+ is read-only")),
                 qPrintable(error));
        setWritable(folder_, true, true);
        QCOMPARE(QDir(folder_).entryList(QDir::Files), before);
        QCOMPARE(integrity(path_), "ok");
    }
};

// A disk that fills up during compaction: the message says so, and nothing is left half done.
class FullDisk : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void compactionSaysTheDiskIsFull_data() {
        QTest::addColumn<QString>("when");
        QTest::newRow("full before the compact copy") << "before";
        QTest::newRow("full before the backup") << "before-backup";
    }
    void compactionSaysTheDiskIsFull() {
        QFETCH(QString, when);
        const QString path = dir_.filePath("catalog.mdb");
        if (!QFileInfo::exists(path))
            QVERIFY(makeFilledCatalogue(path, 3000));
        const QString error = runTool({"full-disk", path, when});
        if (error.startsWith("no small disk"))
            QSKIP("this system lets no process mount a small disk of its own");
        QVERIFY2(error.contains("is full") && !error.contains("in use"), qPrintable(error));
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    SharedCatalogue shared;
    ReadOnlyPlaces readOnly;
    FullDisk fullDisk;
    return runTestClasses(argc, argv, {&shared, &readOnly, &fullDisk});
}

#include "test_sharing.moc"

// Loading the in-memory catalogue from a real catalogue file.

#include "catalogdb.h"
#include "cataloglists.h"
#include "damagedcatalogue.h"
#include "listloading.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string>

class CatalogLoading : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::unique_ptr<CatalogConnection> connection_;

    QSqlDatabase db() const { return connection_->db(); }
    void sql(const QString& statement, const QVariantList& values = {}) {
        catalogdb::run(db(), statement, values);
    }

private slots:
    void init() {
        const QString path = dir_.filePath(QTest::currentTestFunction() + QString(".mdb"));
        QVERIFY(catalogdb::prepare(path).ok);
        connection_ = std::make_unique<CatalogConnection>(path, "test");
        QVERIFY(connection_->isOpen());
    }
    void cleanup() { connection_.reset(); }

    void rowsInTableOrderThenOneSpare() {
        sql("INSERT INTO Disks (DiskID, DiskName, Drive) VALUES (3, 'Three', 'E:'), "
            "(1, 'One', 'F:'), (70000, 'Big', '/media/x')");
        DiskList disks;
        LoadDisks(db(), disks);
        QCOMPARE(disks.size(), size_t(4));
        QCOMPARE(disks[0].DiskID, 1); // rowid order, as the table returns them
        QCOMPARE(disks[1].DiskName, QString("Three"));
        QCOMPARE(disks[2].DiskID, 70000); // no 16-bit limit
        QCOMPARE(disks[2].Drive, QString("/media/x"));
        QCOMPARE(disks[3].DiskID, 0);
        QVERIFY(disks[3].DiskName.isEmpty() && disks[3].Drive.isEmpty());
    }

    void trackFieldsComeFromTheirOwnColumns() {
        // Album is held before Artist in the record, after it in the table.
        sql("INSERT INTO Tracks (TrackID, DirID, DiskID, Title, TrackName, Duration, Artist, "
            "Album) VALUES (40001, 12, 7, 'Song', 'song.mp3', '00:03:15', 'The Artist', "
            "'The Album')");
        sql("INSERT INTO Dirs (DirID, DiskID, DirName) VALUES (12, 7, ?)", {"/Music/It's"});
        CatalogLists lists;
        LoadCatalog(db(), lists);
        QCOMPARE(lists.tracks.size(), size_t(2));
        const TrackRecord& t = lists.tracks[0];
        QCOMPARE(t.TrackID, 40001);
        QCOMPARE(t.DirID, 12);
        QCOMPARE(t.DiskID, 7);
        QCOMPARE(t.Title, QString("Song"));
        QCOMPARE(t.TrackName, QString("song.mp3"));
        QCOMPARE(t.Duration.text(), QString("00:03:15"));
        QCOMPARE(t.Artist.text(), QString("The Artist"));
        QCOMPARE(t.Album.text(), QString("The Album"));
        QCOMPARE(lists.tracks[1].TrackID, 0);
        QCOMPARE(lists.dirs.size(), size_t(2));
        QCOMPARE(lists.dirs[0].DirName, QString("/Music/It's"));
        QCOMPARE(lists.dirs[0].DiskID, 7);
        QVERIFY(lists.disks.empty()); // never loaded: no elements at all
    }

    // Repeated artists, albums and playing times are shared, yet each track reads its own:
    // a run of one text, a text come back after others, a longer text starting like the one
    // before, an empty one, NULL, and the same text as another column.
    void sharedTextsReadAsStored() {
        const QList<QVariant> artists = {"Abba",
                                         "Abba",
                                         "Abba Band",
                                         "Queen",
                                         "Abba",
                                         "",
                                         QVariant(QMetaType::fromType<QString>()),
                                         "Blur"};
        for (int i = 0; i < artists.size(); ++i)
            sql("INSERT INTO Tracks (DirID, DiskID, TrackName, Duration, Artist, Album) VALUES "
                "(1, 1, ?, ?, ?, ?)",
                {QString("t%1").arg(i), i % 2 ? "00:03:00" : "00:04:00", artists[i], "Blur"});
        TrackList tracks;
        LoadTracks(db(), tracks);
        QCOMPARE(tracks.size(), size_t(artists.size() + 1));
        for (int i = 0; i < artists.size(); ++i) {
            QCOMPARE(tracks[i].Artist.text(), artists[i].toString());
            QCOMPARE(tracks[i].Artist.text().isNull(), artists[i].isNull());
            QCOMPARE(tracks[i].Album.text(), QString("Blur"));
            QCOMPARE(tracks[i].Duration.text(), QString(i % 2 ? "00:03:00" : "00:04:00"));
        }
        QVERIFY(tracks[0].Artist.text().constData() ==
                tracks[4].Artist.text().constData()); // one copy
    }

    // Titles and names lie side by side in shared blocks: each still reads as stored (UTF-8,
    // bytes that are not UTF-8, a text longer than a block), ends where a QString must end,
    // outlives its list, and changes alone.
    void textsOutliveTheirListAndChangeAlone() {
        sql("INSERT INTO Tracks (DirID, DiskID, Title, TrackName) VALUES (1, 1, 'Café Ü', "
            "CAST(x'6361668e2e6d7033' AS TEXT))");
        sql("INSERT INTO Tracks (DirID, DiskID, Title, TrackName) VALUES (1, 1, ?, '')",
            {QString(20000, u'x')});
        sql("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
            "INSERT INTO Tracks (DirID, DiskID, Title, TrackName) "
            "SELECT 1, 1, 'Title ' || i, 'track ' || i || '.mp3' FROM n");
        QStringList kept;
        {
            TrackList tracks;
            LoadTracks(db(), tracks);
            QCOMPARE(tracks.size(), size_t(3003));
            QCOMPARE(tracks[0].Title, QString("Café Ü"));
            QCOMPARE(tracks[0].TrackName, QString::fromUtf8("caf\x8e.mp3"));
            QCOMPARE(tracks[1].Title.size(), 20000);
            QVERIFY(tracks[1].TrackName.isEmpty() && !tracks[1].TrackName.isNull());
            for (const size_t i : {size_t(0), size_t(1), size_t(2), size_t(1500), size_t(3002)})
                kept << tracks[i].Title << tracks[i].TrackName;
        }
        QCOMPARE(kept[4], QString("Title 1"));
        QCOMPARE(kept[7], QString("track 1499.mp3"));
        QVERIFY(kept[8].isNull()); // the spare element
        for (const QString& text : kept)
            QCOMPARE(qsizetype(std::char_traits<char16_t>::length(
                         reinterpret_cast<const char16_t*>(text.utf16()))),
                     text.size());
        QString changed = kept[4];
        const QString neighbour = kept[5];
        kept.clear();
        changed.append(" and more");
        changed.prepend("More of ");
        QCOMPARE(changed, QString("More of Title 1 and more"));
        QCOMPARE(neighbour, QString("track 1.mp3"));
    }

    void reloadAfterDeletionShrinks() {
        for (int i = 1; i <= 3; ++i)
            sql("INSERT INTO Dirs (DiskID, DirName) VALUES (1, ?)", {QString("/d%1").arg(i)});
        DirList dirs;
        LoadDirs(db(), dirs);
        QCOMPARE(dirs.size(), size_t(4));
        sql("DELETE FROM Dirs WHERE DirID = 2");
        LoadDirs(db(), dirs);
        QCOMPARE(dirs.size(), size_t(3));
        QCOMPARE(dirs[0].DirName, QString("/d1"));
        QCOMPARE(dirs[1].DirName, QString("/d3"));
        QCOMPARE(dirs[2].DirID, 0);
    }

    void emptyOrUnreadableTableLeavesTheListAsItWas() {
        sql("INSERT INTO Disks (DiskName, Drive) VALUES ('A', 'E:'), ('B', 'E:')");
        DiskList disks;
        LoadDisks(db(), disks);
        sql("DELETE FROM Disks");
        LoadDisks(db(), disks);
        QCOMPARE(disks.size(), size_t(3));
        QCOMPARE(disks[1].DiskName, QString("B"));

        sql("DROP TABLE Disks");
        QVERIFY_THROWS_EXCEPTION(CatalogError, LoadDisks(db(), disks));
        QCOMPARE(disks.size(), size_t(3));
        QVERIFY_THROWS_EXCEPTION(CatalogError, LoadDisks(QSqlDatabase(), disks));
        QCOMPARE(disks.size(), size_t(3));
    }

    // Random bytes in a few pages: the catalogue is reported as damaged, never loaded in part.
    void damagedCatalogueIsReportedNotShortened() {
        const QString path = dir_.filePath("damaged.mdb");
        QVERIFY(makeFilledCatalogue(path, 20000));
        QVERIFY(damagePages(path));
        {
            CatalogConnection damaged(path, "damaged");
            TrackList tracks;
            try {
                LoadTracks(damaged.db(), tracks);
                QFAIL(qPrintable(QString("loaded %1 tracks").arg(tracks.size())));
            } catch (const CatalogError& e) {
                QCOMPARE(catalogdb::failureOf(e.code()), catalogdb::Failure::Damaged);
                const QString message = catalogdb::unreadableMessage(path, e);
                QVERIFY2(message.contains("damaged.mdb\" is damaged") &&
                             message.contains("damaged.mdb.bak"),
                         qPrintable(message));
            }
            QVERIFY(tracks.empty());
        }
        const catalogdb::Preparation prepared = catalogdb::prepare(path);
        QVERIFY(!prepared.ok);
        QVERIFY2(prepared.error.contains("damaged.mdb\" is damaged"), qPrintable(prepared.error));
    }
};

QTEST_GUILESS_MAIN(CatalogLoading)
#include "test_cataloglists.moc"

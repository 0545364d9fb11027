// Finding tracks and directories in the in-memory catalogue: by tags, ignoring case and accents.

#include "catalogsearch.h"
#include "searchfold.h"

#include <QTest>

class CatalogSearchTest : public QObject {
    Q_OBJECT
    static TrackRecord track(qint32 id, const QString& name, const QString& artist = {}) {
        return {id, 1, 1, "", name, "00:01:00", "", artist};
    }

    TrackList tracks_;

private slots:
    void init() {
        tracks_ = {
            {1, 1, 1, "Blue Monday", "01.mp3", "00:07:29", "Power, Corruption & Lies", "New Order"},
            {2, 1, 1, "Ceremony", "02.mp3", "00:04:23", "Substance", "NEW ORDER"},
            {3, 2, 1, "So What", "so what.mp3", "00:09:22", "Kind of Blue", "Miles Davis"},
            {4, 2, 1, "", "untagged blue.mp3", "00:01:00", "", ""},
            {5, 2, 1, "Déjà Vu", "05.mp3", "00:03:00", "Café Society", "Ångström"},
            {}, // the spare element a load leaves
        };
    }

    void eachTagMatchesIgnoringCase() {
        QCOMPARE(searchTrackTags(tracks_, "BLUE"), (std::vector<qint32>{0, 2})); // title, album
        QCOMPARE(searchTrackTags(tracks_, "new order"), (std::vector<qint32>{0, 1})); // artist
        QCOMPARE(searchTrackTags(tracks_, "corruption &"), (std::vector<qint32>{0}));
        QCOMPARE(searchTrackTags(tracks_, "Davis"), (std::vector<qint32>{2}));
        // Beyond ASCII too, in every tag.
        QCOMPARE(searchTrackTags(tracks_, "DÉJÀ"), (std::vector<qint32>{4}));
        QCOMPARE(searchTrackTags(tracks_, "CAFÉ"), (std::vector<qint32>{4}));
        QCOMPARE(searchTrackTags(tracks_, "ångSTRÖM"), (std::vector<qint32>{4}));
    }

    void fileNamesAndMissingTagsDoNotMatch() {
        QVERIFY(searchTrackTags(tracks_, "untagged").empty()); // only in the file name
        QVERIFY(searchTrackTags(tracks_, "Rolling Stones").empty());
        // An empty text finds every track with a tag, never the untagged one or the spare.
        QCOMPARE(searchTrackTags(tracks_, ""), (std::vector<qint32>{0, 1, 2, 4}));
        // A text longer than every tag, and one that only begins like a tag.
        QVERIFY(searchTrackTags(tracks_, "Blue Monday and more").empty());
        QVERIFY(searchTrackTags(tracks_, "orderx").empty());
    }

    // A large list is searched in parts at once: the hits still come once each, in list order,
    // at both ends and on either side of the split.
    void largeListsKeepListOrder() {
        TrackList tracks(300001);
        const std::vector<qint32> hits = {0, 149999, 150000, 150001, 299999};
        for (size_t i = 0; i + 1 < tracks.size(); ++i) {
            tracks[i].TrackID = qint32(i + 1);
            tracks[i].TrackName = QString("track %1.mp3").arg(i);
        }
        for (const qint32 i : hits) {
            tracks[size_t(i)].TrackName = QString("Zebra %1.mp3").arg(i);
            tracks[size_t(i)].Artist = "zebra";
        }
        QCOMPARE(searchTrackNames(tracks, "ZEBRA"), hits);
        QCOMPARE(searchTrackTags(tracks, "zebra"), hits);
        QCOMPARE(searchTrackNames(tracks, "").size(), tracks.size() - 1);
    }

    void resultReadsArtistTitleAndFileName() {
        QCOMPARE(tagsResultText(tracks_[2]), QString("Miles Davis - So What (so what.mp3)"));
    }
    void accentsAndCaseAreIgnoredInEveryKind() {
        const TrackList tracks = {track(1, "Café.mp3", "Édith Piaf"),
                                  track(2, "Cafe noir.mp3"),
                                  track(3, "Caf.mp3", "Edit"),
                                  {}};
        const DirList dirs = {{1, 1, "/Ångström"}, {2, 1, "/Angst"}, {}};
        QCOMPARE(searchTrackNames(tracks, "cafe"), (std::vector<qint32>{0, 1}));
        QCOMPARE(searchTrackNames(tracks, "CAFÉ"), (std::vector<qint32>{0, 1}));
        QCOMPARE(searchTrackTags(tracks, "edith"), (std::vector<qint32>{0}));
        QCOMPARE(searchDirNames(dirs, "ANGSTROM"), (std::vector<qint32>{0}));
        // Typed decomposed (an "e" and a combining accent), a ligature, a text of marks alone.
        QCOMPARE(searchTrackNames(tracks, QString("cafe\u0301")), (std::vector<qint32>{0, 1}));
        QCOMPARE(searchTrackNames({track(1, "\uFB01nale.mp3"), track(2, "\u0301")}, "FI"),
                 (std::vector<qint32>{0}));
        QCOMPARE(searchTrackNames({track(1, "\u0301")}, ""), (std::vector<qint32>{0}));
        QVERIFY(searchTrackNames(tracks, "caf\u00F8").empty()); // not an accented "o"
        QCOMPARE(searchFolded(QString("\u212Bngstr\u00D6m A\U0001D400")), QString("angstrom aa"));
    }

    // The folded names are kept per list: a list replaced or grown is folded again, and one
    // changed in place after prepare().
    void aKeptSearchFollowsItsLists() {
        TrackList tracks = {track(1, "Plain.mp3"), {}};
        DirList dirs;
        CatalogSearch search(tracks, dirs);
        QVERIFY(search.trackNames("cafe").empty());
        tracks.insert(tracks.begin(), track(2, "Café.mp3"));
        QCOMPARE(search.trackNames("cafe"), (std::vector<qint32>{0}));
        tracks[1].TrackName = "Caf\u00E9 au lait.mp3";
        search.prepare();
        QCOMPARE(search.trackNames("cafe"), (std::vector<qint32>{0, 1}));
        QCOMPARE(search.trackNames("au lait"), (std::vector<qint32>{1}));
    }

    // Folded in halves, as the search itself runs: names beyond ASCII on either side of the
    // middle are each found once, in order, and never lent to a neighbour.
    void largeListsFoldedInHalves() {
        TrackList tracks(300001);
        const std::vector<qint32> hits = {0, 149999, 150000, 299999};
        const SharedText plain("Plain"), edith("\u00C9dith"); // as a load shares them
        for (size_t i = 0; i + 1 < tracks.size(); ++i) {
            tracks[i].TrackID = qint32(i + 1);
            tracks[i].TrackName = QString(i % 7 ? "track %1.mp3" : "tr\u00E4ck %1.mp3").arg(i);
            tracks[i].Artist = i % 3 ? plain : edith;
        }
        for (const qint32 i : hits)
            tracks[size_t(i)].TrackName = QString("Z\u00E9bra %1.mp3").arg(i);
        QCOMPARE(searchTrackNames(tracks, "zebra"), hits);
        QCOMPARE(searchTrackNames(tracks, "track 150002.mp3"), (std::vector<qint32>{150002}));
        QCOMPARE(searchTrackNames(tracks, "track 150003.mp3"), (std::vector<qint32>{150003}));
        QCOMPARE(searchTrackTags(tracks, "EDITH").size(), size_t(100000));
    }
};

QTEST_GUILESS_MAIN(CatalogSearchTest)
#include "test_catalogsearch.moc"

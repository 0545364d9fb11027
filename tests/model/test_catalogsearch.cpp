// Finding tracks by their title, artist or album in the in-memory catalogue.

#include "catalogsearch.h"

#include <QTest>

class TagSearch : public QObject {
    Q_OBJECT
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
};

QTEST_GUILESS_MAIN(TagSearch)
#include "test_catalogsearch.moc"

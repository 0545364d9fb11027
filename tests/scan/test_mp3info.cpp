#include "mp3fixture.h"
#include "mp3info.h"
#include "runtestclasses.h"
#include "scanfile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

// catalog_scan links TagLib; the tests use it directly only to show where its own estimate
// fails and to add an APE tag, which the fixture does not write.
#include <taglib/apetag.h>
#include <taglib/mpegfile.h>
#include <taglib/mpegproperties.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <future>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using fixture::Mp3Params;
using fixture::Tag;
using Kind = Mp3Params::Kind;

Q_DECLARE_METATYPE(fixture::Mp3Params)
Q_DECLARE_METATYPE(fixture::TextEncoding)
Q_DECLARE_METATYPE(std::optional<fixture::Tag>)

namespace {

Mp3Params params(Kind kind, int kbps, int sampleRate, int frames) {
    Mp3Params p;
    p.kind = kind;
    p.bitrateKbps = kbps;
    p.sampleRate = sampleRate;
    p.frames = frames;
    return p;
}

int taglibMilliseconds(const QString& path) {
    TagLib::MPEG::File file(QFile::encodeName(path).constData());
    return file.audioProperties() ? file.audioProperties()->lengthInMilliseconds() : -1;
}

void compareTexts(const Mp3Info& info, const QString& title, const QString& artist,
                  const QString& album) {
    QCOMPARE(info.title, title);
    QCOMPARE(info.artist, artist);
    QCOMPARE(info.album, album);
}

} // namespace

class PlayingTime : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void seconds_data() {
        QTest::addColumn<Mp3Params>("file");
        QTest::addColumn<qint64>("seconds");
        // 1152 samples a frame: 26.12 ms at 44.1 kHz, 24 ms at 48 kHz, 36 ms at 32 kHz.
        QTest::newRow("cbr 44.1k, 3.13 s") << params(Kind::Cbr, 128, 44100, 120) << 3LL;
        QTest::newRow("cbr 44.1k padded, 7.84 s") << params(Kind::Cbr, 40, 44100, 300) << 8LL;
        QTest::newRow("cbr 48k, 1.44 s rounds down") << params(Kind::Cbr, 320, 48000, 60) << 1LL;
        QTest::newRow("cbr 48k, 1.56 s rounds up") << params(Kind::Cbr, 320, 48000, 65) << 2LL;
        Mp3Params mono = params(Kind::Cbr, 32, 32000, 1700);
        mono.mono = true;
        QTest::newRow("cbr 32k mono, 61.2 s") << mono << 61LL;
        QTest::newRow("xing 44.1k, 3.13 s") << params(Kind::VbrXing, 128, 44100, 120) << 3LL;
        QTest::newRow("xing 48k, 2.52 s") << params(Kind::VbrXing, 64, 48000, 105) << 3LL;
        // TagLib takes the first frame's bitrate for a stream without a Xing header.
        QTest::newRow("no header, 10.45 s") << params(Kind::VbrNoHeader, 128, 44100, 400) << 10LL;
        // The first frames agree; only frames further on give the variation away.
        Mp3Params quietIntro = params(Kind::VbrNoHeader, 32, 48000, 2500);
        quietIntro.leadInFrames = 300;
        QTest::newRow("no header, long quiet intro, 60 s") << quietIntro << 60LL;
        Mp3Params tagged = params(Kind::VbrNoHeader, 320, 44100, 1000);
        tagged.id3v1 = Tag{"t1", "a1", "b1"};
        tagged.id3v2 = Tag{"t2", "a2", "b2"};
        QTest::newRow("no header, both tags, 26.12 s") << tagged << 26LL;
        // 576 samples a frame. Each pair lies one frame either side of half a second, so
        // that a frame too many or too few changes the rounded time.
        QTest::newRow("MPEG-2 22.05k no header, 26.488 s")
            << params(Kind::VbrNoHeader, 128, 22050, 1014) << 26LL;
        QTest::newRow("MPEG-2 22.05k no header, 26.514 s")
            << params(Kind::VbrNoHeader, 128, 22050, 1015) << 27LL;
        QTest::newRow("MPEG-2.5 8k no header, 26.496 s")
            << params(Kind::VbrNoHeader, 64, 8000, 368) << 26LL;
        QTest::newRow("MPEG-2.5 8k no header, 26.568 s")
            << params(Kind::VbrNoHeader, 64, 8000, 369) << 27LL;
        QTest::newRow("MPEG-2.5 11.025k no header, 26.488 s")
            << params(Kind::VbrNoHeader, 128, 11025, 507) << 26LL;
        QTest::newRow("MPEG-2 24k xing, 26.496 s")
            << params(Kind::VbrXing, 64, 24000, 1104) << 26LL;
    }
    void seconds() {
        QFETCH(Mp3Params, file);
        QFETCH(qint64, seconds);
        const QString path = dir_.filePath("a.mp3");
        QVERIFY(fixture::writeMp3(path, file));
        const double taglibError =
            qAbs(taglibMilliseconds(path) - fixture::playingSeconds(file) * 1000);
        if (file.kind == Kind::VbrNoHeader)
            QVERIFY(taglibError > 1500);
        else
            QVERIFY(taglibError <= 1);
        const Mp3Info info = readMp3Info(path);
        QVERIFY(info.readable);
        QCOMPARE(info.seconds, seconds);
    }

    // An interrupted copy: the frames that are there count, whatever a header says.
    void truncatedFileKeepsWholeFrames() {
        for (const Kind kind : {Kind::Cbr, Kind::VbrNoHeader, Kind::VbrXing}) {
            Mp3Params file = params(kind, 128, 48000, 400);
            file.id3v2 = Tag{"Cut", "Short", "Off"};
            file.id3v1 = Tag{"lost", "with the", "cut"};
            const QString path = dir_.filePath("cut.mp3");
            QVERIFY(fixture::writeTruncated(path, file, 100)); // 2.4 s of 9.6 s
            const Mp3Info info = readMp3Info(path);
            QVERIFY(info.readable);
            QCOMPARE(info.seconds, 2LL);
            compareTexts(info, "Cut", "Short", "Off");
        }
    }

    // A Xing frame count that cannot match the stream that follows it.
    void damagedHeaderCountGivesWayToFrames_data() {
        QTest::addColumn<quint32>("claimed");
        QTest::newRow("high byte set: 121:44 for 5 s") << quint32(0x1000000 + 200);
        QTest::newRow("all bits set") << quint32(0xffffffff);
        QTest::newRow("a tenth of the frames") << quint32(20);
    }
    void damagedHeaderCountGivesWayToFrames() {
        QFETCH(quint32, claimed);
        Mp3Params file = params(Kind::VbrXing, 128, 44100, 200); // 5.22 s
        file.xingFrames = claimed;
        const QString path = dir_.filePath("lying.mp3");
        QVERIFY(fixture::writeMp3(path, file));
        const Mp3Info info = readMp3Info(path);
        QVERIFY(info.readable);
        QCOMPARE(info.duration, "00:00:05");
    }
};

class TagTexts : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void texts_data() {
        QTest::addColumn<std::optional<Tag>>("v1");
        QTest::addColumn<std::optional<Tag>>("v2");
        QTest::addColumn<int>("v2Version");
        QTest::addColumn<fixture::TextEncoding>("v2Encoding");
        QTest::addColumn<QStringList>("expected");
        using E = fixture::TextEncoding;
        const Tag v1{"Café", "Motörhead", "Ace of Spades"};
        const Tag v2{"Zoë's \"Song\"", "Björk ビョーク 🎵", "Homogenic"};
        const QStringList v1Texts{"Café", "Motörhead", "Ace of Spades"};
        const QStringList v2Texts{v2.title, v2.artist, v2.album};
        QTest::newRow("ID3v1 only")
            << std::optional(v1) << std::optional<Tag>() << 4 << E::Utf8 << v1Texts;
        QTest::newRow("ID3v2.4 UTF-8 only")
            << std::optional<Tag>() << std::optional(v2) << 4 << E::Utf8 << v2Texts;
        QTest::newRow("ID3v2.3 UTF-16 only")
            << std::optional<Tag>() << std::optional(v2) << 3 << E::Utf16 << v2Texts;
        QTest::newRow("ID3v2.3 Latin-1 only")
            << std::optional<Tag>() << std::optional(v1) << 3 << E::Latin1 << v1Texts;
        QTest::newRow("both, ID3v1 wins")
            << std::optional(v1) << std::optional(v2) << 4 << E::Utf8 << v1Texts;
        QTest::newRow("no tag") << std::optional<Tag>() << std::optional<Tag>() << 4 << E::Utf8
                                << QStringList{"", "", ""};
        const QString longTitle = "A title that runs well past thirty characters";
        QTest::newRow("ID3v1 cut to 30, trailing spaces dropped, still wins")
            << std::optional(Tag{longTitle, "Artist   ", "Album"})
            << std::optional(Tag{longTitle, "Full", "Full"}) << 4 << E::Utf8
            << QStringList{longTitle.left(30), "Artist", "Album"};
        QTest::newRow("blank ID3v1 gives way to ID3v2")
            << std::optional(Tag{}) << std::optional(v2) << 3 << E::Utf16 << v2Texts;
    }
    void texts() {
        QFETCH(std::optional<Tag>, v1);
        QFETCH(std::optional<Tag>, v2);
        QFETCH(int, v2Version);
        QFETCH(fixture::TextEncoding, v2Encoding);
        QFETCH(QStringList, expected);
        Mp3Params file;
        file.id3v1 = v1;
        file.id3v2 = v2;
        file.id3v2Version = v2Version;
        file.id3v2Encoding = v2Encoding;
        const QString path = dir_.filePath("tags.mp3");
        QVERIFY(fixture::writeMp3(path, file));
        const Mp3Info info = readMp3Info(path);
        QVERIFY(info.readable);
        compareTexts(info, expected[0], expected[1], expected[2]);
        QCOMPARE(info.duration, "00:00:03");
    }

    void apeTagWhenNoId3() {
        const QString path = dir_.filePath("ape.mp3");
        QVERIFY(fixture::writeMp3(path, params(Kind::VbrNoHeader, 128, 48000, 1000)));
        {
            TagLib::MPEG::File file(QFile::encodeName(path).constData());
            TagLib::APE::Tag* ape = file.APETag(true);
            ape->setTitle("Ape title");
            ape->setArtist("Ape artist");
            ape->setAlbum("Ape album");
            // Binary items (cover art) can hold anything, here 2.4 s of frames that are no
            // part of the stream.
            const QByteArray frames = fixture::mp3Bytes(params(Kind::Cbr, 128, 48000, 100));
            ape->setData("Cover Art (Front)",
                         TagLib::ByteVector(frames.constData(), unsigned(frames.size())));
            QVERIFY(file.save(TagLib::MPEG::File::APE));
        }
        const Mp3Info info = readMp3Info(path);
        compareTexts(info, "Ape title", "Ape artist", "Ape album");
        QCOMPARE(info.seconds, 24LL);
    }

    // Behind a 40 KB ID3v2 tag, and an APE tag of the first version (no header) whose cover art
    // holds frames: those are past the stream's end, however far the tag ahead of it reaches.
    void streamBetweenId3v2AndHeaderlessApeTag() {
        Mp3Params stream = params(Kind::VbrNoHeader, 128, 48000, 1000); // 24 s
        stream.id3v2 = Tag{QString(40000, 'x'), {}, {}};
        const QByteArray cover = fixture::mp3Bytes(params(Kind::Cbr, 128, 48000, 200));
        const auto le32 = [](quint32 v) {
            return QByteArray(reinterpret_cast<const char*>(&v), 4); // little-endian machine
        };
        const QByteArray item = le32(quint32(cover.size())) + le32(2) + "Cover" + '\0' + cover;
        const QByteArray footer = "APETAGEX" + le32(1000) + le32(quint32(item.size() + 32)) +
                                  le32(1) + le32(0) + QByteArray(8, '\0');
        const QString path = dir_.filePath("ape behind id3v2.mp3");
        QVERIFY(fixture::writeBytes(path, fixture::mp3Bytes(stream) + item + footer));
        QCOMPARE(readMp3Info(path).seconds, 24LL);
    }

    void pathWithQuotesAndNonAscii() {
        const QString path = dir_.filePath("It's \"Ünïcödé\" — 日本語.mp3");
        Mp3Params file = params(Kind::VbrXing, 128, 44100, 230);
        file.id3v2 = Tag{"Title", "Artist", "Album"};
        QVERIFY(fixture::writeMp3(path, file));
        const Mp3Info info = readMp3Info(path);
        QVERIFY(info.readable);
        compareTexts(info, "Title", "Artist", "Album");
        QCOMPARE(info.duration, "00:00:06");
    }
};

class UnreadableFiles : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    static void verifyUnreadable(const QString& path) {
        const Mp3Info info = readMp3Info(path);
        QVERIFY(!info.readable);
        compareTexts(info, "", "", "");
        QCOMPARE(info.seconds, 0LL);
        QCOMPARE(info.duration, "00:00:00");
    }

private slots:
    void emptyMissingOrDirectory() {
        QVERIFY(fixture::writeZeroBytes(dir_.filePath("zero.mp3")));
        verifyUnreadable(dir_.filePath("zero.mp3"));
        verifyUnreadable(dir_.filePath("missing.mp3"));
        QVERIFY(QDir(dir_.path()).mkdir("folder.mp3"));
        verifyUnreadable(dir_.filePath("folder.mp3"));
    }
    void randomBytes() {
        for (quint32 seed = 1; seed <= 20; ++seed) {
            const QString path = dir_.filePath(QString("random%1.mp3").arg(seed));
            QVERIFY(fixture::writeRandomBytes(path, 4096 * seed, seed));
            verifyUnreadable(path);
        }
    }
    void cutInsideTheId3v2Tag() {
        Mp3Params file;
        file.id3v2 = Tag{"Title", "Artist", "Album"};
        const QByteArray bytes = fixture::mp3Bytes(file);
        const QString path = dir_.filePath("cut.mp3");
        QVERIFY(fixture::writeBytes(path, bytes.left(8)));
        verifyUnreadable(path);

        // The title frame is whole: what TagLib reads of the tag is kept, with no playing time.
        QVERIFY(fixture::writeBytes(path, bytes.left(40)));
        const Mp3Info info = readMp3Info(path);
        QVERIFY(!info.readable);
        QCOMPARE(info.title, "Title");
        QCOMPARE(info.duration, "00:00:00");
    }
    void namedPipeDoesNotBlock() {
#ifdef Q_OS_UNIX
        const QString path = dir_.filePath("pipe.mp3");
        const QByteArray name = QFile::encodeName(path);
        QCOMPARE(::mkfifo(name.constData(), 0600), 0);
        auto reading = std::async(std::launch::async, [&] { return readMp3Info(path); });
        if (reading.wait_for(std::chrono::seconds(10)) == std::future_status::timeout) {
            // Opening the writing end lets the blocked reader see the end of the pipe.
            ::close(::open(name.constData(), O_WRONLY));
            QFAIL("reading a named pipe blocked");
        }
        QVERIFY(!reading.get().readable);
#else
        QSKIP("named pipes are a Unix matter");
#endif
    }
};

// Files of hundreds of megabytes or more: read in bounded memory, given up when asked to.
class LargeFiles : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    static qint64 peakKilobytes() {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return usage.ru_maxrss;
    }

    // A sparse file: gigabytes of zeros that take no room on the disk.
    bool growTo(const QString& path, qint64 size) {
        QFile file(path);
        return file.open(QIODevice::ReadWrite) && file.resize(size);
    }

private slots:
    // Zeros named .mp3, as from a disk image or a broken download, are not read through; nor
    // is a gigabyte of nothing behind a few frames.
    void gigabytesWithoutFramesAreNotReadThrough() {
        const QString zeros = dir_.filePath("zeros.mp3");
        QVERIFY(fixture::writeZeroBytes(zeros));
        QVERIFY(growTo(zeros, qint64(2) << 30));
        const QString tail = dir_.filePath("tail.mp3");
        QVERIFY(fixture::writeMp3(tail, params(Kind::VbrNoHeader, 128, 44100, 100))); // 2.6 s
        QVERIFY(growTo(tail, qint64(1) << 30));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!readMp3Info(zeros).readable);
        QCOMPARE(readMp3Info(tail).duration, "00:00:03");
        // The whole walk takes several seconds; a loaded machine may delay the stop a little.
        QVERIFY2(timer.elapsed() < 2500, qPrintable(QString::number(timer.elapsed())));
        QFile::remove(zeros);
        QFile::remove(tail);
    }

    void longHeaderlessStreamIsCountedInBoundedMemory() {
        const Mp3Params frames = params(Kind::VbrNoHeader, 128, 44100, 10000); // 6.3 MB, 261 s
        constexpr int copies = 24;
        const QString path = dir_.filePath("long.mp3");
        QVERIFY(fixture::writeRepeatedFrames(path, frames, copies));
        const qint64 before = peakKilobytes();
        const Mp3Info info = readMp3Info(path);
        QCOMPARE(info.seconds, std::llround(fixture::playingSeconds(frames) * copies));
        QVERIFY2(peakKilobytes() - before < 32 * 1024,
                 qPrintable(QString("%1 kB more").arg(peakKilobytes() - before)));
        QFile::remove(path);
    }

    // A constant bitrate with a gigabyte hole: a long search for the frames past the hole
    // while telling whether the bitrate is constant.
    void stopGivesUpAHugeFileSoon() {
        const QString path = dir_.filePath("huge.mp3");
        const QByteArray frames = fixture::mp3Bytes(params(Kind::Cbr, 128, 44100, 100));
        QVERIFY(fixture::writeBytes(path, frames));
        QVERIFY(growTo(path, qint64(1) << 30));
        QFile file(path);
        QVERIFY(file.open(QIODevice::Append) && file.write(frames) == frames.size());
        file.close();
        std::atomic<bool> stop = false;
        auto reading = std::async(std::launch::async,
                                  [&] { return readMp3Info(QFile::encodeName(path), stop); });
        const bool longWalk =
            reading.wait_for(std::chrono::milliseconds(300)) == std::future_status::timeout;
        stop = true;
        QElapsedTimer timer;
        timer.start();
        reading.wait();
        QVERIFY(longWalk);
        // The whole walk takes several seconds; a loaded machine may delay the stop a little.
        QVERIFY2(timer.elapsed() < 2500, qPrintable(QString::number(timer.elapsed())));
        QFile::remove(path);
    }
};

// The scan reads files through a few windows: whatever the order of the reads, each returns
// the file's own bytes, and reads past the end return what there is.
class WindowedReads : public QObject {
    Q_OBJECT

private slots:
    void readsReturnTheFilesBytes() {
        QTemporaryDir dir;
        QFile file(dir.filePath("bytes.bin"));
        QByteArray bytes(50000, '\0');
        QRandomGenerator random(3);
        for (char& byte : bytes)
            byte = char(random.bounded(256));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();

        const std::atomic<bool> never{false};
        ScanFile stream(QFile::encodeName(file.fileName()), never);
        QVERIFY(stream.isOpen());
        // Forwards, backwards from the end a block at a time, back to the head, jumps over
        // several windows, reads straddling window edges, and reads past the end.
        std::vector<std::pair<qint64, qint64>> reads = {{0, 10}, {10, 4000}, {4000, 200}};
        for (qint64 at = 49000; at >= 40000; at -= 1000)
            reads.push_back({at, 1000});
        for (int i = 0; i < 300; ++i)
            reads.push_back({random.bounded(52000), random.bounded(1, 9000)});
        reads.push_back({49990, 100});
        for (const auto& [offset, count] : reads) {
            QByteArray read(int(count), '\0');
            const qint64 got = stream.read(offset, read.data(), count);
            const QByteArray expected = bytes.mid(offset, count);
            QCOMPARE(got, qint64(expected.size()));
            QVERIFY2(read.left(int(got)) == expected,
                     qPrintable(QString("%1 bytes at %2").arg(count).arg(offset)));
        }
    }
};

class PlayingTimeText : public QObject {
    Q_OBJECT

private slots:
    void format_data() {
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0LL << "00:00:00";
        QTest::newRow("all fields") << 36000LL + 23 * 60 + 45 << "10:23:45";
        QTest::newRow("99 hours") << 99 * 3600LL + 59 * 60 + 59 << "99:59:59";
        QTest::newRow("100 hours") << 100 * 3600LL << "100:00:00";
        QTest::newRow("123:04:05") << 123 * 3600LL + 4 * 60 + 5 << "123:04:05";
        QTest::newRow("past 32-bit seconds") << 3000000000LL << "833333:20:00";
        QTest::newRow("negative") << -5LL << "00:00:00";
    }
    void format() {
        QFETCH(qint64, seconds);
        QFETCH(QString, text);
        QCOMPARE(formatPlayingTime(seconds), text);
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    PlayingTime playingTime;
    TagTexts tagTexts;
    UnreadableFiles unreadable;
    LargeFiles large;
    PlayingTimeText text;
    WindowedReads windowed;
    return runTestClasses(argc, argv,
                          {&playingTime, &tagTexts, &unreadable, &large, &text, &windowed});
}

#include "test_mp3info.moc"

#include "mp3info.h"

#include "countedlength.h"
#include "scanfile.h"

#include <QFile>

#include <apefooter.h>
#include <apetag.h>
#include <id3v1tag.h>
#include <id3v2framefactory.h>
#include <id3v2header.h>
#include <id3v2tag.h>
#include <mpegfile.h>
#include <mpegheader.h>
#include <mpegproperties.h>
#include <xingheader.h>

#include <algorithm>
#include <cmath>

namespace {

using TagLib::MPEG::Header;

// How far past an ID3v2 tag the first MPEG frame may lie: a file without one there is not an
// MP3, however large it is. And how far before the end (the tags there left out) the last
// frame may lie for TagLib to look for it.
constexpr long kFrameSearchBytes = 64 * 1024;
constexpr long kBlockBytes = 4095;
// Frames compared at the start of the stream, and points through it where one more frame is
// compared: a VBR file often opens with many frames of quiet at one low bitrate.
constexpr int kLeadingFramesProbed = 8;
constexpr int kStreamPointsProbed = 3;
// The average bitrates a Layer I-III stream can have, free format included (kbit/s).
constexpr double kLowestKbps = 7;
constexpr double kHighestKbps = 640;

// A TagLib file that reads nothing when it is made, so that TagLib's frame header parser can
// look at a stream without TagLib searching all of it for tags first.
class BareFile : public TagLib::File {
public:
    explicit BareFile(TagLib::IOStream* stream) : TagLib::File(stream) {}
    TagLib::Tag* tag() const override { return nullptr; }
    TagLib::AudioProperties* audioProperties() const override { return nullptr; }
    bool save() override { return false; }
};

QString toQString(const TagLib::String& text) {
    return QString::fromStdString(text.to8Bit(true));
}

bool namesSomething(const TagLib::Tag* tag) {
    return !tag->title().isEmpty() || !tag->artist().isEmpty() || !tag->album().isEmpty();
}

const TagLib::Tag* chosenTag(TagLib::MPEG::File& file) {
    if (file.hasID3v1Tag() && namesSomething(file.ID3v1Tag()))
        return file.ID3v1Tag();
    if (file.hasID3v2Tag() && namesSomething(file.ID3v2Tag()))
        return file.ID3v2Tag();
    if (file.hasAPETag())
        return file.APETag();
    return nullptr;
}

// Where the audio would start: behind an ID3v2 tag at the very start of the file, if any.
long audioStart(ScanFile& stream) {
    stream.seek(0);
    const TagLib::ByteVector head = stream.readBlock(TagLib::ID3v2::Header::size());
    if (!head.startsWith(TagLib::ID3v2::Header::fileIdentifier()))
        return 0;
    return long(TagLib::ID3v2::Header(head).completeTagSize());
}

// Where the first frame that TagLib accepts (its header and the next frame's agree) starts in
// [from, to), or -1. Read a block at a time: the frame is mostly right there. (TagLib's own
// search looks at each byte through a copy-on-write check, several times slower.)
long frameAt(ScanFile& stream, long from, long to) {
    BareFile file(&stream);
    for (long at = from; at < to; at += kBlockBytes) {
        stream.seek(at);
        // One byte more: a frame sync may straddle two blocks. (Together, no more than a read
        // window, so that the header checks then read from the same window.)
        const TagLib::ByteVector block = stream.readBlock(std::min(kBlockBytes, to - at) + 1);
        for (unsigned int i = 0; i + 1 < block.size(); ++i) {
            if (uchar(block[i]) == 0xff && (uchar(block[i + 1]) & 0xe0) == 0xe0 &&
                Header(&file, at + long(i), true).isValid())
                return at + long(i);
        }
    }
    return -1;
}

bool frameWithin(ScanFile& stream, long from, long to) {
    return frameAt(stream, from, to) >= 0;
}

// Whether a frame starts in the last kFrameSearchBytes before `end`, looking at the last block
// first: that is where TagLib then looks for the last frame, through the same window.
bool frameNearEnd(ScanFile& stream, long first, long end) {
    const long from = std::max(first, end - kFrameSearchBytes);
    const long lastBlock = std::max(from, end - kBlockBytes);
    return frameWithin(stream, lastBlock, end) || frameWithin(stream, from, lastBlock);
}

// End of the MPEG frames: the file less the tags TagLib found behind them.
long streamEnd(TagLib::MPEG::File& file) {
    long end = file.length();
    if (file.hasID3v1Tag())
        end -= 128;
    if (file.hasAPETag())
        end -= long(file.APETag()->footer()->completeTagSize());
    return end;
}

// Whether frames of different bitrates show up near the start or at a few points through the
// stream. Only a handful of 4-byte headers are read.
bool bitrateVaries(TagLib::MPEG::File& file, ScanFile& stream, long first, long end) {
    const int bitrate = Header(&file, first, false).bitrate();
    long offset = first;
    for (int i = 0; i < kLeadingFramesProbed && offset < end; ++i) {
        const Header header(&file, offset, false);
        if (!header.isValid() || header.frameLength() <= 0)
            break;
        if (header.bitrate() != bitrate)
            return true;
        offset += header.frameLength();
    }
    for (int i = 1; i <= kStreamPointsProbed; ++i) {
        const long at = frameAt(stream, first + (end - first) * i / (kStreamPointsProbed + 1), end);
        if (at < 0 || at >= end)
            continue;
        const Header header(&file, at, false);
        if (header.isValid() && header.bitrate() != bitrate)
            return true;
    }
    return false;
}

// Whether a Xing/Info/VBRI header can describe the stream it heads: its byte count is the
// stream's size give or take a frame (an interrupted copy is shorter), and its frame count
// spreads those bytes at a bitrate MPEG allows (a damaged count does not).
bool headerFits(const TagLib::MPEG::XingHeader& header, const Header& first, long streamBytes) {
    if (std::abs(streamBytes - long(header.totalSize())) > first.frameLength())
        return false;
    const double seconds =
        double(header.totalFrames()) * first.samplesPerFrame() / first.sampleRate();
    const double kbps = streamBytes * 8.0 / seconds / 1000;
    return kbps >= kLowestKbps && kbps <= kHighestKbps;
}

// Playing time in milliseconds, or -1 when the file holds no MPEG frames. TagLib's length
// where a header or a constant bitrate makes it exact; the frames counted otherwise.
double playingMilliseconds(TagLib::MPEG::File& file, ScanFile& stream) {
    const long first = file.firstFrameOffset();
    const long end = streamEnd(file);
    if (first < 0 || first >= end)
        return -1;
    // TagLib looks for the last frame from the end backwards, through all of a tail that holds
    // none; libmpg123 walks the frames forwards and stops where they stop.
    if (!frameNearEnd(stream, first, end))
        return countedMilliseconds(stream, first, end).value_or(-1);
    // Without a Xing/VBRI header TagLib takes the first frame's bitrate for the whole stream,
    // which is only right when the bitrate is constant: a stream whose bitrate varies is
    // counted without asking TagLib (which would walk back from the end for its last frame).
    const Header firstHeader(&file, first, false);
    stream.seek(first);
    const TagLib::MPEG::XingHeader xing(stream.readBlock(ulong(firstHeader.frameLength())));
    if (!xing.isValid() && bitrateVaries(file, stream, first, end))
        return countedMilliseconds(stream, first, end).value_or(-1);
    const TagLib::MPEG::Properties properties(&file);
    if (properties.sampleRate() <= 0)
        return -1;
    const TagLib::MPEG::XingHeader* header = properties.xingHeader();
    if (!header || headerFits(*header, firstHeader, end - first))
        return properties.lengthInMilliseconds();
    return countedMilliseconds(stream, first, end).value_or(-1);
}

} // namespace

Mp3Info readMp3Info(const QString& path) {
    const std::atomic<bool> never{false};
    return readMp3Info(QFile::encodeName(path), never);
}

Mp3Info readMp3Info(const QByteArray& localPath, const std::atomic<bool>& stop) {
    Mp3Info info;
    ScanFile stream(localPath, stop);
    if (!stream.isOpen())
        return info;
    const long start = audioStart(stream);
    const bool audio = frameWithin(stream, start, start + kFrameSearchBytes);
    // TagLib looks for an ID3v2 tag up to the first frame: with no frame, all through the file,
    // unless the tag opens it.
    if (!audio && start == 0)
        return info;
    TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
    if (!file.isValid())
        return info;

    if (const TagLib::Tag* tag = chosenTag(file)) {
        info.title = toQString(tag->title());
        info.artist = toQString(tag->artist());
        info.album = toQString(tag->album());
    }
    if (!audio)
        return info;

    const double milliseconds = playingMilliseconds(file, stream);
    if (milliseconds < 0)
        return info;
    info.readable = true;
    info.seconds = std::llround(milliseconds / 1000.0);
    info.duration = formatPlayingTime(info.seconds);
    return info;
}

QString formatPlayingTime(qint64 seconds) {
    seconds = std::max<qint64>(seconds, 0);
    const QLatin1Char zero('0');
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, zero)
        .arg(seconds / 60 % 60, 2, 10, zero)
        .arg(seconds % 60, 2, 10, zero);
}

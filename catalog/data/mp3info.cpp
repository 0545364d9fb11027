#include "mp3info.h"

#include <QFile>
#include <QFileInfo>

#include <apefooter.h>
#include <apetag.h>
#include <id3v1tag.h>
#include <id3v2framefactory.h>
#include <id3v2tag.h>
#include <mpegfile.h>
#include <mpegheader.h>
#include <mpegproperties.h>
#include <tbytevectorstream.h>
#include <tfilestream.h>

#include <algorithm>
#include <cmath>

namespace {

using TagLib::MPEG::Header;

// Frames compared at the start of the stream, and points through it where one more frame is
// compared: a VBR file often opens with many frames of quiet at one low bitrate.
constexpr int kLeadingFramesProbed = 8;
constexpr int kStreamPointsProbed = 3;

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
bool bitrateVaries(TagLib::MPEG::File& file, long first, long end) {
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
        const long at = file.nextFrameOffset(first + (end - first) * i / (kStreamPointsProbed + 1));
        if (at < 0 || at >= end)
            continue;
        const Header header(&file, at, false);
        if (header.isValid() && header.bitrate() != bitrate)
            return true;
    }
    return false;
}

// Sums the playing time of every whole frame in [first, end). The stream is read once into
// memory so that the walk does not seek the disk for every 4-byte header.
double countedMilliseconds(TagLib::MPEG::File& file, long first, long end) {
    file.seek(first);
    TagLib::ByteVectorStream memory(file.readBlock(size_t(end - first)));
    TagLib::MPEG::File frames(&memory, TagLib::ID3v2::FrameFactory::instance(), false);
    const long size = memory.length();

    double milliseconds = 0;
    long offset = 0;
    while (offset >= 0 && offset + 4 <= size) {
        const Header header(&frames, offset, false);
        if (!header.isValid() || header.frameLength() <= 0 || header.sampleRate() <= 0) {
            offset = frames.nextFrameOffset(offset + 1); // skip junk between frames
            continue;
        }
        if (offset + header.frameLength() > size)
            break; // a cut-off last frame
        milliseconds += header.samplesPerFrame() * 1000.0 / header.sampleRate();
        offset += header.frameLength();
    }
    return milliseconds;
}

// Playing time in milliseconds, or -1 when the file holds no MPEG frames.
double playingMilliseconds(TagLib::MPEG::File& file) {
    const TagLib::MPEG::Properties* properties = file.audioProperties();
    if (!properties || properties->sampleRate() <= 0)
        return -1;
    if (properties->xingHeader())
        return properties->lengthInMilliseconds();

    // Without a Xing/VBRI header TagLib takes the first frame's bitrate for the whole stream,
    // which is only right when the bitrate is constant.
    const long first = file.firstFrameOffset();
    const long end = streamEnd(file);
    if (first < 0 || first >= end || !bitrateVaries(file, first, end))
        return properties->lengthInMilliseconds();
    return countedMilliseconds(file, first, end);
}

} // namespace

Mp3Info readMp3Info(const QString& path) {
    Mp3Info info;
    // A directory or a named pipe must not reach fopen(): a pipe would block the scan.
    if (!QFileInfo(path).isFile())
        return info;

#ifdef Q_OS_WIN
    TagLib::FileStream stream(reinterpret_cast<const wchar_t*>(path.utf16()), true);
#else
    const QByteArray name = QFile::encodeName(path);
    TagLib::FileStream stream(name.constData(), true);
#endif
    if (!stream.isOpen())
        return info;
    TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), true);
    if (!file.isValid())
        return info;

    if (const TagLib::Tag* tag = chosenTag(file)) {
        info.title = toQString(tag->title());
        info.artist = toQString(tag->artist());
        info.album = toQString(tag->album());
    }

    const double milliseconds = playingMilliseconds(file);
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

#include "mp3fixture.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <cstring>
#include <random>

namespace fixture {
namespace {

constexpr int kXingFlagFrames = 0x1;
constexpr int kXingFlagBytes = 0x2;

// What sets MPEG-1 apart from the later, half-rate MPEG-2 and MPEG-2.5 in a Layer III stream.
struct MpegVersion {
    int headerBits;                 // the version field of a frame header
    std::array<int, 3> sampleRates; // by sample-rate index
    int samplesPerFrame;            // a frame is samplesPerFrame / 8 * bitrate / rate bytes
    std::array<int, 15> bitrates;   // by bitrate index; 0 (free format) is not written
    std::array<int, 4> vbrCycle;    // the bitrates VBR frames cycle through
    int sideInfoBytes(bool mono) const {
        return samplesPerFrame == 1152 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    }
};

constexpr std::array<int, 15> kHalfRateBitrates{0,  8,  16, 24,  32,  40,  48, 56,
                                                64, 80, 96, 112, 128, 144, 160};
constexpr std::array<MpegVersion, 3> kVersions{{
    {3,
     {44100, 48000, 32000},
     1152,
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
     {64, 128, 256, 320}},
    {2, {22050, 24000, 16000}, 576, kHalfRateBitrates, {32, 64, 128, 160}},
    {0, {11025, 12000, 8000}, 576, kHalfRateBitrates, {32, 64, 128, 160}},
}};

const MpegVersion* versionOf(int sampleRate) {
    for (const MpegVersion& version : kVersions)
        if (std::find(version.sampleRates.begin(), version.sampleRates.end(), sampleRate) !=
            version.sampleRates.end())
            return &version;
    return nullptr;
}

int sampleRateIndex(const MpegVersion& version, int hz) {
    return int(std::find(version.sampleRates.begin(), version.sampleRates.end(), hz) -
               version.sampleRates.begin());
}

int bitrateIndex(const MpegVersion& version, int kbps) {
    const auto it = std::find(version.bitrates.begin() + 1, version.bitrates.end(), kbps);
    return it == version.bitrates.end() ? -1 : int(it - version.bitrates.begin());
}

bool valid(const Mp3Params& p) {
    const MpegVersion* version = versionOf(p.sampleRate);
    return version && bitrateIndex(*version, p.bitrateKbps) > 0 && p.frames >= 0 &&
           p.leadInFrames >= 0 && (p.id3v2Version == 3 || p.id3v2Version == 4);
}

void putBigEndian32(char* at, quint32 value) {
    at[0] = char(value >> 24);
    at[1] = char(value >> 16);
    at[2] = char(value >> 8);
    at[3] = char(value);
}

quint32 syncSafe(quint32 value) {
    return (value & 0x7f) | ((value << 1) & 0x7f00) | ((value << 2) & 0x7f0000) |
           ((value << 3) & 0x7f000000);
}

// Appends frames of silence. A frame holds samples / 8 * bitrate / sample rate bytes; where that
// is not whole (44.1 kHz) the padding bit adds the missing byte often enough that the stream
// keeps the nominal bitrate, as encoders do.
class FrameWriter {
public:
    FrameWriter(QByteArray& out, int sampleRate, bool mono)
        : out_(out), version_(*versionOf(sampleRate)), sampleRate_(sampleRate), mono_(mono) {}

    int sideInfoBytes() const { return version_.sideInfoBytes(mono_); }
    int vbrBitrate(int i) const { return version_.vbrCycle[size_t(i) % version_.vbrCycle.size()]; }

    // Returns the frame's length in bytes.
    int append(int kbps) {
        const int bytesPerKbps = version_.samplesPerFrame / 8 * 1000;
        const int nominal = bytesPerKbps * kbps / sampleRate_;
        padRemainder_ += bytesPerKbps * kbps % sampleRate_;
        const bool padded = padRemainder_ >= sampleRate_;
        if (padded)
            padRemainder_ -= sampleRate_;
        const int length = nominal + (padded ? 1 : 0);

        const qsizetype start = out_.size();
        out_.append(length, '\0');
        char* h = out_.data() + start;
        h[0] = char(0xff);
        h[1] = char(0xe3 | version_.headerBits << 3); // Layer III, no CRC
        h[2] = char(bitrateIndex(version_, kbps) << 4 |
                    sampleRateIndex(version_, sampleRate_) << 2 | (padded ? 0x2 : 0));
        h[3] = char(mono_ ? 0xc0 : 0x00);
        return length;
    }

private:
    QByteArray& out_;
    const MpegVersion& version_;
    int sampleRate_;
    bool mono_;
    int padRemainder_ = 0;
};

QByteArray id3v2Text(const QString& text, TextEncoding encoding) {
    QByteArray data;
    switch (encoding) {
    case TextEncoding::Latin1:
        data.append('\0');
        data.append(text.toLatin1());
        break;
    case TextEncoding::Utf16:
        data.append('\1');
        data.append("\xff\xfe", 2); // little-endian byte order mark
        for (const QChar c : text) {
            data.append(char(c.unicode() & 0xff));
            data.append(char(c.unicode() >> 8));
        }
        break;
    case TextEncoding::Utf8:
        data.append('\3');
        data.append(text.toUtf8());
        break;
    }
    return data;
}

QByteArray id3v2Tag(const Tag& tag, int version, TextEncoding encoding) {
    constexpr int kPadding = 64; // taggers leave room to grow the tag in place
    QByteArray frames;
    const auto addFrame = [&](const char* id, const QString& text) {
        if (text.isEmpty())
            return;
        const QByteArray payload = id3v2Text(text, encoding);
        char header[10] = {};
        std::memcpy(header, id, 4);
        const auto size = quint32(payload.size());
        putBigEndian32(header + 4, version == 4 ? syncSafe(size) : size);
        frames.append(header, sizeof header);
        frames.append(payload);
    };
    addFrame("TIT2", tag.title);
    addFrame("TPE1", tag.artist);
    addFrame("TALB", tag.album);
    frames.append(kPadding, '\0');

    QByteArray out("ID3", 3);
    out.append(char(version));
    out.append('\0'); // revision
    out.append('\0'); // flags
    out.append(4, '\0');
    putBigEndian32(out.data() + 6, syncSafe(quint32(frames.size())));
    out.append(frames);
    return out;
}

QByteArray id3v1Tag(const Tag& tag) {
    QByteArray out(128, '\0');
    std::memcpy(out.data(), "TAG", 3);
    const auto put = [&](int offset, const QString& text) {
        const QByteArray latin1 = text.toLatin1().left(30);
        std::memcpy(out.data() + offset, latin1.constData(), size_t(latin1.size()));
    };
    put(3, tag.title);
    put(33, tag.artist);
    put(63, tag.album);
    out[127] = char(0xff); // no genre
    return out;
}

struct FrameSpan {
    qsizetype offset = -1;
    int length = 0;
};

// Builds the file; `mark`, if given, receives where audio frame `markFrame` lies.
QByteArray build(const Mp3Params& p, int markFrame = -1, FrameSpan* mark = nullptr) {
    if (!valid(p))
        return {};

    QByteArray out;
    out.reserve(qsizetype(p.frames + 1) * (144000 * 320 / 32000 + 1) + 1024);
    if (p.id3v2)
        out.append(id3v2Tag(*p.id3v2, p.id3v2Version, p.id3v2Encoding));

    FrameWriter writer(out, p.sampleRate, p.mono);
    const qsizetype streamStart = out.size();
    if (p.kind == Mp3Params::Kind::VbrXing) {
        writer.append(p.bitrateKbps);
        char* xing = out.data() + streamStart + 4 + writer.sideInfoBytes();
        std::memcpy(xing, "Xing", 4);
        putBigEndian32(xing + 4, kXingFlagFrames | kXingFlagBytes);
        putBigEndian32(xing + 8, p.xingFrames.value_or(quint32(p.frames)));
        // The byte count is known once all frames are written.
    }

    for (int i = 0; i < p.frames; ++i) {
        int kbps = p.bitrateKbps;
        if (p.kind != Mp3Params::Kind::Cbr && i >= p.leadInFrames)
            kbps = writer.vbrBitrate(i - p.leadInFrames);
        const qsizetype offset = out.size();
        const int length = writer.append(kbps);
        if (i == markFrame && mark)
            *mark = {offset, length};
    }

    if (p.kind == Mp3Params::Kind::VbrXing) {
        char* xing = out.data() + streamStart + 4 + writer.sideInfoBytes();
        putBigEndian32(xing + 12, quint32(out.size() - streamStart));
    }
    if (p.id3v1)
        out.append(id3v1Tag(*p.id3v1));
    return out;
}

} // namespace

QByteArray mp3Bytes(const Mp3Params& params) {
    return build(params);
}

bool writeMp3(const QString& path, const Mp3Params& params) {
    const QByteArray bytes = build(params);
    return !bytes.isEmpty() && writeBytes(path, bytes);
}

double playingSeconds(const Mp3Params& params) {
    const MpegVersion* version = versionOf(params.sampleRate);
    return version ? double(params.frames) * version->samplesPerFrame / params.sampleRate : 0;
}

bool writeZeroBytes(const QString& path) {
    return writeBytes(path, {});
}

bool writeTruncated(const QString& path, const Mp3Params& params, int wholeFrames) {
    if (params.frames < 1)
        return false;
    FrameSpan cut;
    const QByteArray bytes = build(params, std::clamp(wholeFrames, 0, params.frames - 1), &cut);
    if (cut.offset < 0)
        return false;
    return writeBytes(path, bytes.left(cut.offset + cut.length / 2));
}

bool writeRepeatedFrames(const QString& path, const Mp3Params& params, int copies) {
    Mp3Params untagged = params;
    untagged.id3v1.reset();
    untagged.id3v2.reset();
    const QByteArray frames = build(untagged);
    QFile file(path);
    if (frames.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    for (int i = 0; i < copies; ++i)
        if (file.write(frames) != frames.size())
            return false;
    return file.flush();
}

bool writeRandomBytes(const QString& path, qint64 size, quint32 seed) {
    std::mt19937 generator(seed);
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    for (char& b : bytes)
        b = char(generator() & 0xff);
    return writeBytes(path, bytes);
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes) == bytes.size() && file.flush();
}

} // namespace fixture

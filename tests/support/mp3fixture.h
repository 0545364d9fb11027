#pragma once

// Writes small but real MPEG Layer III files for tests and benchmarks. Every audio frame is
// silence (zeroed side information, no main data), which decoders accept, so the playing time
// of a file is known exactly: frames * samples a frame / sample rate, with 1152 samples a frame
// for MPEG-1 and 576 for MPEG-2 and MPEG-2.5.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace fixture {

struct Tag {
    QString title, artist, album;
};

enum class TextEncoding { Latin1, Utf16, Utf8 };

struct Mp3Params {
    enum class Kind {
        Cbr,        // every frame at bitrateKbps
        VbrXing,    // a Xing frame (frame and byte counts) ahead of frames of varying bitrate
        VbrNoHeader // frames of varying bitrate and nothing that says so
    };
    Kind kind = Kind::Cbr;
    int bitrateKbps = 128; // CBR frames, the Xing frame and any VBR lead-in
    // MPEG-1 at 32000, 44100 or 48000; MPEG-2 at 16000, 22050 or 24000; MPEG-2.5 at 8000,
    // 11025 or 12000.
    int sampleRate = 44100;
    int frames = 120; // audio frames, the Xing frame not counted (120 at 44.1 kHz: 3.13 s)
    bool mono = false;
    // VBR only: frames at bitrateKbps before the bitrates start to cycle through
    // 64/128/256/320 kbps (MPEG-1) or 32/64/128/160 kbps, as a quiet intro of a real VBR file
    // does.
    int leadInFrames = 0;
    // Xing only: the frame count the header claims, where it is to lie.
    std::optional<quint32> xingFrames;
    std::optional<Tag> id3v1; // Latin-1, each text cut to 30 bytes
    std::optional<Tag> id3v2; // TIT2/TPE1/TALB; empty texts leave their frame out
    int id3v2Version = 4;     // 3 or 4
    TextEncoding id3v2Encoding = TextEncoding::Utf8;
};

// The whole file; empty if the parameters are not a valid MPEG Layer III stream.
QByteArray mp3Bytes(const Mp3Params& params);
bool writeMp3(const QString& path, const Mp3Params& params);

// Exact playing time of the audio frames.
double playingSeconds(const Mp3Params& params);

// Files a catalogue scan must survive.
bool writeZeroBytes(const QString& path);
// The file of `params` cut halfway through the audio frame after `wholeFrames` complete ones
// (clamped to the last frame); any ID3v1 tag is lost with the cut.
bool writeTruncated(const QString& path, const Mp3Params& params, int wholeFrames);
// The audio frames of `params` (tags left out) `copies` times over, written a copy at a time:
// a long stream that plays `copies` times as long, without ever being whole in memory.
bool writeRepeatedFrames(const QString& path, const Mp3Params& params, int copies);
// Deterministic for a given seed.
bool writeRandomBytes(const QString& path, qint64 size, quint32 seed);

bool writeBytes(const QString& path, const QByteArray& bytes);

} // namespace fixture

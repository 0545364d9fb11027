#pragma once

#include <QtGlobal>

#include <optional>

class ScanFile;

// The exact playing time, in milliseconds, of the MPEG audio frames in bytes [begin, end) of
// `file`, by libmpg123's walk over every frame: for streams whose headers cannot tell it
// (VBR without a Xing/VBRI header, or one that does not fit the stream). Reads the bytes once,
// in bounded memory. Nothing when no frame is found there, or when the file was stopped.
std::optional<double> countedMilliseconds(ScanFile& file, qint64 begin, qint64 end);

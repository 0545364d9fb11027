// "Catalog search": tracks by file name or by tags, or directories by name, one line a hit.

#include "catalogdb.h"
#include "cataloglists.h"
#include "catalogsearch.h"
#include "clicommon.h"
#include "commands.h"
#include "listloading.h"
#include "trackpaths.h"

#include <QHash>

namespace {

void defineSearch(QCommandLineParser& parser) {
    cli::addCatalogueOption(parser);
    parser.addOption({"dirs", "Find directories by name instead of tracks."});
    parser.addOption({"tags", "Find tracks by title, artist or album instead of file name."});
    parser.addPositionalArgument("TEXT", "Part of the name or tag, in any case.");
}

// A tab or line break inside a value would split its line.
QString field(QString value) {
    for (QChar& c : value)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return value;
}

// Disk name, drive, full path, title, artist, album, duration.
void writeHit(const DiskRecord& disk, const QString& path, const TrackRecord& track = {}) {
    const QStringList fields = {disk.DiskName, disk.Drive,  path,          track.Title,
                                track.Artist,  track.Album, track.Duration};
    QStringList cleaned;
    for (const QString& value : fields)
        cleaned << field(value);
    cli::writeOut(cleaned.join('\t') + '\n');
}

template <typename Record, typename Id>
QHash<qint32, const Record*> byId(const std::vector<Record>& list, Id id) {
    QHash<qint32, const Record*> index;
    index.reserve(static_cast<qsizetype>(list.size()));
    for (const Record& record : list)
        if (id(record) != 0)
            index.insert(id(record), &record);
    return index;
}

int runSearch(const QCommandLineParser& parser) {
    if (parser.isSet("dirs") && parser.isSet("tags"))
        throw cli::UsageError("Choose --dirs or --tags, not both.");
    const QString text = cli::operands(parser, 1, "The text to search for (TEXT)").constFirst();
    const auto connection = cli::openCatalogue(parser, false);
    CatalogLists lists;
    LoadCatalog(connection->db(), lists);
    const auto disks = byId(lists.disks, [](const DiskRecord& r) { return r.DiskID; });
    const auto dirs = byId(lists.dirs, [](const DirRecord& r) { return r.DirID; });
    const DiskRecord noDisk;
    const auto diskOf = [&](qint32 id) -> const DiskRecord& {
        const DiskRecord* disk = disks.value(id);
        return disk ? *disk : noDisk;
    };

    if (parser.isSet("dirs")) {
        for (const qint32 i : searchDirNames(lists.dirs, text)) {
            const DirRecord& dir = lists.dirs[i];
            const DiskRecord& disk = diskOf(dir.DiskID);
            writeHit(disk, fullDirPath(disk.Drive, dir.DirName));
        }
        return cli::ExitOk;
    }
    const std::vector<qint32> found = parser.isSet("tags") ? searchTrackTags(lists.tracks, text)
                                                           : searchTrackNames(lists.tracks, text);
    for (const qint32 i : found) {
        const TrackRecord& track = lists.tracks[i];
        const DiskRecord& disk = diskOf(track.DiskID);
        const DirRecord* dir = dirs.value(track.DirID);
        writeHit(disk, fullTrackPath(disk.Drive, dir ? dir->DirName : QString(), track.TrackName),
                 track);
    }
    return cli::ExitOk;
}

} // namespace

namespace cli {
const Command searchCommand = {"search", "Find tracks by file name or tags, or directories.",
                               defineSearch, runSearch};
} // namespace cli

// "Catalog export": the catalogue, or one disk, as CSV or as an M3U play list.

#include "catalogdb.h"
#include "clicommon.h"
#include "commands.h"
#include "csv.h"
#include "trackpaths.h"

namespace {

const QStringList csvHeader = {"DiskName", "Drive", "DirName",  "TrackName", "Title",
                               "Artist",   "Album", "Duration", "Path"};

void defineExport(QCommandLineParser& parser) {
    cli::addCatalogueOption(parser);
    parser.addOption({"disk", "Only the disk of this name.", "NAME"});
    parser.addOption(
        {"format", "csv (one row a track, with a header row) or m3u (full paths).", "FORMAT"});
}

// Every track in catalogue order, with its disk and directory; a track whose directory row
// is gone still appears.
QSqlQuery tracks(const QSqlDatabase& db, const QString& diskName) {
    QString statement = "SELECT Disks.DiskName, Disks.Drive, Dirs.DirName, Tracks.TrackName, "
                        "Tracks.Title, Tracks.Artist, Tracks.Album, Tracks.Duration "
                        "FROM Tracks LEFT JOIN Dirs ON Dirs.DirID = Tracks.DirID "
                        "LEFT JOIN Disks ON Disks.DiskID = Tracks.DiskID";
    QVariantList values;
    if (!diskName.isNull()) {
        statement += " WHERE Disks.DiskName = ?";
        values << diskName;
    }
    return catalogdb::run(db, statement + " ORDER BY Tracks.DiskID, Tracks.TrackID", values);
}

void requireDisk(const QSqlDatabase& db, const QString& name) {
    QSqlQuery found = catalogdb::run(db, "SELECT 1 FROM Disks WHERE DiskName = ?", {name});
    if (!found.next())
        throw cli::Failure(
            QStringLiteral("There is no disk named \"%1\" in the catalogue.").arg(name));
}

int runExport(const QCommandLineParser& parser) {
    const QString format = cli::requiredValue(parser, "format").toLower();
    if (format != "csv" && format != "m3u")
        throw cli::UsageError(QStringLiteral("Unknown format %1: use csv or m3u.").arg(format));
    cli::operands(parser, 0, {});
    const auto connection = cli::openCatalogue(parser, false);
    const QString diskName = parser.isSet("disk") ? parser.value("disk") : QString();
    if (!diskName.isNull())
        requireDisk(connection->db(), diskName);
    QSqlQuery rows = tracks(connection->db(), diskName);
    if (format == "csv")
        cli::writeOut(csvRecord(csvHeader));
    int leftOut = 0;
    while (rows.next()) {
        QStringList fields;
        for (int column = 0; column < 8; ++column)
            fields << rows.value(column).toString();
        const QString path = fullTrackPath(fields[1], fields[2], fields[3]);
        if (format == "csv")
            cli::writeOut(csvRecord(fields << path));
        else if (fitsPlayListLine(path))
            cli::writeOut(path + '\n');
        else
            ++leftOut;
    }
    if (leftOut > 0)
        throw cli::Failure(QStringLiteral("%1 track(s) left out of the play list: a path holding "
                                          "a line break cannot be one line of it.")
                               .arg(leftOut));
    return cli::ExitOk;
}

} // namespace

namespace cli {
const Command exportCommand = {"export", "Write the catalogue as CSV or an M3U play list.",
                               defineExport, runExport};
} // namespace cli

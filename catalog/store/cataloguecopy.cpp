#include "cataloguecopy.h"

#include "catalogdb.h"
#include "catalogengine.h"
#include "rowreader.h"
#include "rowwriter.h"

#include <QStringList>
#include <QVariantList>

namespace {

// A table to copy: its columns, and what each holds (i: integer, t: text, b: bytes).
struct CopiedTable {
    const char* name;
    QStringList columns;
    const char* kinds;
};

const CopiedTable copiedTables[] = {
    {"Disks", {"DiskID", "DiskName", "Drive"}, "itt"},
    {"Dirs", {"DirID", "DiskID", "DirName"}, "iit"},
    {"Tracks",
     {"TrackID", "DirID", "DiskID", "Title", "TrackName", "Duration", "Artist", "Album"},
     "iiittttt"},
    {"DirNameBytes", {"DirID", "Bytes"}, "ib"},
    {"TrackNameBytes", {"TrackID", "Bytes"}, "ib"},
    {"DiskVolumes", {"DiskID", "Label", "Uuid", "FileSystem", "Capacity", "ScannedAt"}, "itttit"},
};

QVariant cell(const RowReader& rows, int column, char kind) {
    switch (kind) {
    case 'i':
        return rows.integer64(column);
    case 'b':
        return rows.blob(column);
    default:
        return rows.text(column);
    }
}

// Copies one table's rows in the order of their identifiers; returns how many.
qint64 copyTable(const QSqlDatabase& source, const QSqlDatabase& target, const CopiedTable& table) {
    const QString name = QString::fromLatin1(table.name);
    if (!source.tables().contains(name, Qt::CaseInsensitive))
        return 0; // an older file without the program's own tables
    const auto rows = catalogengine::forConnection(source).rows(
        source, QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                    .arg(table.columns.join(", "), name, table.columns.first()));
    const auto writer = catalogengine::forConnection(target).rowWriter(target, name, table.columns);
    qint64 count = 0;
    QVariantList values;
    while (rows->next()) {
        values.clear();
        for (int c = 0; c < table.columns.size(); ++c)
            values << cell(*rows, c, table.kinds[c]);
        writer->add(values);
        ++count;
    }
    writer->flush();
    return count;
}

qint64 disksIn(const QSqlDatabase& db) {
    QSqlQuery q = catalogdb::run(db, "SELECT COUNT(*) FROM Disks");
    return q.next() ? q.value(0).toLongLong() : 0;
}

void open(CatalogConnection& connection) {
    if (!connection.isOpen())
        throw CatalogError(connection.lastError());
}

} // namespace

namespace cataloguecopy {

Copied copy(const QString& from, const QString& to, Target target) {
    if (from == to)
        throw CatalogError(QStringLiteral("A catalogue cannot be copied into itself."));
    if (!catalogdb::holdsCatalogue(from))
        throw CatalogError(
            QStringLiteral("There is no catalogue at %1.").arg(catalogengine::displayName(from)));
    for (const QString& location : {from, to})
        if (const catalogdb::Preparation prepared = catalogdb::prepare(location); !prepared.ok)
            throw CatalogError(prepared.error);
    CatalogConnection source(from, "copy-from");
    CatalogConnection destination(to, "copy-to");
    open(source);
    open(destination);
    const QSqlDatabase in = source.db();
    const QSqlDatabase out = destination.db();
    Transaction reading(in, Transaction::Mode::Snapshot);
    Transaction writing(out, Transaction::Mode::Immediate);
    const qint64 held = disksIn(out);
    if (held > 0 && target == Target::MustBeEmpty)
        throw CatalogError(
            QStringLiteral("The catalogue %1 holds %2 already: give "
                           "--replace to replace them with the copy.")
                .arg(catalogengine::displayName(to),
                     held == 1 ? QStringLiteral("1 disk") : QStringLiteral("%1 disks").arg(held)));
    for (const CopiedTable& table : copiedTables)
        if (out.tables().contains(QString::fromLatin1(table.name), Qt::CaseInsensitive))
            catalogdb::run(out, QStringLiteral("DELETE FROM %1").arg(table.name));
    Copied copied;
    copied.disks = copyTable(in, out, copiedTables[0]);
    copied.directories = copyTable(in, out, copiedTables[1]);
    copied.tracks = copyTable(in, out, copiedTables[2]);
    for (size_t t = 3; t < std::size(copiedTables); ++t)
        copyTable(in, out, copiedTables[t]);
    catalogengine::forConnection(out).resumeCounters(out);
    catalogengine::forConnection(out).refreshStatistics(out);
    writing.commit();
    return copied;
}

} // namespace cataloguecopy

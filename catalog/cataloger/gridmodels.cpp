#include "gridmodels.h"

#include "catalogdb.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

RecordSourceModel::RecordSourceModel(const QStringList& columns, QObject* parent)
    : QSqlQueryModel(parent), m_columns(columns) {}

void RecordSourceModel::refresh() {
    if (!m_db.isValid() || !m_db.isOpen() || m_recordSource.isEmpty()) {
        clear();
        return;
    }
    const bool isTable = !m_recordSource.contains(' ');
    const QString from = isTable ? m_recordSource : "(" + m_recordSource + ")";
    setQuery(QStringLiteral("SELECT %1 FROM %2").arg(m_columns.join(", "), from), m_db);
}

void RecordSourceModel::unbind() {
    clear();
    m_db = QSqlDatabase();
}

std::optional<qint64> RecordSourceModel::id(int row, const QString& column) const {
    if (row < 0 || row >= rowCount())
        return std::nullopt;
    const QVariant value = record(row).value(column);
    bool ok = false;
    const qint64 id = value.toLongLong(&ok);
    return ok ? std::optional<qint64>(id) : std::nullopt;
}

QString RecordSourceModel::text(int row, const QString& column) const {
    return record(row).value(column).toString();
}

QVariant RecordSourceModel::data(const QModelIndex& index, int role) const {
    return QSqlQueryModel::data(index, role == Qt::ToolTipRole ? Qt::DisplayRole : role);
}

// The columns as they are spelled here: a server gives their names in lower case.
QVariant RecordSourceModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < m_columns.size())
        return m_columns[section];
    return QSqlQueryModel::headerData(section, orientation, role);
}

DiskGridModel::DiskGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void DiskGridModel::refresh() {
    std::vector<Row> rows;
    m_bound = m_db.isValid() && m_db.isOpen();
    if (m_bound) {
        QSqlQuery q(m_db);
        q.setForwardOnly(true);
        if (q.exec("SELECT DiskID, DiskName, Drive FROM Disks")) {
            while (q.next())
                rows.push_back(
                    {q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString()});
        } else {
            Q_EMIT failed(q.lastError().text());
        }
    }
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void DiskGridModel::unbind() {
    m_db = QSqlDatabase();
    refresh();
}

std::optional<qint64> DiskGridModel::diskId(int row) const {
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return std::nullopt;
    return m_rows[row].id;
}

QString DiskGridModel::diskName(int row) const {
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return {};
    return m_rows[row].name;
}

QString DiskGridModel::drive(int row) const {
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return {};
    return m_rows[row].drive;
}

int DiskGridModel::rowOf(qint64 diskId) const {
    for (size_t row = 0; row < m_rows.size(); ++row)
        if (m_rows[row].id == diskId)
            return static_cast<int>(row);
    return -1;
}

int DiskGridModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    return static_cast<int>(m_rows.size()) + (m_bound ? 1 : 0);
}

int DiskGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DiskGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || isNewRowLine(index.row()))
        return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole)
        return {};
    const Row& row = m_rows[index.row()];
    switch (index.column()) {
    case DiskIdColumn:
        return row.id;
    case DiskNameColumn:
        return row.name;
    case DriveColumn:
        return row.drive;
    }
    return {};
}

QVariant DiskGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return isNewRowLine(section) ? QVariant("*") : QVariant(section + 1);
    static const char* const names[] = {"DiskID", "DiskName", "Drive"};
    return section >= 0 && section < ColumnCount ? QVariant(names[section]) : QVariant();
}

Qt::ItemFlags DiskGridModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() != DiskIdColumn)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool DiskGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || index.column() == DiskIdColumn)
        return false;
    const QString text = value.toString();
    if (isNewRowLine(index.row()) && text.isEmpty())
        return false; // leaving the new-row line empty stores nothing
    return store(index.row(), index.column(), text);
}

// The typed field, and the other one from the volume the disk is typed for. A drive typed
// for another volume takes no name from the current one.
DiskGridModel::Row DiskGridModel::newRow(int column, const QString& text) const {
    const NewDiskDefaults defaults = newDiskDefaults ? newDiskDefaults() : NewDiskDefaults();
    if (column == DiskNameColumn)
        return {0, text, defaults.drive};
    return {0, text == defaults.drive ? defaults.name : QString(), text};
}

bool DiskGridModel::store(int row, int column, const QString& text) {
    const QString field = column == DiskNameColumn ? "DiskName" : "Drive";
    try {
        if (isNewRowLine(row)) {
            Row added = newRow(column, text);
            // A field nothing was given for stays NULL, as a line typed in one column always did.
            const auto orNull = [](const QString& text) {
                return text.isEmpty() ? QVariant() : QVariant(text);
            };
            QSqlQuery q = catalogdb::run(m_db, "INSERT INTO Disks (DiskName, Drive) VALUES (?, ?)",
                                         {orNull(added.name), orNull(added.drive)});
            added.id = q.lastInsertId().toLongLong();
            beginInsertRows({}, row + 1, row + 1);
            m_rows.push_back(added);
            endInsertRows();
            // The new row takes the place of the new-row line, which moves down one.
            Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
            Q_EMIT headerDataChanged(Qt::Vertical, row, row + 1);
            return true;
        }
        catalogdb::run(m_db, QStringLiteral("UPDATE Disks SET %1=? WHERE DiskID=?").arg(field),
                       {text, m_rows[row].id});
    } catch (const CatalogError& e) {
        Q_EMIT failed(catalogdb::plainMessage(m_db.databaseName(), e));
        return false;
    }
    (column == DiskNameColumn ? m_rows[row].name : m_rows[row].drive) = text;
    Q_EMIT dataChanged(index(row, column), index(row, column));
    return true;
}

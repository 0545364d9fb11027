#pragma once

#include <QAbstractTableModel>
#include <QSqlDatabase>
#include <QSqlQueryModel>
#include <functional>
#include <optional>
#include <vector>

// A read-only grid source bound to a record source: a table name or a statement. The grid
// shows the named columns, in the given order, whatever order the source returns them in.
// Rows are fetched as the view scrolls, so a large table costs nothing until it is looked at.
class RecordSourceModel : public QSqlQueryModel {
    Q_OBJECT
public:
    RecordSourceModel(const QStringList& columns, QObject* parent = nullptr);

    void setDatabase(const QSqlDatabase& db) { m_db = db; }
    QString recordSource() const { return m_recordSource; }
    void setRecordSource(const QString& source) { m_recordSource = source; }
    // Runs the record source again; an unbound model shows nothing.
    void refresh();
    // Drops the rows and the database, as before a compaction.
    void unbind();

    std::optional<qint64> id(int row, const QString& column) const;
    QString text(int row, const QString& column) const;
    // Long names are cut off in narrow columns: the tooltip shows them whole.
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QStringList m_columns;
    QString m_recordSource;
    QSqlDatabase m_db;
};

// The disks grid: every disk row, editable in place, and a new-row line at the bottom in
// which typing a name or a drive stores a new disk (the database assigns its DiskID).
class DiskGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { DiskIdColumn, DiskNameColumn, DriveColumn, ColumnCount };

    explicit DiskGridModel(QObject* parent = nullptr);

    // What a disk typed on the new-row line takes from the volume it is typed for: that
    // volume's drive, and its label as the name when only a drive is typed.
    struct NewDiskDefaults {
        QString name;
        QString drive;
    };
    std::function<NewDiskDefaults()> newDiskDefaults;

    void setDatabase(const QSqlDatabase& db) { m_db = db; }
    void refresh();
    void unbind();

    bool isNewRowLine(int row) const { return row == static_cast<int>(m_rows.size()); }
    std::optional<qint64> diskId(int row) const;
    QString diskName(int row) const;
    QString drive(int row) const;
    // The row showing that disk, or -1.
    int rowOf(qint64 diskId) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

Q_SIGNALS:
    // A statement the database refused, with the engine's message.
    void failed(const QString& message);

private:
    struct Row {
        qint64 id = 0;
        QString name;
        QString drive;
    };
    Row newRow(int column, const QString& text) const;
    bool store(int row, int column, const QString& text);

    std::vector<Row> m_rows;
    QSqlDatabase m_db;
    bool m_bound = false;
};

#include "keptplaylist.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

bool writeKeptPlaylist(const QString& file, const std::vector<KeptRow>& rows, QString* error) {
    QJsonArray list;
    for (const KeptRow& row : rows)
        list.append(QJsonObject{
            {"track", row.trackId}, {"key", row.key}, {"name", row.text}, {"ticked", row.ticked}});
    const QByteArray bytes = QJsonDocument(QJsonObject{{"rows", list}}).toJson();
    QDir().mkpath(QFileInfo(file).path());
    QSaveFile out(file);
    if (out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.commit())
        return true;
    *error = QObject::tr("The play list cannot be kept in %1: %2")
                 .arg(QDir::toNativeSeparators(file), out.errorString());
    return false;
}

std::vector<KeptRow> readKeptPlaylist(const QString& file) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    std::vector<KeptRow> rows;
    const QJsonArray list = QJsonDocument::fromJson(in.readAll()).object().value("rows").toArray();
    for (const QJsonValue& value : list) {
        const QJsonObject row = value.toObject();
        const KeptRow kept{row.value("track").toInt(), row.value("key").toString(),
                           row.value("name").toString(), row.value("ticked").toBool()};
        if (kept.trackId != 0 && !kept.key.isEmpty())
            rows.push_back(kept);
    }
    return rows;
}

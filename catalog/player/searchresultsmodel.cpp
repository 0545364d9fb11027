#include "searchresultsmodel.h"

#include "catalogsearch.h"

template <typename Fill> void SearchResultsModel::reset(size_t count, Fill fill) {
    beginResetModel();
    std::vector<Row> rows(count);
    for (size_t i = 0; i < count; ++i)
        fill(i, rows[i]);
    m_rows.swap(rows);
    endResetModel();
}

void SearchResultsModel::setTrackNames(const TrackList& tracks, const std::vector<qint32>& found) {
    m_tags = false;
    reset(found.size(), [&](size_t i, Row& row) { row.name = tracks[size_t(found[i])].TrackName; });
}

void SearchResultsModel::setDirNames(const DirList& dirs, const std::vector<qint32>& found) {
    m_tags = false;
    reset(found.size(), [&](size_t i, Row& row) { row.name = dirs[size_t(found[i])].DirName; });
}

void SearchResultsModel::setTags(const TrackList& tracks, const std::vector<qint32>& found) {
    m_tags = true;
    reset(found.size(), [&](size_t i, Row& row) {
        const TrackRecord& track = tracks[size_t(found[i])];
        row = {track.TrackName, track.Artist, track.Title};
    });
}

QString SearchResultsModel::text(const Row& row) const {
    if (!m_tags)
        return row.name;
    TrackRecord track;
    track.TrackName = row.name;
    track.Artist = row.artist;
    track.Title = row.title;
    return tagsResultText(track);
}

QStringList SearchResultsModel::stringList() const {
    QStringList texts;
    texts.reserve(qsizetype(m_rows.size()));
    for (const Row& row : m_rows)
        texts.append(text(row));
    return texts;
}

int SearchResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant SearchResultsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return text(m_rows[size_t(index.row())]);
    return {};
}

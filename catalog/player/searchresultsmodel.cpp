#include "searchresultsmodel.h"

#include "catalogsearch.h"

template <typename Fill> void SearchResultsModel::reset(size_t count, bool tags, Fill fill) {
    beginResetModel();
    for (std::vector<QString>* column : {&m_names, &m_artists, &m_titles})
        std::vector<QString>().swap(*column);
    m_tags = tags;
    m_names.reserve(count);
    if (tags) {
        m_artists.reserve(count);
        m_titles.reserve(count);
    }
    for (size_t i = 0; i < count; ++i)
        fill(i);
    endResetModel();
}

void SearchResultsModel::setTrackNames(const TrackList& tracks, const std::vector<qint32>& found) {
    reset(found.size(), false,
          [&](size_t i) { m_names.push_back(tracks[size_t(found[i])].TrackName); });
}

void SearchResultsModel::setDirNames(const DirList& dirs, const std::vector<qint32>& found) {
    reset(found.size(), false,
          [&](size_t i) { m_names.push_back(dirs[size_t(found[i])].DirName); });
}

void SearchResultsModel::setTags(const TrackList& tracks, const std::vector<qint32>& found) {
    reset(found.size(), true, [&](size_t i) {
        const TrackRecord& track = tracks[size_t(found[i])];
        m_names.push_back(track.TrackName);
        m_artists.push_back(track.Artist);
        m_titles.push_back(track.Title);
    });
}

QString SearchResultsModel::text(size_t row) const {
    return m_tags ? tagsResultText(m_artists[row], m_titles[row], m_names[row]) : m_names[row];
}

QStringList SearchResultsModel::stringList() const {
    QStringList texts;
    texts.reserve(qsizetype(m_names.size()));
    for (size_t row = 0; row < m_names.size(); ++row)
        texts.append(text(row));
    return texts;
}

int SearchResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_names.size());
}

QVariant SearchResultsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(m_names.size()))
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return text(size_t(index.row()));
    return {};
}

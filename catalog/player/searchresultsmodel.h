#pragma once

#include "cataloglists.h"

#include <QAbstractListModel>
#include <QStringList>
#include <vector>

// The rows of a search, each formatted only when a view shows it: a search can find a hundred
// thousand tracks, of which a screenful is seen. A row holds the texts it shows, shared with
// the list it was found in rather than copied, so that it reads as it did when found even once
// the lists are loaded again.
class SearchResultsModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    // Rows named by the found records' indexes, as the name searches return them.
    void setTrackNames(const TrackList& tracks, const std::vector<qint32>& found);
    void setDirNames(const DirList& dirs, const std::vector<qint32>& found);
    // Rows shown as tagsResultText shows them.
    void setTags(const TrackList& tracks, const std::vector<qint32>& found);

    // Every row's text, formatted.
    QStringList stringList() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    QString text(size_t row) const;
    // Empties the rows, then makes `count` rows with `fill(i)` for each: the old rows are gone
    // before the new ones take memory.
    template <typename Fill> void reset(size_t count, bool tags, Fill fill);

    std::vector<QString> m_names;   // the track's or directory's name
    std::vector<QString> m_artists; // with m_titles, for rows found by their tags only
    std::vector<QString> m_titles;
    bool m_tags = false;
};

#pragma once

#include <QSet>
#include <QString>

class QListWidget;

// A play-list row as the commands that copy, pick, tick and remove rows see it.
struct PlaylistEntry {
    qint32 trackId = 0; // the track the row was added from; 0 when it has none
    QString key;        // unique within the play list
    QString text;       // the track's file name
};

// The play list's rows through the one door the copy, delete, clear and random commands use:
// rows are 0-based, in the list's order, each with an entry and a check box.
class PlaylistRows {
public:
    explicit PlaylistRows(QListWidget* list) : m_list(list) {}

    int count() const;
    PlaylistEntry entry(int row) const;
    bool isTicked(int row) const;
    void tick(int row);
    // Appends a row; its key must not be in keys() already.
    void append(const PlaylistEntry& entry);
    void remove(int row);
    void clear();
    QSet<QString> keys() const;

private:
    QListWidget* m_list;
};

#pragma once

#include <QListWidget>

// A directory chooser in the classic style: the current directory's ancestors, the current
// directory itself, then its subdirectories in ascending name order. Activating an entry
// (double-click or Enter) makes it the current directory.
class DirectoryList : public QListWidget {
    Q_OBJECT
public:
    explicit DirectoryList(QWidget* parent = nullptr);

    QString path() const { return m_path; }
    // Returns false, keeping the current directory, when `path` cannot be listed.
    bool setPath(const QString& path);
    void refresh();
    // Lists the current directory again, as after its disk was swapped. Where it is gone, the
    // nearest directory above it, no higher than `floor`, becomes the current one; with `floor`
    // gone as well, the list keeps its path and shows nothing below it.
    void reread(const QString& floor);

    int listCount() const { return m_subdirectories.size(); }
    QString list(int index) const { return m_subdirectories.value(index); }
    // The highlighted entry's full path; the current directory when nothing is highlighted.
    QString highlightedPath() const;

Q_SIGNALS:
    void pathChanged(const QString& path);

private:
    void fill();

    QString m_path;
    QStringList m_subdirectories;
};

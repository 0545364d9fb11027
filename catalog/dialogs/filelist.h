#pragma once

#include <QListWidget>

// The files of one directory that match a pattern (case-insensitively), in ascending name order.
class FileList : public QListWidget {
    Q_OBJECT
public:
    explicit FileList(const QString& pattern, QWidget* parent = nullptr);

    QString path() const { return m_path; }
    void setPath(const QString& path);
    int listCount() const { return m_files.size(); }
    QString list(int index) const { return m_files.value(index); }

private:
    QString m_pattern;
    QString m_path;
    QStringList m_files;
};

#include "filelist.h"

#include "dirlisting.h"

FileList::FileList(const QString& pattern, QWidget* parent)
    : QListWidget(parent), m_pattern(pattern) {
    setUniformItemSizes(true);
}

void FileList::setPath(const QString& path) {
    m_path = path;
    m_files = dirlisting::files(path, m_pattern);
    clear();
    addItems(m_files);
}

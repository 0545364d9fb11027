#include "directorylist.h"

#include "dirlisting.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStyle>

namespace {

constexpr int PathRole = Qt::UserRole;

QString entryName(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? QDir::toNativeSeparators(path) : name;
}

// The current directory and its ancestors, root first.
QStringList ancestry(const QString& path) {
    QStringList chain;
    QDir dir(path);
    chain.prepend(dir.absolutePath());
    while (dir.cdUp())
        chain.prepend(dir.absolutePath());
    return chain;
}

// Whether `path` is `top` or lies below it.
bool isBelow(const QString& path, const QString& top) {
    if (path == top)
        return true;
    const QString prefix = top.endsWith(QDir::separator()) ? top : top + QDir::separator();
    return path.startsWith(prefix);
}

} // namespace

DirectoryList::DirectoryList(QWidget* parent) : QListWidget(parent) {
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { setPath(item->data(PathRole).toString()); });
}

bool DirectoryList::setPath(const QString& path) {
    bool readable = false;
    const QString clean = QDir::toNativeSeparators(QDir::cleanPath(QDir(path).absolutePath()));
    QStringList subdirectories = dirlisting::subdirectories(clean, &readable);
    if (!readable)
        return false;
    const bool changed = clean != m_path;
    m_path = clean;
    m_subdirectories = std::move(subdirectories);
    fill();
    if (changed)
        Q_EMIT pathChanged(m_path);
    return true;
}

void DirectoryList::refresh() {
    bool readable = false;
    QStringList subdirectories = dirlisting::subdirectories(m_path, &readable);
    if (!readable)
        return;
    m_subdirectories = std::move(subdirectories);
    fill();
}

void DirectoryList::reread(const QString& floor) {
    const QString top = QDir::toNativeSeparators(QDir::cleanPath(QDir(floor).absolutePath()));
    QString path = m_path.isEmpty() ? top : m_path;
    for (;;) {
        if (setPath(path))
            return;
        const QString parent = QDir::toNativeSeparators(QFileInfo(path).path());
        if (path == top || parent == path || !isBelow(parent, top))
            break;
        path = parent;
    }
    m_subdirectories.clear();
    fill();
}

QString DirectoryList::highlightedPath() const {
    const QListWidgetItem* item = currentItem();
    if (!item || !item->isSelected())
        return m_path;
    return item->data(PathRole).toString();
}

void DirectoryList::fill() {
    const QSignalBlocker blocker(this);
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QStringList chain = ancestry(m_path);
    int depth = 0;
    for (const QString& ancestor : chain) {
        auto* item = new QListWidgetItem(open, QString(depth * 2, ' ') + entryName(ancestor), this);
        item->setData(PathRole, QDir::toNativeSeparators(ancestor));
        ++depth;
    }
    for (const QString& child : m_subdirectories) {
        auto* item = new QListWidgetItem(closed, QString(depth * 2, ' ') + entryName(child), this);
        item->setData(PathRole, child);
    }
    if (!chain.isEmpty())
        setCurrentRow(chain.size() - 1, QItemSelectionModel::NoUpdate);
}

#include "scanlisting.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>

namespace scanlisting {
namespace {

enum class Kind { Other, File, Directory };

// A symbolic link counts as the file it leads to, never as a directory: a walk over links
// to directories might not end.
Kind kindOf(const QByteArray& path, unsigned char type) {
    if (type == DT_REG)
        return Kind::File;
    if (type == DT_DIR)
        return Kind::Directory;
    struct stat status {};
    if (type == DT_UNKNOWN && ::lstat(path.constData(), &status) == 0 && !S_ISLNK(status.st_mode))
        return S_ISREG(status.st_mode) ? Kind::File
                                       : (S_ISDIR(status.st_mode) ? Kind::Directory : Kind::Other);
    if ((type == DT_LNK || type == DT_UNKNOWN) && ::stat(path.constData(), &status) == 0 &&
        S_ISREG(status.st_mode))
        return Kind::File;
    return Kind::Other;
}

bool isMp3Name(const QByteArray& name) {
    return name.size() > 4 && name.right(4).toLower() == ".mp3";
}

void sortByName(std::vector<Entry>& entries) {
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        const int order = a.name.compare(b.name, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a.localPath < b.localPath;
    });
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

} // namespace

Listing list(const QByteArray& localPath) {
    Listing listing;
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(localPath.constData()));
    if (!dir)
        return listing;
    listing.readable = true;
    const QByteArray prefix = localPath.endsWith('/') ? localPath : localPath + '/';
    while (const dirent* entry = ::readdir(dir.get())) {
        const QByteArray name(entry->d_name);
        if (name.startsWith('.'))
            continue; // hidden, or the directory itself and its parent
        if (entry->d_type == DT_LNK && !isMp3Name(name))
            continue; // only a file is followed, and only one of these
        const QByteArray path = prefix + name;
        switch (kindOf(path, entry->d_type)) {
        case Kind::Directory:
            listing.subdirectories.push_back({path, readableName(name)});
            break;
        case Kind::File:
            if (isMp3Name(name))
                listing.mp3Files.push_back({path, readableName(name)});
            break;
        case Kind::Other:
            break;
        }
    }
    sortByName(listing.subdirectories);
    sortByName(listing.mp3Files);
    return listing;
}

QString readableName(const QByteArray& bytes) {
    return QString::fromUtf8(bytes);
}

} // namespace scanlisting

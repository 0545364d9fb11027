#include "templaylist.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Names tried in one second before giving up: another program of the user may have written
// "Temp<stamp>.m3u" already, and a list once written is never replaced.
constexpr int NamesPerStamp = 100;

struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0)
            ::close(fd);
    }
};

// The folder, made with mode 0700 if missing, opened without following a link. One that is
// not a directory of this user's alone is refused: others could read or replace the lists.
int openPrivateFolder(const QString& folder, QString* error) {
    const QByteArray path = QFile::encodeName(folder);
    QDir().mkpath(QFileInfo(folder).path());
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) {
        *error = QObject::tr("Cannot make the folder %1: %2")
                     .arg(folder, QString::fromLocal8Bit(strerror(errno)));
        return -1;
    }
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat status {};
    if (fd >= 0 && ::fstat(fd, &status) == 0 && status.st_uid == ::geteuid() &&
        (status.st_mode & 077) == 0)
        return fd;
    if (fd >= 0)
        ::close(fd);
    *error = QObject::tr("The folder %1 for temporary play lists is not private to you (a link, "
                         "someone else's, or open to others); no play list was written.")
                 .arg(folder);
    return -1;
}

// Creates `name` in the folder, never over an existing file or link: 0, or the error number.
int writeNewFile(int dir, const QByteArray& name, const QByteArray& bytes) {
    const Fd file{::openat(dir, name.constData(),
                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600)};
    if (file.fd < 0)
        return errno;
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = ::write(file.fd, bytes.constData() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            const int failure = written < 0 ? errno : EIO;
            ::unlinkat(dir, name.constData(), 0);
            return failure;
        }
        done += written;
    }
    return 0;
}

} // namespace

QString playListStamp(const QDateTime& now, const QLocale& locale) {
    constexpr double SecondsPerDay = 86400;
    const qint64 days = QDate(1899, 12, 30).daysTo(now.date());
    const int seconds = now.time().msecsSinceStartOfDay() / 1000;
    const double stamp = static_cast<double>(days) + seconds / SecondsPerDay;
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(stamp, 'g', 15);
}

QString writeTempPlayList(const QString& folder, const QString& stamp,
                          const QList<QByteArray>& paths, QString* error) {
    const Fd dir{openPrivateFolder(folder, error)};
    if (dir.fd < 0)
        return {};
    QByteArray text;
    for (const QByteArray& line : paths)
        text += line + "\r\n";
    for (int n = 1; n <= NamesPerStamp; ++n) {
        const QString name = QStringLiteral("Temp") + stamp +
                             (n > 1 ? QStringLiteral("_%1").arg(n) : QString()) +
                             QStringLiteral(".m3u");
        const QString path = QDir(folder).filePath(name);
        const int failure = writeNewFile(dir.fd, QFile::encodeName(name), text);
        if (failure == 0)
            return path;
        if (failure != EEXIST) {
            *error = QObject::tr("Cannot write %1: %2")
                         .arg(path, QString::fromLocal8Bit(strerror(failure)));
            return {};
        }
    }
    *error = QObject::tr("Cannot write a play list in %1: every name is taken.").arg(folder);
    return {};
}

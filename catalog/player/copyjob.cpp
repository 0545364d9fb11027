#include "copyjob.h"

#include "diskarrival.h"
#include "prompts.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Opens `path` for reading if it is a regular file, and only then: a link to a device or a
// fifo is no track, and opening a fifo must not wait for a writer. `flags` may add O_NOFOLLOW.
std::unique_ptr<QFile> openRegular(const QByteArray& localPath, int flags, struct stat& info,
                                   QString& error) {
    const int fd =
        ::open(localPath.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | flags);
    if (fd < 0) {
        error = qt_error_string(errno);
        return nullptr;
    }
    auto file = std::make_unique<QFile>();
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = QStringLiteral("it is not a regular file");
    } else if (file->open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered,
                          QFileDevice::AutoCloseHandle)) {
        return file;
    } else {
        error = file->errorString();
    }
    ::close(fd);
    return nullptr;
}

// Whether `target` holds the bytes of `source`, which is read and left at its start. A link at
// `target` is never the copy, whatever it points at.
bool sameContent(QFile& source, const QString& target) {
    struct stat info {};
    QString error;
    const std::unique_ptr<QFile> other =
        openRegular(QFile::encodeName(target), O_NOFOLLOW, info, error);
    if (!other || other->size() != source.size())
        return false;
    QByteArray block;
    do
        block = source.read(64 * 1024);
    while (!block.isEmpty() && block == other->read(block.size()));
    return source.seek(0) && block.isEmpty();
}

// `path` for n = 1, then "name (n).ext".
QString numberedName(const QString& path, int n) {
    if (n == 1)
        return path;
    const QFileInfo info(path);
    const QString suffix = info.suffix().isEmpty() ? QString() : "." + info.suffix();
    return info.dir().filePath(
        QStringLiteral("%1 (%2)%3").arg(info.completeBaseName(), QString::number(n), suffix));
}

// Gives the finished copy its name without replacing anything there, a link included: rename
// with RENAME_NOREPLACE refuses a taken name in one step; on a file system without it, a hard
// link does the same. errno says why it failed (EEXIST: the name is taken).
bool placeNew(const QString& from, const QString& to) {
    const QByteArray source = QFile::encodeName(from), target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0)
        return true;
    if ((errno != EINVAL && errno != ENOSYS) || ::link(source.constData(), target.constData()) != 0)
        return false;
    ::unlink(source.constData());
    return true;
}

} // namespace

CopyJob::CopyJob(Prompts& prompts, const QString& targetDir, std::vector<copyplan::Item> items,
                 QObject* parent)
    : QObject(parent), m_prompts(prompts), m_targetDir(targetDir), m_items(std::move(items)) {}

CopyJob::~CopyJob() {
    dropPartial();
}

void CopyJob::watchForDisks(VolumeWatch::Source mountedVolumes, int intervalMs,
                            std::vector<DiskVolume> known) {
    delete m_diskArrival;
    m_diskArrival = new DiskArrival(std::move(mountedVolumes), intervalMs, this);
    m_knownVolumes = std::move(known);
}

void CopyJob::start() {
    m_running = true;
    schedule();
}

void CopyJob::cancel() {
    m_cancelRequested = true;
}

void CopyJob::schedule() {
    if (m_stepQueued)
        return;
    m_stepQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_stepQueued = false;
        step();
    });
}

void CopyJob::step() {
    if (!m_running)
        return;
    if (m_cancelRequested) {
        finish(false, {});
        return;
    }
    if (m_index >= m_items.size()) {
        finish(true, summary());
        return;
    }
    const Next next = m_source ? copySlice() : beginFile();
    if (next == Next::Continue)
        schedule();
}

// Asks for the file's disk when it is another than the last one, then opens the file and a
// partial copy beside its destination. A file of the same content already there counts as
// copied; anything else under the name is kept and the copy takes a free name.
CopyJob::Next CopyJob::beginFile() {
    const copyplan::Item& item = m_items[m_index];
    if (!item.refusal.isEmpty())
        return fail(item.refusal);
    if (item.diskName != m_lastDisk && !askForDisk(item)) {
        finish(false, {});
        return Next::Stop;
    }
    Q_EMIT status("Copying - " + item.source);
    Q_EMIT progress(static_cast<int>(m_index) + 1, static_cast<int>(m_items.size()), 0, 0);

    struct stat info {};
    QString error;
    m_source = openRegular(item.localSource, 0, info, error);
    if (!m_source)
        return fail(error);
    m_sourceSize = info.st_size;
    m_sourceMode = info.st_mode;
    m_destination = QDir(m_targetDir).filePath(item.fileName);
    if (sameContent(*m_source, m_destination)) {
        fileDone();
        return Next::Continue;
    }
    // A short name of its own: a track's name may already be near the file system's limit.
    m_partial =
        std::make_unique<QTemporaryFile>(QDir(m_targetDir).filePath(".catalog-XXXXXX.part"));
    m_partial->setAutoRemove(false);
    if (!m_partial->open())
        return fail(m_partial->errorString());
    m_copiedBytes = 0;
    return Next::Continue;
}

// True when the person answered OK, or the disk came in while the question was open. A disk
// that is in already still gets its question, which then closes at once.
bool CopyJob::askForDisk(const copyplan::Item& item) {
    const QString question = "Please Insert Disk - " + item.diskName;
    if (!m_diskArrival)
        return m_prompts.message(question, Prompts::Buttons::OkCancel) == Prompts::Answer::Ok;
    // The disk's first file to copy stands for the disk: it is what must be read next.
    m_diskArrival->waitFor(item.diskKey.toLongLong(), item.localSource, m_knownVolumes);
    const Prompts::Answer answer = m_prompts.messageUntil(
        question, Prompts::Buttons::OkCancel, {},
        {[this] { return m_diskArrival->hasArrived(); }, Prompts::Answer::Ok});
    m_diskArrival->stop();
    return answer == Prompts::Answer::Ok;
}

CopyJob::Next CopyJob::copySlice() {
    QByteArray slice(SliceBytes, Qt::Uninitialized);
    const qint64 read = m_source->read(slice.data(), SliceBytes);
    if (read < 0)
        return fail(m_source->errorString());
    if (read == 0)
        return endFile();
    if (m_partial->write(slice.constData(), read) != read)
        return fail(m_partial->errorString());
    m_copiedBytes += read;
    Q_EMIT progress(static_cast<int>(m_index) + 1, static_cast<int>(m_items.size()), m_copiedBytes,
                    m_sourceSize);
    return Next::Continue;
}

// A source cut short or grown while it was read is not the file that was opened.
CopyJob::Next CopyJob::endFile() {
    if (m_copiedBytes != m_sourceSize)
        return fail(QStringLiteral("it changed while it was copied (%1 of %2 bytes read)")
                        .arg(m_copiedBytes)
                        .arg(m_sourceSize));
    if (!m_partial->flush())
        return fail(m_partial->errorString());
    // The copy is as open as its original; a file system without modes keeps its own.
    (void)::fchmod(m_partial->handle(), (m_sourceMode & 0777) | S_IRUSR | S_IWUSR);
    if (const QString error = place(); !error.isEmpty())
        return fail(error);
    m_partial->close();
    m_partial.reset();
    fileDone();
    return Next::Continue;
}

// The track's name, or the first free numbered one: whatever lies under a name is kept.
QString CopyJob::place() {
    for (int n = 1;; ++n) {
        if (placeNew(m_partial->fileName(), numberedName(m_destination, n)))
            return {};
        if (errno != EEXIST)
            return qt_error_string(errno);
    }
}

// Retry asks for the disk again when it is not the one copied from last; Skip leaves the row
// unticked; Cancel ends the command.
CopyJob::Next CopyJob::fail(const QString& reason) {
    dropPartial();
    const copyplan::Item& item = m_items[m_index];
    const QString file = item.source.isEmpty() ? item.fileName : item.source;
    const Prompts::Answer answer =
        m_prompts.message(QStringLiteral("Row %1: %2 cannot be copied:\n%3")
                              .arg(QString::number(item.row + 1), file, reason),
                          Prompts::Buttons::RetrySkipCancel, QStringLiteral("Copying"));
    switch (answer) {
    case Prompts::Answer::Retry:
        return Next::Continue;
    case Prompts::Answer::Skip:
        ++m_skippedFiles;
        ++m_index;
        return Next::Continue;
    default:
        finish(false, {});
        return Next::Stop;
    }
}

void CopyJob::fileDone() {
    m_source.reset();
    m_lastDisk = m_items[m_index].diskName;
    ++m_copiedFiles;
    Q_EMIT copied(m_items[m_index].row);
    ++m_index;
}

void CopyJob::dropPartial() {
    m_source.reset();
    if (m_partial) {
        m_partial->close();
        m_partial->remove();
        m_partial.reset();
    }
}

QString CopyJob::summary() const {
    if (m_skippedFiles == 0)
        return QStringLiteral("Copying Complete.");
    return QStringLiteral("Copying Complete. %1 copied, %2 skipped.")
        .arg(m_copiedFiles)
        .arg(m_skippedFiles);
}

void CopyJob::finish(bool completed, const QString& statusText) {
    dropPartial();
    m_running = false;
    Q_EMIT status(statusText);
    Q_EMIT finished(completed);
}

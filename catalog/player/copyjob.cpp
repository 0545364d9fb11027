#include "copyjob.h"

#include "prompts.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QTimer>

bool sameContent(const QString& a, const QString& b) {
    QFile first(a), second(b);
    if (!first.open(QIODevice::ReadOnly) || !second.open(QIODevice::ReadOnly))
        return false;
    if (first.size() != second.size())
        return false;
    while (!first.atEnd()) {
        const QByteArray block = first.read(64 * 1024);
        if (block.isEmpty() || block != second.read(block.size()))
            return false;
    }
    return true;
}

QString freeFileName(const QString& path) {
    if (!QFileInfo::exists(path))
        return path;
    const QFileInfo info(path);
    const QString suffix = info.suffix().isEmpty() ? QString() : "." + info.suffix();
    for (int n = 2;; ++n) {
        const QString candidate = info.dir().filePath(
            QStringLiteral("%1 (%2)%3").arg(info.completeBaseName()).arg(n).arg(suffix));
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

CopyJob::CopyJob(Prompts& prompts, const QString& targetDir, std::vector<copyplan::Item> items,
                 QObject* parent)
    : QObject(parent), m_prompts(prompts), m_targetDir(targetDir), m_items(std::move(items)) {}

CopyJob::~CopyJob() {
    dropPartial();
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
        finish(true, QStringLiteral("Copying Complete."));
        return;
    }
    const Next next = m_source ? copySlice() : beginFile();
    if (next == Next::Continue)
        schedule();
}

// Asks for the file's disk when it is another than the last one, then opens the file and a
// partial copy beside its destination. A file of the same content already there counts as
// copied; one of another content is kept and the copy takes a free name.
CopyJob::Next CopyJob::beginFile() {
    const copyplan::Item& item = m_items[m_index];
    if (!item.refusal.isEmpty())
        return fail(item.refusal);
    if (item.diskName != m_lastDisk) {
        const Prompts::Answer answer =
            m_prompts.message("Please Insert Disk - " + item.diskName, Prompts::Buttons::OkCancel);
        if (answer != Prompts::Answer::Ok) {
            finish(false, {});
            return Next::Stop;
        }
    }
    Q_EMIT status("Copying - " + item.source);
    Q_EMIT progress(static_cast<int>(m_index) + 1, static_cast<int>(m_items.size()), 0, 0);

    auto source = std::make_unique<QFile>(item.source);
    if (!source->open(QIODevice::ReadOnly))
        return fail(source->errorString());
    const QString target = QDir(m_targetDir).filePath(item.fileName);
    if (QFileInfo::exists(target) && sameContent(item.source, target)) {
        fileDone();
        return Next::Continue;
    }
    QTemporaryFile partial(QDir(m_targetDir).filePath("." + item.fileName + ".XXXXXX.part"));
    partial.setAutoRemove(false);
    if (!partial.open())
        return fail(partial.errorString());
    m_partial = std::make_unique<QFile>(partial.fileName());
    partial.close();
    if (!m_partial->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        const QString reason = m_partial->errorString();
        dropPartial();
        return fail(reason);
    }
    m_destination = target;
    m_source = std::move(source);
    m_copiedBytes = 0;
    return Next::Continue;
}

CopyJob::Next CopyJob::copySlice() {
    const QByteArray slice = m_source->read(SliceBytes);
    if (slice.isEmpty() && !m_source->atEnd())
        return fail(m_source->errorString());
    if (!slice.isEmpty() && m_partial->write(slice) != slice.size())
        return fail(m_partial->errorString());
    m_copiedBytes += slice.size();
    Q_EMIT progress(static_cast<int>(m_index) + 1, static_cast<int>(m_items.size()), m_copiedBytes,
                    m_source->size());
    if (!m_source->atEnd())
        return Next::Continue;
    if (!m_partial->flush())
        return fail(m_partial->errorString());
    m_partial->close();
    // The partial file was made private to its owner; the copy is as open as its original.
    m_partial->setPermissions(m_source->permissions() | QFileDevice::ReadOwner |
                              QFileDevice::WriteOwner);
    // The destination may have appeared meanwhile; rename never replaces a file.
    const QString destination = freeFileName(m_destination);
    if (!m_partial->rename(destination))
        return fail(m_partial->errorString());
    m_partial.reset();
    fileDone();
    return Next::Continue;
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

void CopyJob::finish(bool completed, const QString& statusText) {
    dropPartial();
    m_running = false;
    Q_EMIT status(statusText);
    Q_EMIT finished(completed);
}

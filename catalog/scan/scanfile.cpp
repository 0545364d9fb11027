#include "scanfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

constexpr qint64 kWindowBytes = 4096;

qint64 readAt(int fd, qint64 offset, char* into, qint64 count) {
    qint64 done = 0;
    while (done < count) {
        const ssize_t n = ::pread(fd, into + done, size_t(count - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

} // namespace

ScanFile::ScanFile(const QByteArray& localPath, const std::atomic<bool>& stop)
    : m_localPath(localPath), m_stop(stop) {
    // Non-blocking, so that opening a named pipe returns at once; it is refused below.
    m_fd = ::open(m_localPath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        return;
    struct stat status {};
    if (::fstat(m_fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(m_fd);
        m_fd = -1;
        return;
    }
    m_size = status.st_size;
    m_buffer = std::make_unique<char[]>(m_windows.size() * size_t(kWindowBytes));
    for (size_t i = 0; i < m_windows.size(); ++i)
        m_windows[i].bytes = m_buffer.get() + i * size_t(kWindowBytes);
}

ScanFile::~ScanFile() {
    if (m_fd >= 0)
        ::close(m_fd);
}

qint64 ScanFile::read(qint64 offset, char* into, qint64 count) {
    if (!isOpen() || stopped() || offset < 0 || offset >= m_size || count <= 0)
        return 0;
    count = std::min(count, m_size - offset);
    if (count > kWindowBytes)
        return readAt(m_fd, offset, into, count);
    const Window& window = windowFor(offset, count);
    const qint64 available = std::clamp<qint64>(window.start + window.size - offset, 0, count);
    std::memcpy(into, window.bytes + (offset - window.start), size_t(available));
    return available;
}

ScanFile::Window& ScanFile::windowFor(qint64 offset, qint64 count) {
    Window* oldest = &m_windows[0];
    for (Window& window : m_windows) {
        if (window.size > 0 && offset >= window.start &&
            offset + count <= window.start + window.size) {
            window.used = ++m_reads;
            return window;
        }
        if (window.used < oldest->used)
            oldest = &window;
    }
    // A walk backwards (TagLib looking for the last frame) reads just before the window filled
    // last, and wants the bytes before this read next: the window then ends where it ends.
    const bool backwards = offset < m_lastStart && offset + count >= m_lastStart - kWindowBytes;
    oldest->start = backwards ? std::max<qint64>(0, offset + count - kWindowBytes) : offset;
    oldest->size =
        readAt(m_fd, oldest->start, oldest->bytes, std::min(kWindowBytes, m_size - oldest->start));
    oldest->used = ++m_reads;
    m_lastStart = oldest->start;
    return *oldest;
}

TagLib::ByteVector ScanFile::readBlock(unsigned long length) {
    if (stopped())
        return {};
    const qint64 wanted =
        std::min<qint64>(qint64(length), std::max<qint64>(m_size - m_position, 0));
    TagLib::ByteVector block(static_cast<unsigned int>(wanted), 0);
    const qint64 got = read(m_position, block.data(), wanted);
    block.resize(static_cast<unsigned int>(got));
    m_position += got;
    return block;
}

void ScanFile::seek(long offset, Position from) {
    qint64 base = 0;
    if (from == Current)
        base = m_position;
    else if (from == End)
        base = m_size;
    m_position = std::max<qint64>(0, base + offset);
}

#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <tiostream.h>

#include <array>
#include <atomic>
#include <memory>

// A regular file opened read-only by the bytes of its name, which need not be valid UTF-8, for
// TagLib and libmpg123 to read during a scan. Reads go through a few small windows of the
// file, so that the many small reads of a frame walk do not each reach the system, the head
// and the tail of the file are each read once however often the readers come back to them,
// and memory stays bounded whatever the file's size. Once `stop` is set the file reads as if it
// ended there: a walk over a file of gigabytes ends within a read.
class ScanFile : public TagLib::IOStream {
public:
    ScanFile(const QByteArray& localPath, const std::atomic<bool>& stop);
    ~ScanFile() override;
    ScanFile(const ScanFile&) = delete;
    ScanFile& operator=(const ScanFile&) = delete;

    // Opened, and a regular file: never a directory, device or named pipe, which could block.
    bool isOpen() const override { return m_fd >= 0; }
    bool stopped() const { return m_stop.load(std::memory_order_relaxed); }

    // Up to `count` bytes at `offset`; fewer at the end of the file, none once stopped.
    qint64 read(qint64 offset, char* into, qint64 count);

    TagLib::FileName name() const override { return m_localPath.constData(); }
    TagLib::ByteVector readBlock(unsigned long length) override;
    void seek(long offset, Position from = Beginning) override;
    long tell() const override { return long(m_position); }
    long length() override { return long(m_size); }
    bool readOnly() const override { return true; }

    // Never written: a scan only reads.
    void writeBlock(const TagLib::ByteVector&) override {}
    void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override {}
    void removeBlock(unsigned long, unsigned long) override {}
    void truncate(long) override {}

private:
    struct Window {
        qint64 start = 0;
        qint64 size = 0;  // bytes of the file held
        quint64 used = 0; // when it was last read from
        char* bytes = nullptr;
    };
    // The window that holds [offset, offset + count), filled from the file if none did.
    Window& windowFor(qint64 offset, qint64 count);

    QByteArray m_localPath;
    const std::atomic<bool>& m_stop;
    int m_fd = -1;
    qint64 m_size = 0;
    qint64 m_position = 0;
    std::unique_ptr<char[]> m_buffer;
    std::array<Window, 4> m_windows;
    quint64 m_reads = 0;
    qint64 m_lastStart = -1; // where the window filled last starts
};

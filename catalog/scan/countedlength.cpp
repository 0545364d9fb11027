#include "countedlength.h"

#include "scanfile.h"

#include <mpg123.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>

namespace {

// The bytes libmpg123 sees: only the stream, so that the frames of cover art in a tag behind
// it are not counted.
struct StreamWindow {
    ScanFile* file;
    qint64 begin, end;
    qint64 position = 0; // from begin
};

mpg123_ssize_t readWindow(void* handle, void* into, size_t count) {
    auto* window = static_cast<StreamWindow*>(handle);
    const qint64 wanted =
        std::min<qint64>(qint64(count), window->end - window->begin - window->position);
    const qint64 got =
        window->file->read(window->begin + window->position, static_cast<char*>(into), wanted);
    window->position += got;
    return mpg123_ssize_t(got);
}

off_t seekWindow(void* handle, off_t offset, int whence) {
    auto* window = static_cast<StreamWindow*>(handle);
    qint64 base = 0;
    if (whence == SEEK_CUR)
        base = window->position;
    else if (whence == SEEK_END)
        base = window->end - window->begin;
    const qint64 position = base + offset;
    if (position < 0 || position > window->end - window->begin)
        return -1;
    window->position = position;
    return off_t(position);
}

struct HandleDeleter {
    void operator()(mpg123_handle* handle) const { mpg123_delete(handle); }
};
using Handle = std::unique_ptr<mpg123_handle, HandleDeleter>;

// One decoder per reading thread, made on first use and kept for the files after.
mpg123_handle* threadHandle() {
    static std::once_flag initialised;
    std::call_once(initialised, [] { mpg123_init(); });
    thread_local Handle handle = [] {
        Handle made(mpg123_new(nullptr, nullptr));
        if (made) {
            mpg123_param(made.get(), MPG123_ADD_FLAGS, MPG123_QUIET, 0);
            mpg123_replace_reader_handle(made.get(), readWindow, seekWindow, nullptr);
        }
        return made;
    }();
    return handle.get();
}

} // namespace

std::optional<double> countedMilliseconds(ScanFile& file, qint64 begin, qint64 end) {
    mpg123_handle* handle = threadHandle();
    if (!handle || begin >= end)
        return std::nullopt;
    StreamWindow window{&file, begin, end};
    if (mpg123_open_handle(handle, &window) != MPG123_OK)
        return std::nullopt;
    std::optional<double> milliseconds;
    long rate = 0;
    int channels = 0, encoding = 0;
    if (mpg123_scan(handle) == MPG123_OK &&
        mpg123_getformat(handle, &rate, &channels, &encoding) == MPG123_OK && rate > 0) {
        const off_t samples = mpg123_length(handle);
        if (samples >= 0)
            milliseconds = double(samples) * 1000.0 / double(rate);
    }
    mpg123_close(handle);
    if (file.stopped())
        return std::nullopt;
    return milliseconds;
}

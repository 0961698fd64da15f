#include "sound/Mp3Decoder.h"

#include <mpg123.h>

#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>

#include "sound/PcmConvert.h"

namespace {

struct HandleDeleter {
    void operator()(mpg123_handle* handle) const
    {
        mpg123_close(handle);
        mpg123_delete(handle);
    }
};
using Handle = std::unique_ptr<mpg123_handle, HandleDeleter>;

bool LibraryReady(std::string& error)
{
    static std::once_flag once;
    static int status = MPG123_ERR;
    std::call_once(once, [] { status = mpg123_init(); });
    if (status != MPG123_OK) {
        error = std::string("MP3 decoder failed to start: ") + mpg123_plain_strerror(status);
        return false;
    }
    return true;
}

// Accepts any rate the library knows in mono or stereo 16-bit; the rest of
// the conversion is ours so the result never depends on its resampler.
bool ConfigureOutput(mpg123_handle* handle)
{
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    if (mpg123_format_none(handle) != MPG123_OK) {
        return false;
    }
    const long* rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    for (size_t i = 0; i < count; ++i) {
        if (mpg123_format(handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16) != MPG123_OK) {
            return false;
        }
    }
    return true;
}

// The file's bytes as the library reads them, through read and seek calls.
struct MemoryReader {
    const uint8_t* bytes;
    size_t size;
    size_t position;
};

mpg123_ssize_t ReadMemory(void* handle, void* buffer, size_t count)
{
    MemoryReader& reader = *static_cast<MemoryReader*>(handle);
    // A seek may leave the position past the end, as lseek does: nothing is left to read.
    const size_t left = reader.position < reader.size ? reader.size - reader.position : 0;
    const size_t n = count < left ? count : left;
    if (n > 0)
        std::memcpy(buffer, reader.bytes + reader.position, n);
    reader.position += n;
    return mpg123_ssize_t(n);
}

off_t SeekMemory(void* handle, off_t offset, int whence)
{
    MemoryReader& reader = *static_cast<MemoryReader*>(handle);
    off_t base = 0;
    if (whence == SEEK_CUR)
        base = off_t(reader.position);
    else if (whence == SEEK_END)
        base = off_t(reader.size);
    else if (whence != SEEK_SET)
        return -1;
    // Past the end is allowed, as with lseek: libmpg123 seeks there on short files.
    if ((offset < 0 && offset < -base) || (offset > 0 && offset > std::numeric_limits<off_t>::max() - base))
        return -1;
    reader.position = size_t(base + offset);
    return off_t(reader.position);
}

// Interleaved frames decoded since the last format change.
struct Segment {
    std::vector<int16_t> samples;
    long rate = 0;
    int channels = 0;
};

}  // namespace

bool DecodeMp3(const uint8_t* bytes, size_t size, long targetRate, size_t maxFrames,
               std::vector<int16_t>& out, std::string& error)
{
    if (!LibraryReady(error)) {
        return false;
    }
    int status = MPG123_OK;
    Handle handle(mpg123_new(nullptr, &status));
    if (!handle) {
        error = std::string("MP3 decoder failed to start: ") + mpg123_plain_strerror(status);
        return false;
    }
    if (!ConfigureOutput(handle.get())) {
        error = std::string("MP3 decoder rejected the output format: ") + mpg123_strerror(handle.get());
        return false;
    }
    MemoryReader reader{bytes, size, 0};
    if (mpg123_replace_reader_handle(handle.get(), ReadMemory, SeekMemory, nullptr) != MPG123_OK ||
        mpg123_open_handle(handle.get(), &reader) != MPG123_OK) {
        error = std::string("cannot open MP3 file: ") + mpg123_strerror(handle.get());
        return false;
    }

    std::vector<int16_t> mono;
    Segment segment;
    size_t decodedFrames = 0;
    off_t expectedFrames = -1;
    auto flush = [&]() {
        if (segment.samples.empty()) {
            return true;
        }
        const size_t frames = segment.samples.size() / segment.channels;
        const bool ok = AppendMono(segment.samples.data(), frames, segment.channels, segment.rate, targetRate,
                                   maxFrames, mono);
        segment.samples.clear();
        return ok;
    };

    int16_t buffer[8192];
    for (;;) {
        size_t done = 0;
        const int rc = mpg123_read(handle.get(), buffer, sizeof buffer, &done);
        if (done > 0 && segment.channels > 0 && segment.rate > 0) {
            const size_t count = done / sizeof(int16_t);
            segment.samples.insert(segment.samples.end(), buffer, buffer + count);
            decodedFrames += count / segment.channels;
            // Stop early rather than buffer a runaway stream in full.
            const size_t segmentFrames = segment.samples.size() / segment.channels;
            if (mono.size() + segmentFrames / segment.rate * targetRate > maxFrames) {
                error = "MP3 file is too long";
                return false;
            }
        }
        if (rc == MPG123_DONE) {
            break;
        }
        if (rc == MPG123_NEW_FORMAT) {
            if (!flush()) {
                error = "MP3 file is too long";
                return false;
            }
            int encoding = 0;
            mpg123_getformat(handle.get(), &segment.rate, &segment.channels, &encoding);
            long delay = -1;
            // An encoder tag records the exact length; a shorter decode means the file was cut.
            if (expectedFrames < 0 &&
                mpg123_getstate(handle.get(), MPG123_ENC_DELAY, &delay, nullptr) == MPG123_OK && delay >= 0) {
                expectedFrames = mpg123_length(handle.get());
            }
            continue;
        }
        if (rc != MPG123_OK) {
            error = std::string("MP3 decode error: ") + mpg123_strerror(handle.get());
            return false;
        }
    }
    if (decodedFrames == 0) {
        error = "no MPEG audio frames found";
        return false;
    }
    if (expectedFrames > 0 && decodedFrames < static_cast<size_t>(expectedFrames)) {
        error = "MP3 file is truncated: decoded " + std::to_string(decodedFrames) + " of " +
                std::to_string(static_cast<long long>(expectedFrames)) + " frames";
        return false;
    }
    if (!flush()) {
        error = "MP3 file is too long";
        return false;
    }
    out.swap(mono);
    return true;
}

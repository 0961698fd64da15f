#include "app/Recording.h"

#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "engine/Keys.h"

namespace {

constexpr char kMagic[8] = {'K', 'A', 'R', 'S', 'K', 'R', 'E', 'C'};
constexpr uint16_t kVersion = 1;
constexpr size_t kHeaderBytes = sizeof kMagic + 2 + 4 + 4;
// Far above any real recording; keeps a damaged size from asking for gigabytes.
constexpr uint64_t kMaxFileBytes = 256u << 20;
constexpr uint64_t kMaxBodyBytes = 1024u << 20;
// Deflate cannot shrink data by more than about this much.
constexpr uint64_t kMaxRatio = 1032;
constexpr uint32_t kMaxNameBytes = 63;
constexpr int32_t kMaxTransfer = 1 << 24;

enum FrameFlags : uint8_t { kKeysChanged = 1, kHasCalls = 2, kKnownFlags = 3 };

class Writer {
public:
    void U8(uint8_t v) { bytes.push_back(v); }
    void U16(uint16_t v) { Little(v, 2); }
    void U32(uint32_t v) { Little(v, 4); }
    void U64(uint64_t v) { Little(v, 8); }
    void F32(float v)
    {
        uint32_t bits = 0;
        std::memcpy(&bits, &v, 4);
        U32(bits);
    }
    void Text(const std::string& s)
    {
        U8(uint8_t(s.size()));
        bytes.insert(bytes.end(), s.begin(), s.end());
    }
    void Bytes(const std::vector<uint8_t>& b) { bytes.insert(bytes.end(), b.begin(), b.end()); }
    std::vector<uint8_t> bytes;

private:
    void Little(uint64_t v, int n)
    {
        for (int i = 0; i < n; ++i) bytes.push_back(uint8_t(v >> (8 * i)));
    }
};

// Every read says whether the bytes were there; the first failure names the
// field and sticks.
class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data(data), size(size) {}
    bool U8(uint8_t& v, const char* what) { return Little(v, 1, what); }
    bool U16(uint16_t& v, const char* what) { return Little(v, 2, what); }
    bool U32(uint32_t& v, const char* what) { return Little(v, 4, what); }
    bool U64(uint64_t& v, const char* what) { return Little(v, 8, what); }
    bool F32(float& v, const char* what)
    {
        uint32_t bits = 0;
        if (!U32(bits, what))
            return false;
        std::memcpy(&v, &bits, 4);
        return true;
    }
    bool Text(std::string& s, uint32_t limit, const char* what)
    {
        uint8_t n = 0;
        if (!U8(n, what))
            return false;
        if (n > limit)
            return Fail(std::string(what) + " is " + std::to_string(n) + " bytes long, more than " +
                        std::to_string(limit));
        if (!Need(n, what))
            return false;
        s.assign(reinterpret_cast<const char*>(data + at), n);
        at += n;
        return true;
    }
    bool Bytes(std::vector<uint8_t>& b, size_t n, const char* what)
    {
        if (!Need(n, what))
            return false;
        b.assign(data + at, data + at + n);
        at += n;
        return true;
    }
    // A count of items each at least `itemBytes` long must fit in what is left.
    bool Count(uint32_t& n, size_t itemBytes, const char* what)
    {
        if (!U32(n, what))
            return false;
        if (uint64_t(n) * itemBytes > size - at)
            return Fail(std::string(what) + " says " + std::to_string(n) + " but the file ends before");
        return true;
    }
    bool Fail(const std::string& why)
    {
        if (error.empty())
            error = why + " (at byte " + std::to_string(at) + " of the unpacked body)";
        return false;
    }
    bool AtEnd() const { return at == size; }
    std::string error;

private:
    bool Need(size_t n, const char* what)
    {
        if (size - at < n)
            return Fail(std::string("the file ends inside ") + what);
        return true;
    }
    template <typename T>
    bool Little(T& v, int n, const char* what)
    {
        if (!Need(size_t(n), what))
            return false;
        uint64_t value = 0;
        for (int i = 0; i < n; ++i) value |= uint64_t(data[at + size_t(i)]) << (8 * i);
        at += size_t(n);
        v = T(value);
        return true;
    }
    const uint8_t* data;
    size_t size;
    size_t at = 0;
};

void WriteCalls(Writer& w, const std::vector<RecordedCall>& calls)
{
    w.U32(uint32_t(calls.size()));
    for (const RecordedCall& c : calls) {
        w.U8(uint8_t(c.call));
        w.U32(uint32_t(c.result));
        if (c.call == NetCall::Receive && c.result > 0)
            w.Bytes(c.bytes);
    }
}

bool ReadCalls(Reader& r, std::vector<RecordedCall>& calls)
{
    uint32_t count = 0;
    if (!r.Count(count, 5, "the number of network calls"))
        return false;
    calls.resize(count);
    for (RecordedCall& c : calls) {
        uint8_t kind = 0;
        uint32_t result = 0;
        if (!r.U8(kind, "a network call's kind") || !r.U32(result, "a network call's result"))
            return false;
        if (kind < uint8_t(NetCall::Init) || kind > uint8_t(NetCall::Receive))
            return r.Fail("unknown network call kind " + std::to_string(kind));
        c.call = NetCall(kind);
        c.result = int32_t(result);
        const bool transfer = c.call == NetCall::Send || c.call == NetCall::Receive;
        if (transfer ? (c.result < -1 || c.result > kMaxTransfer) : (c.result != 0 && c.result != 1))
            return r.Fail("network call result " + std::to_string(c.result) + " is out of range");
        if (c.call == NetCall::Receive && c.result > 0 &&
            !r.Bytes(c.bytes, size_t(c.result), "received bytes"))
            return false;
    }
    return true;
}

bool ReadFrame(Reader& r, bool fixedStep, RecordedFrame& f)
{
    uint8_t flags = 0;
    if (!r.U8(flags, "a frame's flags") || !r.U32(f.clockAdvanceMicros, "a frame's clock"))
        return false;
    if (flags & ~kKnownFlags)
        return r.Fail("unknown frame flags " + std::to_string(flags));
    if (!fixedStep) {
        if (!r.F32(f.timeStep, "a frame's time step"))
            return false;
        if (!(f.timeStep >= 0.0f && f.timeStep <= 1.0f))
            return r.Fail("a time step of " + std::to_string(f.timeStep) + " s");
    }
    f.keysChanged = (flags & kKeysChanged) != 0;
    if (f.keysChanged) {
        uint16_t count = 0;
        if (!r.U16(count, "the number of keys held"))
            return false;
        if (count > Quill::Key::Count)
            return r.Fail(std::to_string(count) + " keys held at once");
        f.keys.resize(count);
        for (uint16_t& key : f.keys) {
            if (!r.U16(key, "a key code"))
                return false;
            if (key >= Quill::Key::Count || (&key != f.keys.data() && key <= (&key)[-1]))
                return r.Fail("key code " + std::to_string(key) + " out of range or order");
        }
    }
    return !(flags & kHasCalls) || ReadCalls(r, f.calls);
}

std::vector<uint8_t> EncodeBody(const Recording& rec)
{
    Writer w;
    w.U32(rec.seed);
    w.U8(rec.role);
    w.U8(rec.fixedStep ? 1 : 0);
    w.U16(rec.port);
    w.U64(rec.startClockMicros);
    w.Text(rec.playerName.substr(0, kMaxNameBytes));
    w.Text(rec.address.substr(0, 255));
    WriteCalls(w, rec.startCalls);
    w.U32(uint32_t(rec.frames.size()));
    for (const RecordedFrame& f : rec.frames) {
        w.U8(uint8_t((f.keysChanged ? kKeysChanged : 0) | (f.calls.empty() ? 0 : kHasCalls)));
        w.U32(f.clockAdvanceMicros);
        if (!rec.fixedStep)
            w.F32(f.timeStep);
        if (f.keysChanged) {
            w.U16(uint16_t(f.keys.size()));
            for (uint16_t key : f.keys) w.U16(key);
        }
        if (!f.calls.empty())
            WriteCalls(w, f.calls);
    }
    return std::move(w.bytes);
}

bool DecodeBody(const std::vector<uint8_t>& body, Recording& rec, std::string& error)
{
    Reader r(body.data(), body.size());
    uint8_t role = 0, fixedStep = 0;
    uint32_t frameCount = 0;
    bool ok = r.U32(rec.seed, "the seed") && r.U8(role, "the role") && r.U8(fixedStep, "the step kind") &&
              r.U16(rec.port, "the port") && r.U64(rec.startClockMicros, "the starting clock") &&
              r.Text(rec.playerName, kMaxNameBytes, "the player's name") &&
              r.Text(rec.address, 255, "the host's address") && ReadCalls(r, rec.startCalls);
    if (ok && role > Recording::Joiner)
        ok = r.Fail("unknown role " + std::to_string(role));
    if (ok && fixedStep > 1)
        ok = r.Fail("unknown step kind " + std::to_string(fixedStep));
    ok = ok && r.Count(frameCount, 5, "the number of frames");
    if (ok && frameCount == 0)
        ok = r.Fail("the recording holds no frames");
    rec.role = Recording::Role(role);
    rec.fixedStep = fixedStep == 1;
    if (ok)
        rec.frames.resize(frameCount);
    for (uint32_t i = 0; ok && i < frameCount; ++i) ok = ReadFrame(r, rec.fixedStep, rec.frames[i]);
    if (ok && !r.AtEnd())
        ok = r.Fail("unexpected bytes after the last frame");
    if (!ok)
        error = r.error;
    return ok;
}

void PutLittle(std::vector<uint8_t>& out, uint64_t v, int n)
{
    for (int i = 0; i < n; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

uint64_t GetLittle(const uint8_t* p, int n)
{
    uint64_t v = 0;
    for (int i = 0; i < n; ++i) v |= uint64_t(p[i]) << (8 * i);
    return v;
}

}  // namespace

bool SaveRecording(const Recording& recording, const std::string& path, std::string& error)
{
    const std::vector<uint8_t> body = EncodeBody(recording);
    uLongf packedSize = compressBound(uLong(body.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, body.data(), uLong(body.size()), Z_BEST_COMPRESSION) != Z_OK) {
        error = "cannot compress the recording";
        return false;
    }
    std::vector<uint8_t> file(kMagic, kMagic + sizeof kMagic);
    PutLittle(file, kVersion, 2);
    PutLittle(file, body.size(), 4);
    PutLittle(file, packedSize, 4);
    file.insert(file.end(), packed.begin(), packed.begin() + long(packedSize));
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    if (std::fclose(out) != 0 || !written) {
        error = "writing " + path + " failed";
        return false;
    }
    return true;
}

bool DecodeRecording(const std::vector<uint8_t>& file, Recording& recording, std::string& error)
{
    if (file.size() < kHeaderBytes) {
        error = "too short for a recording (" + std::to_string(file.size()) + " bytes)";
        return false;
    }
    if (std::memcmp(file.data(), kMagic, sizeof kMagic) != 0) {
        error = "not a recording (no KARSKREC mark at the start)";
        return false;
    }
    const uint64_t version = GetLittle(file.data() + 8, 2);
    const uint64_t bodySize = GetLittle(file.data() + 10, 4);
    const uint64_t packedSize = GetLittle(file.data() + 14, 4);
    if (version != kVersion) {
        error = "recording version " + std::to_string(version) + "; this game reads version " +
                std::to_string(kVersion);
        return false;
    }
    if (packedSize != file.size() - kHeaderBytes) {
        error = "the header announces " + std::to_string(packedSize) + " packed bytes but " +
                std::to_string(file.size() - kHeaderBytes) + " follow (cut short or padded)";
        return false;
    }
    if (bodySize > kMaxBodyBytes || bodySize > packedSize * kMaxRatio) {
        error = "an unpacked size of " + std::to_string(bodySize) + " bytes cannot be right";
        return false;
    }
    std::vector<uint8_t> body(bodySize);
    uLongf unpacked = uLongf(bodySize);
    const int z = uncompress(body.data(), &unpacked, file.data() + kHeaderBytes, uLong(packedSize));
    if (z != Z_OK || unpacked != bodySize) {
        error = std::string("the packed body is damaged (") + (z == Z_OK ? "wrong size" : zError(z)) + ")";
        return false;
    }
    Recording decoded;
    if (!DecodeBody(body, decoded, error))
        return false;
    recording = std::move(decoded);
    return true;
}

bool LoadRecording(const std::string& path, Recording& recording, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    std::vector<uint8_t> file;
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        file.insert(file.end(), chunk, chunk + in.gcount());
        if (file.size() > kMaxFileBytes) {
            error = path + ": larger than any recording (over " + std::to_string(kMaxFileBytes) + " bytes)";
            return false;
        }
    }
    if (in.bad()) {
        error = "reading " + path + " failed";
        return false;
    }
    if (!DecodeRecording(file, recording, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

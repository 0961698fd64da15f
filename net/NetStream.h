#pragma once

#include <cstdint>

// A fixed-capacity byte buffer with one write and one read position, in which
// every network message is built and parsed. Typed fields are encoded
// little-endian byte by byte, so the wire format does not depend on the host.
class NetStream {
public:
    explicit NetStream(uint32_t size);
    ~NetStream();
    NetStream(const NetStream&) = delete;
    NetStream& operator=(const NetStream&) = delete;

    // Drops the contents and gives the buffer a new capacity.
    void Resize(uint32_t size);
    // Zeroes the buffer and rewinds both positions.
    void Clear();

    // Copies `count` bytes at the write position (first moved to `offset` when
    // offset > −1). False, writing nothing, when they would not fit.
    bool Write(const void* source, uint8_t count, int offset = -1);
    // Any number of bytes at the write position, in pieces Write can take;
    // all or nothing.
    bool WriteBytes(const void* source, uint32_t count);
    // Copies `count` bytes from the read position (first moved to `offset`
    // when offset > −1). False, copying nothing, past the capacity.
    bool Read(void* destination, uint32_t count, int offset = -1);
    // As Read, but the read position does not advance by the copy.
    bool Peek(void* destination, uint32_t count, int offset = -1);

    bool WriteU8(uint8_t v);
    bool WriteU32(uint32_t v);
    bool WriteI32(int32_t v) { return WriteU32(uint32_t(v)); }
    bool WriteF32(float v);
    bool ReadU8(uint8_t& v);
    bool ReadU32(uint32_t& v);
    bool ReadI32(int32_t& v);
    bool ReadF32(float& v);

    uint8_t* GetData() { return data; }
    const uint8_t* GetData() const { return data; }
    uint32_t GetLength() const { return writePos; }
    uint32_t GetCapacity() const { return capacity; }
    uint32_t GetReadOffset() const { return readPos; }

private:
    bool Seek(uint32_t& position, int offset) const;

    uint32_t capacity = 0;
    uint8_t* data = nullptr;
    uint32_t writePos = 0;
    uint32_t readPos = 0;
};

// A message: its type and its payload.
struct NetMessage {
    int32_t type = -1;
    NetStream payload{512};
};

#include "net/NetStream.h"

#include <cstring>

NetStream::NetStream(uint32_t size)
{
    Resize(size);
}

NetStream::~NetStream()
{
    delete[] data;
    data = nullptr;
    capacity = writePos = readPos = 0;
}

void NetStream::Resize(uint32_t size)
{
    delete[] data;
    capacity = size;
    data = new uint8_t[size > 0 ? size : 1]();
    writePos = readPos = 0;
}

void NetStream::Clear()
{
    std::memset(data, 0, capacity);
    writePos = readPos = 0;
}

// An offset outside the buffer is refused rather than followed.
bool NetStream::Seek(uint32_t& position, int offset) const
{
    if (offset < 0)
        return true;
    if (uint32_t(offset) > capacity)
        return false;
    position = uint32_t(offset);
    return true;
}

bool NetStream::Write(const void* source, uint8_t count, int offset)
{
    if (!Seek(writePos, offset))
        return false;
    if (uint64_t(writePos) + count > capacity)
        return false;
    std::memcpy(data + writePos, source, count);
    writePos += count;
    return true;
}

bool NetStream::WriteBytes(const void* source, uint32_t count)
{
    if (uint64_t(writePos) + count > capacity)
        return false;
    const uint8_t* bytes = static_cast<const uint8_t*>(source);
    while (count > 0) {
        const uint8_t piece = uint8_t(count > 255 ? 255 : count);
        Write(bytes, piece);
        bytes += piece;
        count -= piece;
    }
    return true;
}

bool NetStream::Read(void* destination, uint32_t count, int offset)
{
    if (!Peek(destination, count, offset))
        return false;
    readPos += count;
    return true;
}

bool NetStream::Peek(void* destination, uint32_t count, int offset)
{
    if (!Seek(readPos, offset))
        return false;
    if (uint64_t(readPos) + count > capacity)
        return false;
    std::memcpy(destination, data + readPos, count);
    return true;
}

bool NetStream::WriteU8(uint8_t v)
{
    return Write(&v, 1);
}

bool NetStream::WriteU32(uint32_t v)
{
    const uint8_t bytes[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    return Write(bytes, 4);
}

bool NetStream::WriteF32(float v)
{
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return WriteU32(bits);
}

bool NetStream::ReadU8(uint8_t& v)
{
    return Read(&v, 1);
}

bool NetStream::ReadU32(uint32_t& v)
{
    uint8_t bytes[4];
    if (!Read(bytes, 4))
        return false;
    v = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
    return true;
}

bool NetStream::ReadI32(int32_t& v)
{
    uint32_t u;
    if (!ReadU32(u))
        return false;
    v = int32_t(u);
    return true;
}

bool NetStream::ReadF32(float& v)
{
    uint32_t bits;
    if (!ReadU32(bits))
        return false;
    std::memcpy(&v, &bits, 4);
    return true;
}

// What every stream shares (its size, the checked whole-buffer reads and
// writes), the two memory streams, and the copy from one stream to another in
// pieces.
#include "runtime/Stream.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "runtime/Exceptions.h"

int64_t TStream::Size()
{
    const int64_t position = Position();
    const int64_t size = Seek(0, SeekOrigin::End);
    SetPosition(position);
    return size;
}

void TStream::ReadBuffer(void* buffer, int64_t count)
{
    if (count != 0 && Read(buffer, count) != count)
        throw EReadError(StrId::SReadError);
}

void TStream::WriteBuffer(const void* buffer, int64_t count)
{
    if (count != 0 && Write(buffer, count) != count)
        throw EWriteError(StrId::SWriteError);
}

int64_t TMemoryStream::Read(void* buffer, int64_t count)
{
    const int64_t size = Size();
    if (count <= 0 || m_position < 0 || m_position >= size)
        return 0;
    const int64_t n = std::min(count, size - m_position);
    std::memcpy(buffer, m_data.data() + m_position, static_cast<size_t>(n));
    m_position += n;
    return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count)
{
    if (count <= 0 || m_position < 0)
        return 0;
    const int64_t end = m_position + count;
    if (end > Size())
        m_data.resize(static_cast<size_t>(end));
    std::memcpy(m_data.data() + m_position, buffer, static_cast<size_t>(count));
    m_position = end;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, SeekOrigin origin)
{
    switch (origin) {
    case SeekOrigin::Beginning: m_position = offset; break;
    case SeekOrigin::Current: m_position += offset; break;
    case SeekOrigin::End: m_position = Size() + offset; break;
    }
    return m_position;
}

void TMemoryStream::Clear()
{
    m_data.clear();
    m_position = 0;
}

int64_t TMemoryViewStream::Read(void* buffer, int64_t count)
{
    if (count <= 0 || m_position < 0 || m_position >= m_size)
        return 0;
    const int64_t n = std::min(count, m_size - m_position);
    std::memcpy(buffer, m_data + m_position, static_cast<size_t>(n));
    m_position += n;
    return n;
}

int64_t TMemoryViewStream::Seek(int64_t offset, SeekOrigin origin)
{
    switch (origin) {
    case SeekOrigin::Beginning: m_position = offset; break;
    case SeekOrigin::Current: m_position += offset; break;
    case SeekOrigin::End: m_position = m_size + offset; break;
    }
    return m_position;
}

int64_t CopyStreamData(TStream& destination, TStream& source, int64_t count)
{
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    if (count <= 0)
        return 0;
    const int64_t bufferSize = std::min(count, CopyPieceSize);
    const auto buffer = std::make_unique<uint8_t[]>(static_cast<size_t>(bufferSize));
    for (int64_t left = count; left > 0;) {
        const int64_t n = std::min(left, bufferSize);
        source.ReadBuffer(buffer.get(), n);
        destination.WriteBuffer(buffer.get(), n);
        left -= n;
    }
    return count;
}

// The file stream: its file opened or created for this handle alone, and reads
// and writes handed to the system in pieces it can take.
#include "runtime/FileStream.h"

#include <algorithm>

#include "runtime/Exceptions.h"

namespace {

// Opens the file for reading and writing by this handle alone.
HANDLE CreateForWriting(const std::string& name, DWORD disposition)
{
    return CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

// Makes the file, or empties the one already there.
// NOTE: a new file is made with CREATE_NEW, and only a file that is already
// there is emptied with CREATE_ALWAYS; on Windows the two ways are one.
// Wine empties even the file that CREATE_ALWAYS has just made, and a Linux
// host's ext4 writes an emptied and rewritten file back to the disk when it
// is closed: the close of a new 256 MiB file took 112 to 165 ms that way
// and 0.2 ms made with CREATE_NEW.
HANDLE CreateOrEmpty(const std::string& name)
{
    const HANDLE made = CreateForWriting(name, CREATE_NEW);
    if (made == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS)
        return CreateForWriting(name, CREATE_ALWAYS);
    return made;
}

} // namespace

TFileStream::TFileStream(std::string_view fileName, FileStreamMode mode) : m_fileName(fileName)
{
    const bool create = mode != FileStreamMode::OpenRead;
    // A name with a NUL byte would open a shorter, different name.
    if (m_fileName.find('\0') == std::string::npos) {
        switch (mode) {
        case FileStreamMode::OpenRead:
            m_handle.Reset(CreateFileA(m_fileName.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
            break;
        case FileStreamMode::Create:
            m_handle.Reset(CreateOrEmpty(m_fileName));
            break;
        case FileStreamMode::CreateNew:
            m_handle.Reset(CreateForWriting(m_fileName, CREATE_NEW));
            break;
        }
    }
    if (!m_handle) {
        if (create)
            throw EFCreateError(StrId::SFCreateError, {m_fileName});
        throw EFOpenError(StrId::SFOpenError, {m_fileName});
    }
}

namespace {

// ReadFile and WriteFile move at most 4 GiB - 1 at a time; larger requests go
// in pieces until the system moves less than asked. move runs one of them.
template <typename Byte, typename Move>
int64_t MoveInPieces(Byte* p, int64_t count, Move move)
{
    int64_t done = 0;
    while (done < count) {
        const DWORD piece = static_cast<DWORD>(std::min<int64_t>(count - done, 0x40000000));
        DWORD moved = 0;
        if (!move(p + done, piece, &moved))
            break;
        done += moved;
        if (moved < piece)
            break;
    }
    return done;
}

} // namespace

int64_t TFileStream::Read(void* buffer, int64_t count)
{
    return MoveInPieces(static_cast<char*>(buffer), count, [this](char* p, DWORD piece, DWORD* got) {
        return ReadFile(m_handle.Get(), p, piece, got, nullptr);
    });
}

int64_t TFileStream::Write(const void* buffer, int64_t count)
{
    return MoveInPieces(static_cast<const char*>(buffer), count, [this](const char* p, DWORD piece, DWORD* wrote) {
        return WriteFile(m_handle.Get(), p, piece, wrote, nullptr);
    });
}

int64_t TFileStream::Seek(int64_t offset, SeekOrigin origin)
{
    static const DWORD methods[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER position;
    if (!SetFilePointerEx(m_handle.Get(), distance, &position, methods[static_cast<int>(origin)]))
        return -1;
    return position.QuadPart;
}

// A stream over a file of the file system, opened exclusively.
#pragma once

#include <string>
#include <string_view>

#include "runtime/Handles.h"
#include "runtime/Stream.h"

enum class FileStreamMode {
    OpenRead,  // an existing file, read-only, sharing nothing
    Create,    // created or truncated, read and write, sharing nothing
    CreateNew, // created; a name that is already taken fails, and is left as it is
};

class TFileStream : public TStream {
public:
    // Raises EFOpenError "Cannot open file %s" or EFCreateError
    // "Cannot create file %s" with the name.
    TFileStream(std::string_view fileName, FileStreamMode mode);

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override;

    const std::string& FileName() const { return m_fileName; }
    // The open file, for questions to the system about it.
    HANDLE Handle() const { return m_handle.Get(); }

private:
    std::string m_fileName;
    FileHandle m_handle;
};

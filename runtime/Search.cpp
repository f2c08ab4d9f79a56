// Directory searches that pass over the entries whose attributes the caller
// excluded.
#include "runtime/Search.h"

namespace {

// Skips excluded entries, starting with the one in FindData, and copies the
// first one kept into the record.
int FindMatching(TSearchRec& record)
{
    while ((record.FindData.dwFileAttributes & static_cast<DWORD>(record.ExcludeAttr)) != 0) {
        if (!FindNextFileA(record.FindHandle.Get(), &record.FindData))
            return static_cast<int>(GetLastError());
    }
    const WIN32_FIND_DATAA& data = record.FindData;
    FILETIME local;
    WORD date = 0;
    WORD time = 0;
    if (!FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToDosDateTime(&local, &date, &time))
        date = time = 0xFFFF;  // outside what a DOS time can hold (before 1980 or after 2107)
    record.Time = static_cast<int32_t>(static_cast<uint32_t>(date) << 16 | time);
    record.Size = static_cast<int64_t>(static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow);
    record.Attr = static_cast<int>(data.dwFileAttributes);
    record.Name = data.cFileName;
    return 0;
}

} // namespace

int SearchFirst(std::string_view pattern, int attributes, TSearchRec& record)
{
    record.FindHandle.Reset();
    record.ExcludeAttr = ~attributes & (faHidden | faSystem | faVolumeID | faDirectory);
    const std::string name(pattern);
    if (name.find('\0') != std::string::npos)
        return ERROR_INVALID_NAME;
    record.FindHandle.Reset(FindFirstFileA(name.c_str(), &record.FindData));
    if (!record.FindHandle)
        return static_cast<int>(GetLastError());
    const int result = FindMatching(record);
    if (result != 0)
        record.FindHandle.Reset();
    return result;
}

int SearchNext(TSearchRec& record)
{
    if (!record.FindHandle)
        return ERROR_INVALID_HANDLE;
    if (!FindNextFileA(record.FindHandle.Get(), &record.FindData))
        return static_cast<int>(GetLastError());
    return FindMatching(record);
}

void SearchEnd(TSearchRec& record)
{
    record.FindHandle.Reset();
}

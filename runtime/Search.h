// Directory enumeration with attribute filtering: hidden, system, volume
// label and directory entries are returned only when asked for.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/Handles.h"

// Attribute bits of directory entries.
enum FileAttr : int {
    faReadOnly = 0x01,
    faHidden = 0x02,
    faSystem = 0x04,
    faVolumeID = 0x08,
    faDirectory = 0x10,
    faArchive = 0x20,
    faAnyFile = 0x3F,
};

struct TSearchRec {
    std::string Name;
    // NOTE: kept in 64 bits so that files of 4 GiB or more are not reported
    // with a wrapped size; entries smaller than that read the same.
    int64_t Size = 0;
    int Attr = 0;
    int32_t Time = 0;       // last write, as a local DOS date (high word) and time (low word)
    int ExcludeAttr = 0;    // the attribute bits that make an entry skipped
    SearchHandle FindHandle;
    WIN32_FIND_DATAA FindData = {};
};

// Starts a search; fills the record with the first entry that is not
// excluded. Returns 0, or the operating-system error code (the search is
// then already closed).
int SearchFirst(std::string_view pattern, int attributes, TSearchRec& record);
// The next entry that is not excluded: 0, or the operating-system error code.
int SearchNext(TSearchRec& record);
// Closes the search; the record's destructor does the same.
void SearchEnd(TSearchRec& record);

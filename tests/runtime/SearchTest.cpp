// Directory enumeration with attribute filtering, on a real folder holding
// files of every kind.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "runtime/Files.h"
#include "runtime/Search.h"
#include "tests/support/TempDir.h"

namespace {

struct Listing {
    std::map<std::string, int> attributes;  // name -> Attr
    std::map<std::string, int64_t> sizes;
    std::map<std::string, int32_t> times;
    int endCode = -1;                       // what ended the search
};

Listing List(const std::string& pattern, int attributes)
{
    Listing listing;
    TSearchRec record;
    int result = SearchFirst(pattern, attributes, record);
    while (result == 0 && listing.attributes.size() < 1000) {
        EXPECT_EQ(listing.attributes.count(record.Name), 0u) << record.Name << " returned twice";
        listing.attributes[record.Name] = record.Attr;
        listing.sizes[record.Name] = record.Size;
        listing.times[record.Name] = record.Time;
        result = SearchNext(record);
    }
    listing.endCode = result;
    SearchEnd(record);
    return listing;
}

std::string Names(const Listing& listing)
{
    std::string names;
    for (const auto& [name, attr] : listing.attributes)
        names += (names.empty() ? "" : " ") + name;
    return names;
}

// Sets attributes and checks that the file system kept them.
bool SetAttributes(const std::string& name, DWORD attributes)
{
    if (!SetFileAttributesA(name.c_str(), attributes))
        return false;
    const DWORD now = GetFileAttributesA(name.c_str());
    if (now == INVALID_FILE_ATTRIBUTES)
        return false;
    if (attributes == FILE_ATTRIBUTE_NORMAL)
        return (now & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
    return (now & attributes) == attributes;
}

// A folder with one entry of each kind the filter tells apart:
//   plain.txt (5 bytes), readonly.txt, archive.txt, hidden.txt, system.txt,
//   sub (a folder) and hiddensub (a hidden folder).
class SearchFolder {
public:
    SearchFolder()
    {
        m_dir.WriteFile("plain.txt", "hello");
        m_dir.WriteFile("readonly.txt", "r");
        m_dir.WriteFile("archive.txt", "a");
        m_dir.WriteFile("hidden.txt", "h");
        m_dir.WriteFile("system.txt", "s");
        CreateDirectoryPath(m_dir / "sub");
        CreateDirectoryPath(m_dir / "hiddensub");
        m_ready = SetAttributes(m_dir / "plain.txt", FILE_ATTRIBUTE_NORMAL) &&
                  SetAttributes(m_dir / "readonly.txt", FILE_ATTRIBUTE_READONLY) &&
                  SetAttributes(m_dir / "archive.txt", FILE_ATTRIBUTE_ARCHIVE) &&
                  SetAttributes(m_dir / "hidden.txt", FILE_ATTRIBUTE_HIDDEN) &&
                  SetAttributes(m_dir / "system.txt", FILE_ATTRIBUTE_SYSTEM) &&
                  SetAttributes(m_dir / "hiddensub", FILE_ATTRIBUTE_HIDDEN);
    }

    const TempDir& Dir() const { return m_dir; }
    std::string All() const { return m_dir / "*.*"; }
    bool Ready() const { return m_ready; }

private:
    TempDir m_dir;
    bool m_ready = false;
};

} // namespace

TEST(Search, AnyFileReturnsEveryEntryWithDotAndDotDot)
{
    SearchFolder folder;
    ASSERT_TRUE(folder.Ready()) << "the attributes could not be set";
    const Listing listing = List(folder.All(), faAnyFile);
    EXPECT_EQ(Names(listing), ". .. archive.txt hidden.txt hiddensub plain.txt readonly.txt sub system.txt");
    EXPECT_EQ(listing.endCode, ERROR_NO_MORE_FILES);
    EXPECT_NE(listing.attributes.at(".") & faDirectory, 0);
    EXPECT_NE(listing.attributes.at("..") & faDirectory, 0);
}

TEST(Search, NoAttributesSkipsDirectoriesHiddenAndSystemEntries)
{
    SearchFolder folder;
    ASSERT_TRUE(folder.Ready()) << "the attributes could not be set";
    const Listing listing = List(folder.All(), 0);
    EXPECT_EQ(Names(listing), "archive.txt plain.txt readonly.txt");
    EXPECT_EQ(listing.endCode, ERROR_NO_MORE_FILES);
    // Read-only and archive never exclude; asking for them changes nothing.
    EXPECT_EQ(Names(List(folder.All(), faReadOnly | faArchive)), "archive.txt plain.txt readonly.txt");
}

TEST(Search, EachRequestedBitAdmitsItsEntries)
{
    SearchFolder folder;
    ASSERT_TRUE(folder.Ready()) << "the attributes could not be set";
    EXPECT_EQ(Names(List(folder.All(), faHidden)), "archive.txt hidden.txt plain.txt readonly.txt");
    EXPECT_EQ(Names(List(folder.All(), faSystem)), "archive.txt plain.txt readonly.txt system.txt");
    // A hidden folder needs both bits.
    EXPECT_EQ(Names(List(folder.All(), faDirectory)), ". .. archive.txt plain.txt readonly.txt sub");
    EXPECT_EQ(Names(List(folder.All(), faHidden | faDirectory)),
              ". .. archive.txt hidden.txt hiddensub plain.txt readonly.txt sub");
}

TEST(Search, RecordDescribesTheEntry)
{
    SearchFolder folder;
    ASSERT_TRUE(folder.Ready()) << "the attributes could not be set";
    folder.Dir().WriteFile("big.bin", std::string(70000, 'b'));

    // A known local time, stored the way the file system keeps it (UTC).
    SYSTEMTIME st = {};
    st.wYear = 2001;
    st.wMonth = 2;
    st.wDay = 3;
    st.wHour = 12;
    st.wMinute = 34;
    st.wSecond = 56;
    FILETIME local;
    FILETIME utc;
    ASSERT_TRUE(SystemTimeToFileTime(&st, &local));
    ASSERT_TRUE(LocalFileTimeToFileTime(&local, &utc));
    HANDLE h = CreateFileA((folder.Dir() / "plain.txt").c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(SetFileTime(h, nullptr, nullptr, &utc));
    CloseHandle(h);

    const Listing listing = List(folder.All(), faAnyFile);
    EXPECT_EQ(listing.sizes.at("plain.txt"), 5);
    EXPECT_EQ(listing.sizes.at("big.bin"), 70000);
    EXPECT_EQ(listing.sizes.at("readonly.txt"), 1);

    const int32_t time = listing.times.at("plain.txt");
    const int date = static_cast<uint32_t>(time) >> 16;
    EXPECT_EQ(date, (2001 - 1980) << 9 | 2 << 5 | 3) << "year 2001, month 2, day 3";
    EXPECT_EQ(time & 0xFFFF, 12 << 11 | 34 << 5 | 56 / 2) << "12:34:56";

    EXPECT_NE(listing.attributes.at("readonly.txt") & faReadOnly, 0);
    EXPECT_NE(listing.attributes.at("archive.txt") & faArchive, 0);
    EXPECT_NE(listing.attributes.at("hidden.txt") & faHidden, 0);
    EXPECT_NE(listing.attributes.at("system.txt") & faSystem, 0);
    EXPECT_NE(listing.attributes.at("sub") & faDirectory, 0);
    EXPECT_EQ(listing.attributes.at("plain.txt") & (faReadOnly | faHidden | faSystem | faDirectory), 0);
    EXPECT_EQ(listing.attributes.at("sub") & (faHidden | faSystem), 0);
}

TEST(Search, SingleNamesAndWildcards)
{
    SearchFolder folder;
    ASSERT_TRUE(folder.Ready()) << "the attributes could not be set";
    TSearchRec record;
    ASSERT_EQ(SearchFirst(folder.Dir() / "plain.txt", 0, record), 0);
    EXPECT_EQ(record.Name, "plain.txt");
    EXPECT_EQ(SearchNext(record), ERROR_NO_MORE_FILES);
    SearchEnd(record);

    EXPECT_EQ(Names(List(folder.Dir() / "*.TXT", 0)), "archive.txt plain.txt readonly.txt");
    EXPECT_EQ(Names(List(folder.Dir() / "?lain.*", 0)), "plain.txt");
}

TEST(Search, FailuresReturnTheSystemCode)
{
    TempDir dir;
    TSearchRec record;
    EXPECT_EQ(SearchFirst(dir / "nothing*.xyz", faAnyFile, record), ERROR_FILE_NOT_FOUND);
    SearchEnd(record);
    EXPECT_EQ(SearchFirst(dir / "missing\\*.*", faAnyFile, record), ERROR_PATH_NOT_FOUND);
    SearchEnd(record);
    EXPECT_NE(SearchFirst(dir / std::string("a\0*", 3), faAnyFile, record), 0);
    SearchEnd(record);

    SCOPED_TRACE("every match excluded");
    dir.WriteFile("only.txt", "x");
    ASSERT_TRUE(SetAttributes(dir / "only.txt", FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(SearchFirst(dir / "only.txt", 0, record), ERROR_NO_MORE_FILES);
    SearchEnd(record);
    EXPECT_EQ(SearchFirst(dir / "only.txt", faHidden, record), 0);
    EXPECT_EQ(record.Name, "only.txt");
    SearchEnd(record);
}

TEST(Search, EndIsSafeToRepeat)
{
    SearchFolder folder;
    TSearchRec record;
    ASSERT_EQ(SearchFirst(folder.All(), faAnyFile, record), 0);
    SearchEnd(record);
    SearchEnd(record);
    EXPECT_NE(SearchNext(record), 0) << "a closed search has no next entry";

    TSearchRec never;
    SearchEnd(never);

    // A record can start a new search while one is open, and again after one ended.
    ASSERT_EQ(SearchFirst(folder.All(), faAnyFile, record), 0);
    ASSERT_EQ(SearchFirst(folder.Dir() / "plain.txt", 0, record), 0);
    EXPECT_EQ(record.Name, "plain.txt");
    EXPECT_EQ(SearchNext(record), ERROR_NO_MORE_FILES);
    SearchEnd(record);
}

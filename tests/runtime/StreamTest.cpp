// File streams on real files and the copy between streams that installs
// every file of the product.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/Exceptions.h"
#include "runtime/FileStream.h"
#include "runtime/Stream.h"
#include "tests/support/TempDir.h"

namespace {

// Bytes without a short period, so that a piece copied twice, skipped or
// shifted shows in the comparison.
std::string Pattern(size_t size, uint32_t seed = 1)
{
    std::string bytes(size, '\0');
    uint32_t x = seed;
    for (char& c : bytes) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 23);
    }
    return bytes;
}

DWORD OpenWithCreateFile(const std::string& name, DWORD access)
{
    HANDLE handle = CreateFileA(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return GetLastError();
    CloseHandle(handle);
    return 0;
}

// Copies a file of the given bytes with CopyStreamData and count 0 and
// returns what arrived.
std::string CopyWholeFile(const TempDir& dir, const std::string& bytes, int64_t* returned)
{
    dir.WriteFile("source.bin", bytes);
    {
        TFileStream source(dir / "source.bin", FileStreamMode::OpenRead);
        TFileStream destination(dir / "copy.bin", FileStreamMode::Create);
        *returned = CopyStreamData(destination, source, 0);
    }
    return dir.ReadFile("copy.bin");
}

// Passes reads on to another stream and notes the largest piece asked for.
class WatchedSource : public TStream {
public:
    explicit WatchedSource(TStream& inner) : m_inner(inner) {}
    int64_t Read(void* buffer, int64_t count) override
    {
        largestRead = std::max(largestRead, count);
        ++reads;
        return m_inner.Read(buffer, count);
    }
    int64_t Write(const void* buffer, int64_t count) override { return m_inner.Write(buffer, count); }
    int64_t Seek(int64_t offset, SeekOrigin origin) override { return m_inner.Seek(offset, origin); }

    int64_t largestRead = 0;
    int reads = 0;

private:
    TStream& m_inner;
};

// Stands in for a destination on a full disk: after a few bytes it accepts
// only part of what it is given, as a write to a full disk does.
class FullDiskStream : public TMemoryStream {
public:
    explicit FullDiskStream(int64_t room) : m_room(room) {}
    int64_t Write(const void* buffer, int64_t count) override
    {
        const int64_t accepted = std::min(count, m_room - Size());
        return accepted > 0 ? TMemoryStream::Write(buffer, accepted) : 0;
    }

private:
    int64_t m_room;
};

} // namespace

TEST(FileStream, OpenReadOfAMissingFileRaisesEFOpenError)
{
    TempDir dir;
    const std::string name = dir / "missing.bin";
    try {
        TFileStream stream(name, FileStreamMode::OpenRead);
        ADD_FAILURE() << "opened a missing file";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file " + name);
    }
    EXPECT_THROW(TFileStream(dir / "no folder\\x.bin", FileStreamMode::OpenRead), EFOpenError);
    EXPECT_THROW(TFileStream(dir.Path(), FileStreamMode::OpenRead), EFOpenError) << "a folder is no file";
}

TEST(FileStream, CreateInAMissingFolderOrNewOverAFileRaisesEFCreateError)
{
    TempDir dir;
    const std::string name = dir / "no folder\\new.bin";
    try {
        TFileStream stream(name, FileStreamMode::Create);
        ADD_FAILURE() << "created a file in a missing folder";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file " + name);
    }
    dir.WriteFile("keep", "x");
    EXPECT_THROW(TFileStream(dir / std::string("keep\0.bin", 9), FileStreamMode::Create), EFCreateError);
    EXPECT_EQ(dir.ReadFile("keep"), "x") << "the name before the NUL was truncated";
    EXPECT_THROW(TFileStream(dir / "keep", FileStreamMode::CreateNew), EFCreateError);
    EXPECT_EQ(dir.ReadFile("keep"), "x") << "a new file's creation emptied the one there";
}

TEST(FileStream, StreamsShareNothing)
{
    TempDir dir;
    dir.WriteFile("data.bin", "data");
    {
        TFileStream reader(dir / "data.bin", FileStreamMode::OpenRead);
        EXPECT_EQ(OpenWithCreateFile(dir / "data.bin", GENERIC_READ), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
        EXPECT_EQ(OpenWithCreateFile(dir / "data.bin", GENERIC_WRITE), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
        EXPECT_THROW(TFileStream(dir / "data.bin", FileStreamMode::OpenRead), EFOpenError);
    }
    EXPECT_EQ(OpenWithCreateFile(dir / "data.bin", GENERIC_READ), 0u) << "the stream let go of the file";
    {
        TFileStream writer(dir / "new.bin", FileStreamMode::Create);
        EXPECT_EQ(OpenWithCreateFile(dir / "new.bin", GENERIC_READ), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
        EXPECT_THROW(TFileStream(dir / "new.bin", FileStreamMode::Create), EFCreateError);
    }
}

TEST(FileStream, ReadsWritesAndSeeks)
{
    TempDir dir;
    dir.WriteFile("old.bin", std::string(1000, 'o'));
    {
        TFileStream stream(dir / "old.bin", FileStreamMode::Create);
        EXPECT_EQ(stream.Size(), 0) << "creating truncates";
        EXPECT_EQ(stream.FileName(), dir / "old.bin");
        stream.WriteBuffer("0123456789", 10);
        EXPECT_EQ(stream.Position(), 10);
        EXPECT_EQ(stream.Size(), 10);
        EXPECT_EQ(stream.Seek(3, SeekOrigin::Beginning), 3);
        char four[4];
        stream.ReadBuffer(four, 4);
        EXPECT_EQ(std::string(four, 4), "3456");
        EXPECT_EQ(stream.Seek(-2, SeekOrigin::End), 8);
        EXPECT_EQ(stream.Seek(1, SeekOrigin::Current), 9);
        char rest[4];
        EXPECT_EQ(stream.Read(rest, 4), 1) << "a read at the end returns what there is";
        EXPECT_EQ(rest[0], '9');
        EXPECT_EQ(stream.Read(rest, 4), 0);
        EXPECT_THROW(stream.ReadBuffer(rest, 1), EReadError);
    }
    EXPECT_EQ(dir.ReadFile("old.bin"), "0123456789");
}

TEST(CopyStreamData, EmptySourceCopiesNothingAndReturnsZero)
{
    TempDir dir;
    int64_t returned = -1;
    EXPECT_EQ(CopyWholeFile(dir, "", &returned), "");
    EXPECT_EQ(returned, 0);
}

TEST(CopyStreamData, WholeFilesArriveByteForByte)
{
    TempDir dir;
    for (size_t size : {size_t{1}, size_t{61439}, size_t{61440}, size_t{61441}, size_t{122880}, size_t{200000}}) {
        SCOPED_TRACE(size);
        const std::string bytes = Pattern(size, static_cast<uint32_t>(size));
        int64_t returned = -1;
        const std::string copy = CopyWholeFile(dir, bytes, &returned);
        EXPECT_EQ(returned, static_cast<int64_t>(size));
        EXPECT_EQ(copy.size(), size);
        EXPECT_TRUE(copy == bytes) << "the copy differs at byte "
                                   << std::mismatch(copy.begin(), copy.end(), bytes.begin(), bytes.end()).first - copy.begin();
    }
}

TEST(CopyStreamData, CountZeroCopiesFromTheStart)
{
    TempDir dir;
    const std::string bytes = Pattern(100000, 7);
    dir.WriteFile("source.bin", bytes);
    {
        TFileStream source(dir / "source.bin", FileStreamMode::OpenRead);
        source.SetPosition(50000);
        TFileStream destination(dir / "copy.bin", FileStreamMode::Create);
        EXPECT_EQ(CopyStreamData(destination, source, 0), 100000);
        EXPECT_EQ(source.Position(), 100000);
    }
    EXPECT_TRUE(dir.ReadFile("copy.bin") == bytes);
}

TEST(CopyStreamData, ExplicitCountCopiesFromTheCurrentPosition)
{
    TempDir dir;
    const std::string bytes = Pattern(200000, 9);
    dir.WriteFile("source.bin", bytes);
    {
        TFileStream source(dir / "source.bin", FileStreamMode::OpenRead);
        source.SetPosition(100);
        TFileStream destination(dir / "copy.bin", FileStreamMode::Create);
        EXPECT_EQ(CopyStreamData(destination, source, 5000), 5000);
        EXPECT_EQ(source.Position(), 5100);
        // A second copy goes on where the first ended, on both sides.
        EXPECT_EQ(CopyStreamData(destination, source, 70000), 70000);
        EXPECT_EQ(source.Position(), 75100);
        EXPECT_EQ(destination.Size(), 75000);
    }
    EXPECT_TRUE(dir.ReadFile("copy.bin") == bytes.substr(100, 75000));
}

TEST(CopyStreamData, PiecesAreAtMost61440Bytes)
{
    const std::string bytes = Pattern(200000, 3);
    TMemoryStream inner(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    WatchedSource source(inner);
    TMemoryStream destination;
    EXPECT_EQ(CopyStreamData(destination, source, 0), 200000);
    EXPECT_LE(source.largestRead, 61440);
    EXPECT_EQ(source.reads, (200000 + source.largestRead - 1) / source.largestRead) << "every piece but the last full";
    EXPECT_TRUE(std::string(destination.Data().begin(), destination.Data().end()) == bytes);

    SCOPED_TRACE("a small count takes a small piece");
    inner.SetPosition(0);
    WatchedSource small(inner);
    TMemoryStream smallCopy;
    EXPECT_EQ(CopyStreamData(smallCopy, small, 100), 100);
    EXPECT_EQ(small.largestRead, 100);
}

TEST(CopyStreamData, ShortSourceRaisesReadError)
{
    TempDir dir;
    dir.WriteFile("source.bin", Pattern(1000));
    TFileStream source(dir / "source.bin", FileStreamMode::OpenRead);
    TFileStream destination(dir / "copy.bin", FileStreamMode::Create);
    try {
        CopyStreamData(destination, source, 2000);
        ADD_FAILURE() << "no error for a source shorter than the count";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Stream read error");
    }

    source.SetPosition(900);
    EXPECT_THROW(CopyStreamData(destination, source, 101), EReadError);
    source.SetPosition(900);
    EXPECT_NO_THROW(CopyStreamData(destination, source, 100));

    source.SetPosition(0);
    EXPECT_THROW(CopyStreamData(destination, source, 70000), EReadError) << "short in the first piece";
}

TEST(CopyStreamData, ShortWriteRaisesWriteError)
{
    const std::string bytes = Pattern(100000, 5);
    TMemoryStream source(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    FullDiskStream destination(70000);
    try {
        CopyStreamData(destination, source, 0);
        ADD_FAILURE() << "no error for a destination that took less";
    } catch (const EWriteError& e) {
        EXPECT_EQ(e.Message(), "Stream write error");
    }

    source.SetPosition(0);
    FullDiskStream roomy(100000);
    EXPECT_EQ(CopyStreamData(roomy, source, 0), 100000) << "exactly enough room is enough";
}

TEST(MemoryStream, ReadsWritesAndSeeks)
{
    TMemoryStream stream;
    EXPECT_EQ(stream.Size(), 0);
    stream.WriteBuffer("hello world", 11);
    EXPECT_EQ(stream.Size(), 11);
    EXPECT_EQ(stream.Position(), 11);

    stream.SetPosition(6);
    stream.WriteBuffer("WORLD!", 6);
    EXPECT_EQ(stream.Size(), 12) << "writing past the end grows the stream";

    stream.SetPosition(0);
    char buffer[16] = {};
    EXPECT_EQ(stream.Read(buffer, 16), 12);
    EXPECT_EQ(std::string(buffer, 12), "hello WORLD!");
    EXPECT_EQ(stream.Read(buffer, 1), 0);
    EXPECT_THROW(stream.ReadBuffer(buffer, 1), EReadError);

    EXPECT_EQ(stream.Seek(-6, SeekOrigin::End), 6);
    EXPECT_EQ(stream.Seek(2, SeekOrigin::Current), 8);
    EXPECT_EQ(stream.Read(buffer, 2), 2);
    EXPECT_EQ(std::string(buffer, 2), "RL");

    stream.Clear();
    EXPECT_EQ(stream.Size(), 0);
    EXPECT_EQ(stream.Position(), 0);
    EXPECT_TRUE(stream.Data().empty());
}

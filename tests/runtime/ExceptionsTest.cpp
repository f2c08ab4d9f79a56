// The messages users see for failures: the string table inside the
// executable, the placeholders filled into its texts, and the text chosen for
// each input/output error code.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "runtime/Exceptions.h"
#include "runtime/Format.h"
#include "runtime/ResStrings.h"

namespace {

// The text of a string-table entry as the window library reads it from the
// executable's resources.
std::string TextInExecutable(unsigned id)
{
    char buffer[1024];
    const int length = LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

} // namespace

TEST(ResStrings, TextsComeFromTheExecutablesStringTable)
{
    EXPECT_EQ(LoadResString(StrId::SFileNotFound), "File not found");
    EXPECT_EQ(LoadResString(StrId::SInOutError), "I/O error %d");
    EXPECT_EQ(LoadResString(StrId::SInvalidInteger), "'%s' is not a valid integer value");
    EXPECT_EQ(LoadResString(StrId::SWriteError), "Stream write error");

    // Every entry, across the 16-string blocks the table is stored in.
    const std::vector<std::pair<StrId, std::string>> entries = {
#define STRING(name, id, text) {StrId::name, text},
#include "resources/StringTable.def"
#undef STRING
    };
    ASSERT_FALSE(entries.empty());
    for (const auto& [id, text] : entries) {
        SCOPED_TRACE(static_cast<unsigned>(id));
        const std::string inExecutable = TextInExecutable(static_cast<unsigned>(id));
        EXPECT_EQ(inExecutable, text) << "the resource differs from the list";
        EXPECT_EQ(LoadResString(id), inExecutable);
    }
}

TEST(ResStrings, MissingEntryNamesItsId)
{
    const auto missing = static_cast<StrId>(1009);
    ASSERT_EQ(TextInExecutable(1009), "") << "1009 is expected to be unused";
    EXPECT_EQ(LoadResString(missing), "String resource 1009 not found");
}

TEST(Format, FillsPlaceholdersInOrder)
{
    EXPECT_EQ(Format("Cannot open file %s", {"C:\\SETUP.FLS"}), "Cannot open file C:\\SETUP.FLS");
    EXPECT_EQ(Format("%s", {std::string("owned")}), "owned");
    EXPECT_EQ(Format("I/O error %d", {32}), "I/O error 32");
    EXPECT_EQ(Format("%d", {-5}), "-5");
    EXPECT_EQ(Format("%d", {2147483647}), "2147483647");
    EXPECT_EQ(Format("%x", {255}), "ff");
    EXPECT_EQ(Format("%X", {255}), "FF");
    EXPECT_EQ(Format("%x", {-1}), "ffffffff") << "hexadecimal shows the 32-bit pattern";
    EXPECT_EQ(Format("%x", {0x80004005u}), "80004005");
    EXPECT_EQ(Format("100%%", {}), "100%");
    EXPECT_EQ(Format("%%d", {7}), "%d") << "an escaped percent sign takes no argument";
    EXPECT_EQ(Format("%s has %d of %s", {"disk", 10, "20"}), "disk has 10 of 20");
    EXPECT_EQ(Format("%s", {42}), "42");
    EXPECT_EQ(Format("no placeholders", {1, 2}), "no placeholders");
    EXPECT_EQ(Format("", {}), "");
    EXPECT_EQ(Format("50%", {}), "50%") << "a percent sign at the end stays";
}

TEST(Format, MismatchesShowAMarker)
{
    EXPECT_EQ(Format("a %s b", {}), "a %? b") << "missing argument";
    EXPECT_EQ(Format("%d", {"text"}), "%?") << "text for a number";
    EXPECT_EQ(Format("%x", {"text"}), "%?");
    EXPECT_EQ(Format("%q%s", {"x"}), "%qx") << "an unknown placeholder uses no argument";
}

TEST(Exceptions, MessagesComeFromTheStringTable)
{
    EXPECT_EQ(Exception(StrId::SFOpenError, {"A:\\X.TXT"}).Message(), "Cannot open file A:\\X.TXT");
    EXPECT_EQ(EConvertError(StrId::SInvalidInteger, {"12a"}).Message(), "'12a' is not a valid integer value");
    EXPECT_EQ(EReadError(StrId::SReadError).Message(), "Stream read error");
    EXPECT_STREQ(EWriteError(StrId::SWriteError).what(), "Stream write error");
    EXPECT_EQ(EAbort().Message(), "");

    Exception changed("before");
    changed.SetMessage("after");
    EXPECT_EQ(changed.Message(), "after");
    EXPECT_STREQ(changed.what(), "after");
}

TEST(Exceptions, InOutErrorMessageIsChosenByCode)
{
    const std::vector<std::pair<int, std::string>> cases = {
        {2, "File not found"},
        {3, "Invalid filename"},
        {4, "Too many open files"},
        {5, "File access denied"},
        {100, "Read beyond end of file"},
        {101, "Disk full"},
        {106, "Invalid numeric input"},
        {1, "I/O error 1"},
        {6, "I/O error 6"},
        {32, "I/O error 32"},
        {102, "I/O error 102"},
        {103, "I/O error 103"},
        {104, "I/O error 104"},
        {105, "I/O error 105"},
        {107, "I/O error 107"},
        {112, "I/O error 112"},
    };
    for (const auto& [code, message] : cases) {
        SCOPED_TRACE(code);
        const EInOutError error(code);
        EXPECT_EQ(error.ErrorCode, code);
        EXPECT_EQ(error.Message(), message);
    }
}

TEST(Exceptions, ClassesCanBeCaughtByTheirBases)
{
    auto caughtAs = [](auto thrower) -> std::string {
        try {
            thrower();
        } catch (const EFOpenError&) {
            return "EFOpenError";
        } catch (const EReadError&) {
            return "EReadError";
        } catch (const EFilerError&) {
            return "EFilerError";
        } catch (const EStreamError&) {
            return "EStreamError";
        } catch (const Exception&) {
            return "Exception";
        } catch (...) {
            return "other";
        }
        return "nothing";
    };
    EXPECT_EQ(caughtAs([] { throw EFOpenError(StrId::SFOpenError, {"x"}); }), "EFOpenError");
    EXPECT_EQ(caughtAs([] { throw EFCreateError(StrId::SFCreateError, {"x"}); }), "EStreamError");
    EXPECT_EQ(caughtAs([] { throw EWriteError(StrId::SWriteError); }), "EFilerError");
    EXPECT_EQ(caughtAs([] { throw EReadError(StrId::SReadError); }), "EReadError");
    EXPECT_EQ(caughtAs([] { throw EInOutError(2); }), "Exception");
    EXPECT_EQ(caughtAs([] { throw EConvertError(StrId::SInvalidInteger, {"x"}); }), "Exception");
    EXPECT_EQ(caughtAs([] { throw EAbort(); }), "Exception");
}

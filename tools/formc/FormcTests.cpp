// Tests of the form compiler: the text format, the bytes it produces for
// every kind of value, and the errors it reports for bad sources.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tools/formc/Driver.h"
#include "tools/formc/FormCompiler.h"
#include "tools/formc/FormSource.h"

using namespace formc;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

// Builds expected streams piece by piece, independently of the writer.
class Expect {
public:
    Expect& Byte(uint8_t b)
    {
        m_bytes.push_back(b);
        return *this;
    }
    Expect& Raw(std::string_view s)
    {
        m_bytes.insert(m_bytes.end(), s.begin(), s.end());
        return *this;
    }
    Expect& Short(std::string_view s)  // length byte, characters
    {
        Byte(static_cast<uint8_t>(s.size()));
        return Raw(s);
    }
    Expect& Le16(uint16_t v) { return Byte(v & 0xFF).Byte(v >> 8); }
    Expect& Le32(uint32_t v) { return Byte(v & 0xFF).Byte((v >> 8) & 0xFF).Byte((v >> 16) & 0xFF).Byte(v >> 24); }
    Expect& Header(std::string_view cls, std::string_view name) { return Raw("TPF0").Short(cls).Short(name); }
    Bytes Get() const { return m_bytes; }

private:
    Bytes m_bytes;
};

Bytes NoFiles(const std::string& name, int line)
{
    throw FormError(line, "no file " + name);
}

Bytes Compile(std::string_view source, const FileLoader& files = NoFiles)
{
    return CompileForm(ParseForm(source), files);
}

// The stream of a root "TF F" with one property record Name = value and no
// children, for comparing single values.
Bytes OneProperty(const Bytes& value)
{
    Bytes b = Expect().Header("TF", "F").Short("P").Get();
    b.insert(b.end(), value.begin(), value.end());
    b.push_back(0);  // end of properties
    b.push_back(0);  // end of children
    return b;
}

Bytes CompileValue(const std::string& valueText, const FileLoader& files = NoFiles)
{
    return Compile("TF F { P = " + valueText + " }", files);
}

// Expects a FormError at the line with a message containing the fragment.
void ExpectError(std::string_view source, int line, const std::string& fragment, const FileLoader& files = NoFiles)
{
    try {
        Compile(source, files);
        ADD_FAILURE() << "no error for:\n" << source;
    } catch (const FormError& e) {
        EXPECT_EQ(e.Line(), line) << e.what();
        EXPECT_NE(std::string(e.what()).find(fragment), std::string::npos)
            << "message '" << e.what() << "' lacks '" << fragment << "'";
    }
}

} // namespace

TEST(FormcValues, IntegersTakeTheSmallestCode)
{
    EXPECT_EQ(CompileValue("0"), OneProperty(Expect().Byte(2).Byte(0).Get()));
    EXPECT_EQ(CompileValue("127"), OneProperty(Expect().Byte(2).Byte(0x7F).Get()));
    EXPECT_EQ(CompileValue("128"), OneProperty(Expect().Byte(3).Le16(128).Get()));
    EXPECT_EQ(CompileValue("-128"), OneProperty(Expect().Byte(2).Byte(0x80).Get()));
    EXPECT_EQ(CompileValue("-129"), OneProperty(Expect().Byte(3).Le16(0xFF7F).Get()));
    EXPECT_EQ(CompileValue("32767"), OneProperty(Expect().Byte(3).Le16(0x7FFF).Get()));
    EXPECT_EQ(CompileValue("32768"), OneProperty(Expect().Byte(4).Le32(32768).Get()));
    EXPECT_EQ(CompileValue("-32768"), OneProperty(Expect().Byte(3).Le16(0x8000).Get()));
    EXPECT_EQ(CompileValue("-32769"), OneProperty(Expect().Byte(4).Le32(0xFFFF7FFF).Get()));
    EXPECT_EQ(CompileValue("2147483647"), OneProperty(Expect().Byte(4).Le32(0x7FFFFFFF).Get()));
    EXPECT_EQ(CompileValue("-2147483648"), OneProperty(Expect().Byte(4).Le32(0x80000000).Get()));
}

TEST(FormcValues, IntegersOutsideThe32BitRangeAreRefused)
{
    ExpectError("TF F {\n P = 2147483648\n}", 2, "outside the 32-bit range");
    ExpectError("TF F {\n P = -2147483649\n}", 2, "outside the 32-bit range");
    ExpectError("TF F {\n P = 99999999999999999999999\n}", 2, "outside the 32-bit range");
}

TEST(FormcValues, StringsWithEscapes)
{
    const Bytes got = CompileValue(R"("a\"b\\c\r\n\t\x41\xff")");
    const std::string text = "a\"b\\c\r\n\tA\xff";
    EXPECT_EQ(got, OneProperty(Expect().Byte(6).Short(text).Get()));
}

TEST(FormcValues, EmptyStringIsStillAString)
{
    EXPECT_EQ(CompileValue("\"\""), OneProperty(Expect().Byte(6).Byte(0).Get()));
}

TEST(FormcValues, AdjacentStringLiteralsAreJoined)
{
    EXPECT_EQ(CompileValue("\"Hard \"\n  \"Drive\""), OneProperty(Expect().Byte(6).Short("Hard Drive").Get()));
}

TEST(FormcValues, StringOf255CharactersIsShortAnd256IsLong)
{
    const std::string s255(255, 'x');
    EXPECT_EQ(CompileValue("\"" + s255 + "\""), OneProperty(Expect().Byte(6).Short(s255).Get()));
    const std::string s256(256, 'y');
    EXPECT_EQ(CompileValue("\"" + s256 + "\""), OneProperty(Expect().Byte(12).Le32(256).Raw(s256).Get()));
}

TEST(FormcValues, IdentifiersAndTheThreeSpecialOnes)
{
    EXPECT_EQ(CompileValue("clBlack"), OneProperty(Expect().Byte(7).Short("clBlack").Get()));
    EXPECT_EQ(CompileValue("False"), OneProperty(Expect().Byte(8).Get()));
    EXPECT_EQ(CompileValue("True"), OneProperty(Expect().Byte(9).Get()));
    EXPECT_EQ(CompileValue("nil"), OneProperty(Expect().Byte(13).Get()));
    // The reader compares names ignoring case, and so do these three.
    EXPECT_EQ(CompileValue("TRUE"), OneProperty(Expect().Byte(9).Get()));
    EXPECT_EQ(CompileValue("false"), OneProperty(Expect().Byte(8).Get()));
    // A reference to a component of another form keeps its dot.
    EXPECT_EQ(CompileValue("Form2.Button1"), OneProperty(Expect().Byte(7).Short("Form2.Button1").Get()));
}

TEST(FormcValues, Sets)
{
    EXPECT_EQ(CompileValue("{}"), OneProperty(Expect().Byte(11).Byte(0).Get()));
    EXPECT_EQ(CompileValue("{ fsBold }"), OneProperty(Expect().Byte(11).Short("fsBold").Byte(0).Get()));
    EXPECT_EQ(CompileValue("{biSystemMenu, biMinimize}"),
              OneProperty(Expect().Byte(11).Short("biSystemMenu").Short("biMinimize").Byte(0).Get()));
}

TEST(FormcValues, ListsNestAndHoldAnyValue)
{
    EXPECT_EQ(CompileValue("()"), OneProperty(Expect().Byte(1).Byte(0).Get()));
    EXPECT_EQ(CompileValue("( \"a\", 300, x, (True) )"),
              OneProperty(Expect()
                              .Byte(1)
                              .Byte(6).Short("a")
                              .Byte(3).Le16(300)
                              .Byte(7).Short("x")
                              .Byte(1).Byte(9).Byte(0)
                              .Byte(0)
                              .Get()));
}

TEST(FormcValues, FloatIsTenBytesOfExtendedPrecision)
{
    const Bytes got = CompileValue("1.5");
    // 1.5 = 1.1 (binary) x 2^0: mantissa C000000000000000, exponent 3FFF.
    EXPECT_EQ(got, OneProperty(Expect().Byte(5).Le32(0).Le32(0xC0000000).Le16(0x3FFF).Get()));
    const Bytes negative = CompileValue("-2.0");
    EXPECT_EQ(negative, OneProperty(Expect().Byte(5).Le32(0).Le32(0x80000000).Le16(0xC000).Get()));
    const Bytes exponent = CompileValue("25e-1");  // 2.5 = 1.01 x 2^1
    EXPECT_EQ(exponent, OneProperty(Expect().Byte(5).Le32(0).Le32(0xA0000000).Le16(0x4000).Get()));
}

TEST(FormcValues, FileIsBinaryOfTheFilesBytes)
{
    std::string asked;
    int askedLine = 0;
    const FileLoader files = [&](const std::string& name, int line) {
        asked = name;
        askedLine = line;
        return Bytes{1, 2, 3, 0, 255};
    };
    const Bytes got = Compile("TF F {\n\n P = file(\"form.ico\")\n}", files);
    EXPECT_EQ(asked, "form.ico");
    EXPECT_EQ(askedLine, 3);
    EXPECT_EQ(got, OneProperty(Expect().Byte(10).Le32(5).Byte(1).Byte(2).Byte(3).Byte(0).Byte(255).Get()));
}

TEST(FormcValues, BitmapIsPictureDataWithClassNameAndLength)
{
    const FileLoader files = [](const std::string&, int) { return Bytes{'B', 'M', 7, 8}; };
    const Bytes got = CompileValue("bitmap(\"logo.bmp\")", files);
    EXPECT_EQ(got, OneProperty(Expect()
                                   .Byte(10)
                                   .Le32(1 + 7 + 4 + 4)
                                   .Short("TBitmap")
                                   .Le32(4)
                                   .Raw("BM")
                                   .Byte(7)
                                   .Byte(8)
                                   .Get()));
}

TEST(FormcValues, BitmapMustBeABitmapFile)
{
    const FileLoader files = [](const std::string&, int) { return Bytes{'M', 'Z', 0}; };
    ExpectError("TF F {\n P = bitmap(\"a.bmp\")\n}", 2, "not a bitmap file", files);
}

TEST(FormcValues, MissingFileIsReportedAtItsLine)
{
    ExpectError("TF F {\n Left = 1\n Icon.Data = file(\"gone.ico\")\n}", 3, "no file gone.ico");
}

TEST(FormcValues, FileAndBitmapAreOrdinaryIdentifiersWithoutParentheses)
{
    EXPECT_EQ(CompileValue("file"), OneProperty(Expect().Byte(7).Short("file").Get()));
    EXPECT_EQ(CompileValue("collection"), OneProperty(Expect().Byte(7).Short("collection").Get()));
}

TEST(FormcValues, Collections)
{
    const Bytes got = CompileValue("collection { [0] ( A = 1 ) ( B = \"x\"  C = 200 ) [5] () }");
    EXPECT_EQ(got, OneProperty(Expect()
                                   .Byte(14)
                                   .Byte(2).Byte(0)  // index 0
                                   .Byte(1).Short("A").Byte(2).Byte(1).Byte(0)
                                   .Byte(1).Short("B").Byte(6).Short("x").Short("C").Byte(3).Le16(200).Byte(0)
                                   .Byte(2).Byte(5)  // index 5
                                   .Byte(1).Byte(0)
                                   .Byte(0)
                                   .Get()));
    EXPECT_EQ(CompileValue("collection {}"), OneProperty(Expect().Byte(14).Byte(0).Get()));
}

TEST(FormcRecords, PropertiesInSourceOrderThenChildrenNested)
{
    const Bytes got = Compile(R"(// a form
TForm1 Form1 {
    Left = 203            // first
    Font.Name = "Arial"
    TPanel Panel1 {
        TLabel Label1 { Caption = "x" }
    }
    TButton Button1 {}
})");
    const Bytes expected = Expect()
                               .Header("TForm1", "Form1")
                               .Short("Left").Byte(3).Le16(203)
                               .Short("Font.Name").Byte(6).Short("Arial")
                               .Byte(0)
                               .Short("TPanel").Short("Panel1")
                               .Byte(0)
                               .Short("TLabel").Short("Label1")
                               .Short("Caption").Byte(6).Short("x")
                               .Byte(0)
                               .Byte(0)
                               .Byte(0)  // end of Panel1's children
                               .Short("TButton").Short("Button1")
                               .Byte(0)
                               .Byte(0)
                               .Byte(0)  // end of Form1's children
                               .Get();
    EXPECT_EQ(got, expected);
}

TEST(FormcRecords, EmptyRoot)
{
    EXPECT_EQ(Compile("TForm2 Form2 {}"), Expect().Header("TForm2", "Form2").Byte(0).Byte(0).Get());
}

TEST(FormcErrors, LineNumbersOfBadInput)
{
    ExpectError("TF F {\n  Left = \n}", 3, "expected a value, found '}'");
    ExpectError("TF F {\n  Left 5\n}", 2, "expected a property");
    ExpectError("TF F {\n\n  Caption = \"open\n}", 3, "no closing '\"'");
    ExpectError("TF F {\n  Caption = \"a\\qb\"\n}", 2, "unknown escape sequence \\q");
    ExpectError("TF F {\n  Caption = \"a\\x4\"\n}", 2, "two hexadecimal digits");
    ExpectError("TF F {\n  Left = 1\n", 3, "has no closing '}'");
    ExpectError("TF F {\n  Left = 1 ;\n}", 2, "unexpected character ';'");
    ExpectError("TF F {\n  Left = 12ab\n}", 2, "'12ab' is not a valid number");
    ExpectError("TF F {\n  Ratio = 1.\n}", 2, "digits must follow the decimal point");
    ExpectError("TF F {\n  Font. = 1\n}", 2, "a name must follow the '.'");
    ExpectError("TF F {\n  S = { a, }\n}", 2, "expected a set element name");
    ExpectError("TF F {\n  S = { a b }\n}", 2, "',' or '}' in the set");
    ExpectError("TF F {\n  S = { a, A }\n}", 2, "given twice");
    ExpectError("TF F {\n  L = ( 1 2 )\n}", 2, "',' or ')' in the list");
    ExpectError("TF F {\n  C = collection { [-1] () }\n}", 2, "index must be an integer of 0 or more");
    ExpectError("TF F {\n  C = collection { ( 1 ) }\n}", 2, "in the collection item");
    ExpectError("TF F {\n  I = file(x)\n}", 2, "takes a file name in quotes");
    ExpectError("TF F {\n  I = file(\"a\"\n}", 3, "')' to close file(");
    ExpectError("", 1, "expected a class name, found the end of the file");
    ExpectError("TF {\n}", 1, "expected a component name, found '{'");
    ExpectError("TF F {}\nTG G {}", 2, "only one root component");
    ExpectError("TF F {\n  \x01\n}", 2, "unexpected character byte 0x01");
}

TEST(FormcErrors, DeepNestingIsRefusedNotACrash)
{
    const std::string deepList = "TF F {\n P = " + std::string(100000, '(') + "\n}";
    ExpectError(deepList, 2, "nested more than 200 levels deep");
    std::string deepComponents;
    for (int i = 0; i < 300; ++i)
        deepComponents += "TC C" + std::to_string(i) + " {\n";
    ExpectError(deepComponents, 201, "nested more than 200 levels deep");  // the 201st record
    // Two hundred levels are still fine.
    EXPECT_NO_THROW(Compile("TF F {\n P = " + std::string(199, '(') + std::string(199, ')') + "\n}"));
}

TEST(FormcErrors, PropertyAfterChildIsRefused)
{
    ExpectError("TF F {\n  TL L1 {}\n  Left = 1\n}", 3, "properties of a record come before its children");
}

TEST(FormcErrors, DuplicatesAreRefused)
{
    ExpectError("TF F {\n  Left = 1\n  left = 2\n}", 3, "property left is already set in this record (line 2)");
    ExpectError("TF F {\n  TL Label1 {}\n  TP P {\n    TL label1 {}\n  }\n}", 4,
                "a component named label1 already exists (line 2)");
    // The same property in two different records is fine.
    EXPECT_NO_THROW(Compile("TF F {\n Left = 1\n TL L { Left = 2 }\n}"));
}

TEST(FormcErrors, NamesLongerThanAShortString)
{
    const std::string longName(256, 'a');
    ExpectError("TF F {\n  " + longName + " = 1\n}", 2, "the property path is longer than 255");
    ExpectError("TF F {\n  P = " + longName + "\n}", 2, "the identifier is longer than 255");
    const std::string name255(255, 'b');
    EXPECT_NO_THROW(Compile("TF F {\n  " + name255 + " = " + name255 + "\n}"));
}

// The command-line driver, on real files.
class FormcDriver : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() /
                ("formc_tests_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir / "inc1");
        fs::create_directories(m_dir / "inc2");
        fs::create_directories(m_dir / "src");
    }
    void TearDown() override { fs::remove_all(m_dir); }

    static void WriteFile(const fs::path& path, const std::string& contents)
    {
        std::ofstream(path, std::ios::binary) << contents;
    }
    static std::string ReadFile(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    int Run(const std::vector<std::string>& args)
    {
        m_err.str("");
        return RunFormc(args, m_err);
    }

    fs::path m_dir;
    std::ostringstream m_err;
};

TEST_F(FormcDriver, WritesTheStream)
{
    const fs::path src = m_dir / "src" / "T.form";
    const fs::path out = m_dir / "T.bin";
    WriteFile(src, "TForm1 Form1 {\n  Left = 203\n}\n");
    ASSERT_EQ(Run({src.string(), out.string()}), 0) << m_err.str();
    EXPECT_EQ(m_err.str(), "");
    const Bytes expected = Expect().Header("TForm1", "Form1").Short("Left").Byte(3).Le16(203).Byte(0).Byte(0).Get();
    const std::string got = ReadFile(out);
    EXPECT_EQ(Bytes(got.begin(), got.end()), expected);
}

TEST_F(FormcDriver, SearchesIncludeDirectoriesInOrderThenTheSourcesDirectory)
{
    const fs::path src = m_dir / "src" / "T.form";
    const fs::path out = m_dir / "T.bin";
    WriteFile(src, "TF F {\n  A = file(\"a.dat\")\n  B = file(\"b.dat\")\n  C = file(\"c.dat\")\n}\n");
    WriteFile(m_dir / "inc2" / "a.dat", "2");
    WriteFile(m_dir / "inc1" / "b.dat", "1");
    WriteFile(m_dir / "inc2" / "b.dat", "2");
    WriteFile(m_dir / "src" / "b.dat", "s");
    WriteFile(m_dir / "src" / "c.dat", "s");
    ASSERT_EQ(Run({"-I", (m_dir / "inc1").string(), "-I" + (m_dir / "inc2").string(), src.string(), out.string()}), 0)
        << m_err.str();
    const Bytes expected = Expect()
                               .Header("TF", "F")
                               .Short("A").Byte(10).Le32(1).Raw("2")
                               .Short("B").Byte(10).Le32(1).Raw("1")
                               .Short("C").Byte(10).Le32(1).Raw("s")
                               .Byte(0)
                               .Byte(0)
                               .Get();
    const std::string got = ReadFile(out);
    EXPECT_EQ(Bytes(got.begin(), got.end()), expected);
}

TEST_F(FormcDriver, ErrorGoesToStderrWithFileAndLineAndLeavesNoOutput)
{
    const fs::path src = m_dir / "src" / "Bad.form";
    const fs::path out = m_dir / "Bad.bin";
    WriteFile(out, "stale");
    WriteFile(src, "TF F {\n  Left = 1\n  Top = \n}\n");
    EXPECT_EQ(Run({src.string(), out.string()}), 1);
    EXPECT_EQ(m_err.str(), src.string() + ":4: expected a value, found '}'\n");
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(FormcDriver, MissingFileNamesTheSearchedDirectories)
{
    const fs::path src = m_dir / "src" / "T.form";
    WriteFile(src, "TF F {\n  Icon.Data = file(\"none.ico\")\n}\n");
    EXPECT_EQ(Run({"-I", (m_dir / "inc1").string(), src.string(), (m_dir / "T.bin").string()}), 1);
    const std::string expected = src.string() + ":2: file 'none.ico' not found (searched " +
                                 (m_dir / "inc1").string() + ", " + (m_dir / "src").string() + ")\n";
    EXPECT_EQ(m_err.str(), expected);
}

TEST_F(FormcDriver, UnreadableInputAndBadCommandLines)
{
    EXPECT_EQ(Run({(m_dir / "nothing.form").string(), (m_dir / "x.bin").string()}), 1);
    EXPECT_EQ(m_err.str(), (m_dir / "nothing.form").string() + ": cannot read the file\n");
    EXPECT_EQ(Run({"only-one-argument"}), 2);
    EXPECT_NE(m_err.str().find("usage: formc"), std::string::npos);
    EXPECT_EQ(Run({"-x", "a", "b"}), 2);
    EXPECT_EQ(m_err.str(), "formc: unknown option -x\n");
    EXPECT_EQ(Run({"a", "b", "-I"}), 2);
    EXPECT_EQ(m_err.str(), "formc: -I needs a directory\n");
}

TEST_F(FormcDriver, UnwritableOutputIsReported)
{
    const fs::path src = m_dir / "src" / "T.form";
    WriteFile(src, "TF F {}\n");
    const fs::path out = m_dir / "no-such-dir" / "T.bin";
    EXPECT_EQ(Run({src.string(), out.string()}), 1);
    EXPECT_EQ(m_err.str(), out.string() + ": cannot write the file\n");
}

#include "tests/controls/ControlsTestSupport.h"

#include <algorithm>

#include "runtime/Files.h"
#include "runtime/Stream.h"

#include <windows.h>

Bytes WriteRoot(TComponent* root)
{
    TMemoryStream stream;
    {
        TWriter writer(stream);
        writer.WriteRootComponent(root);
    }
    return stream.Data();
}

Bytes RootStream(std::string_view className, std::string_view name, const std::function<void(TWriter&)>& properties)
{
    TMemoryStream stream;
    {
        TWriter writer(stream);
        writer.WriteSignature();
        writer.WriteStr(className);
        writer.WriteStr(name);
        if (properties)
            properties(writer);
        writer.WriteListEnd();
        writer.WriteListEnd();
        writer.FlushBuffer();
    }
    return stream.Data();
}

void ReadRoot(const Bytes& bytes, TComponent* root)
{
    TMemoryStream stream(bytes);
    TReader reader(stream);
    reader.ReadRootComponent(root);
}

bool Contains(const Bytes& bytes, std::string_view text)
{
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
}

Bytes After(const Bytes& bytes, std::string_view text, size_t count)
{
    auto at = std::search(bytes.begin(), bytes.end(), text.begin(), text.end());
    if (at == bytes.end())
        return {};
    at += static_cast<std::ptrdiff_t>(text.size());
    const size_t left = static_cast<size_t>(bytes.end() - at);
    return Bytes(at, at + static_cast<std::ptrdiff_t>(std::min(count, left)));
}

std::vector<std::string> PublishedNames(const TClassInfo& info)
{
    std::vector<std::string> names;
    for (const TPropInfo* prop : info.AllProperties())
        names.emplace_back(prop->Name);
    return names;
}

void ExpectOrdDefaults(const TObject& object, std::initializer_list<std::pair<const char*, int64_t>> defaults)
{
    for (const auto& [name, value] : defaults) {
        SCOPED_TRACE(name);
        const TPropInfo* prop = object.ClassInfo().FindProperty(name);
        ASSERT_NE(prop, nullptr);
        EXPECT_TRUE(prop->HasDefault);
        EXPECT_EQ(prop->Default, value);
        EXPECT_EQ(prop->GetOrd(&object), value);
    }
}

std::string NoSlash(std::string dir)
{
    if (dir.size() > 3 && dir.back() == '\\')
        dir.pop_back();
    return dir;
}

std::vector<std::string> ItemTexts(const TStrings& items)
{
    std::vector<std::string> texts;
    for (int i = 0; i < items.Count(); ++i)
        texts.push_back(items.Get(i));
    return texts;
}

void CurrentDirTest::SetUp()
{
    m_saved = CurrentDir();
}

void CurrentDirTest::TearDown()
{
    SetCurrentDirectoryA(m_saved.c_str());
}

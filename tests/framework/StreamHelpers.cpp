#include "tests/framework/StreamHelpers.h"

#include <algorithm>

#include "tools/fuzz/TestClasses.h"


TComponent* ReadStream(const Bytes& bytes, TComponent* root)
{
    TMemoryStream stream(bytes);
    TReader reader(stream);
    return reader.ReadRootComponent(root);
}

int ValueCodeOf(const Bytes& stream, std::string_view component, std::string_view path)
{
    auto shortString = [](std::string_view text) {
        Bytes s{static_cast<uint8_t>(text.size())};
        s.insert(s.end(), text.begin(), text.end());
        return s;
    };
    const Bytes name = shortString(component);
    const Bytes key = shortString(path);
    auto at = std::search(stream.begin(), stream.end(), name.begin(), name.end());
    if (at == stream.end())
        return -1;
    at = std::search(at + static_cast<ptrdiff_t>(name.size()), stream.end(), key.begin(), key.end());
    if (at == stream.end() || at + static_cast<ptrdiff_t>(key.size()) == stream.end())
        return -1;
    return at[static_cast<ptrdiff_t>(key.size())];
}

// ---------------------------------------------------------------------------

namespace {

std::vector<TComponent*>& GlobalRoots()
{
    static std::vector<TComponent*> roots;
    return roots;
}

TComponent* FindGlobalRoot(std::string_view name)
{
    for (TComponent* root : GlobalRoots())
        if (SameName(root->Name(), name))
            return root;
    return nullptr;
}

} // namespace

ScopedGlobalRoots::ScopedGlobalRoots() : m_previous(TReader::SetFindGlobalComponent(&FindGlobalRoot)) {}

ScopedGlobalRoots::~ScopedGlobalRoots()
{
    GlobalRoots().clear();
    TReader::SetFindGlobalComponent(m_previous);
}

void ScopedGlobalRoots::Add(TComponent* root)
{
    GlobalRoots().push_back(root);
}

void ScopedGlobalRoots::Remove(TComponent* root)
{
    std::erase(GlobalRoots(), root);
}

// ---------------------------------------------------------------------------

void FrameworkTest::SetUp()
{
    TestLog().clear();
    m_aliveBefore = TestInstanceCounter::Alive();
    m_fixupsBefore = TReader::PendingGlobalFixups();
}

void FrameworkTest::TearDown()
{
    EXPECT_EQ(TestInstanceCounter::Alive(), m_aliveBefore) << "test objects outlived the test";
    EXPECT_EQ(TReader::PendingGlobalFixups(), m_fixupsBefore) << "global fix-ups outlived the test";
}

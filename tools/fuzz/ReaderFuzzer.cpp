// The fuzz target of the component stream reader. Each input is read as a
// whole stream twice: into a new stand-in form (the way a form reads its
// resource) and with no root, so that the stream's own class is created.
// Stream errors are the expected outcome for most inputs and are ignored;
// a crash, a leak, undefined behaviour, a hang, an exception of another
// kind, or a test object or global fix-up that outlives its root is a
// finding.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "framework/Reader.h"
#include "runtime/Exceptions.h"
#include "runtime/Stream.h"
#include "tools/fuzz/StandIns.h"

namespace {

// The root of the first read, known by name while the second read runs, so
// that the second one's global references and unique names can meet it.
TComponent* g_firstRoot = nullptr;  // not owned: cleared before the root is freed

TComponent* FindRoot(std::string_view name)
{
    return g_firstRoot && SameName(g_firstRoot->Name(), name) ? g_firstRoot : nullptr;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    RegisterStandIns();
    TReader::SetFindGlobalComponent(&FindRoot);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<uint8_t> bytes(data, data + size);

    auto* form = new TStandInForm(nullptr);
    try {
        TMemoryStream stream(bytes);
        TReader reader(stream);
        reader.ReadRootComponent(form);
    } catch (const Exception&) {
        // Refused: what the reader made of the stream is gone already.
    }

    g_firstRoot = form;
    try {
        TMemoryStream stream(bytes);
        TComponent* root = nullptr;
        {
            TReader reader(stream);
            root = reader.ReadRootComponent(nullptr);
        }
        TComponent::Free(root);
    } catch (const Exception&) {
        // Refused, as above; a root the reader created is freed with the error.
    }
    g_firstRoot = nullptr;
    TComponent::Free(form);

    // Both roots are gone: so must be everything read into them and every
    // reference that waited for a root.
    if (TestInstanceCounter::Alive() != 0 || TReader::PendingGlobalFixups() != 0)
        std::abort();
    // The test classes log what they do, for tests that look; here the log
    // would only grow.
    TestLog().clear();
    return 0;
}

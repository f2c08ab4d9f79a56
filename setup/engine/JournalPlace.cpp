// Where the journals of runs are kept and named.
#include "setup/engine/JournalPlace.h"

#include <sddl.h>
#include <shlobj.h>

#include <cstring>

#include "runtime/Handles.h"
#include "runtime/Paths.h"
#include "runtime/Registry.h"

namespace {

// The registry key of the journals, and its values: the journal's full
// name and its file's identity.
constexpr char JournalKey[] = "Software\\Brisdane95Setup";
constexpr char JournalValue[] = "Journal";
constexpr char JournalIdValue[] = "JournalId";
constexpr char FolderName[] = "Brisdane95Setup";
// The identity's bytes: the volume's serial, the file's index, and the run's
// token, which the journal's own record repeats.
constexpr size_t IdentitySize = 20;

// Only administrators and the system, nothing inherited: what a program
// without the setup's rights may neither write nor swap.
constexpr char ProtectedDescriptor[] = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

RegistryKey OpenJournalKey(const JournalPlace& place, REGSAM access, bool create)
{
    HKEY key = nullptr;
    const LONG status = create ? RegCreateKeyExA(place.Root, place.Key.c_str(), 0, nullptr, 0, access, nullptr, &key,
                                                 nullptr)
                               : RegOpenKeyExA(place.Root, place.Key.c_str(), 0, access, &key);
    return RegistryKey(status == ERROR_SUCCESS ? key : nullptr);
}

} // namespace

JournalSecurity::JournalSecurity(bool wanted)
{
    if (wanted && ConvertStringSecurityDescriptorToSecurityDescriptorA(ProtectedDescriptor, SDDL_REVISION_1,
                                                                       &m_descriptor, nullptr))
        m_attributes.lpSecurityDescriptor = m_descriptor;
}

JournalSecurity::~JournalSecurity()
{
    if (m_descriptor)
        LocalFree(m_descriptor);
}

JournalPlace DefaultJournalPlace()
{
    JournalPlace place;
    place.Key = JournalKey;
    // With administrator rights, the journals must be kept from programs
    // without them.
    const bool machine = MayWriteMachine();
    place.Root = machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    place.Protected = machine;
    char folder[MAX_PATH + 1] = {};
    if (SUCCEEDED(SHGetFolderPathA(nullptr, (machine ? CSIDL_COMMON_APPDATA : CSIDL_LOCAL_APPDATA) | CSIDL_FLAG_CREATE,
                                   nullptr, SHGFP_TYPE_CURRENT, folder))) {
        place.Folder = JoinDir(folder, FolderName) + "\\";
    } else {
        char temp[MAX_PATH + 1] = {};
        GetTempPathA(sizeof temp, temp);
        place.Folder = JoinDir(temp, FolderName) + "\\";
    }
    return place;
}

bool NameJournal(const JournalPlace& place, const JournalName& name)
{
    const RegistryKey key = OpenJournalKey(place, KEY_SET_VALUE, true);
    if (!key)
        return false;
    BYTE identity[IdentitySize];
    std::memcpy(identity, &name.Id.Volume, 4);
    std::memcpy(identity + 4, &name.Id.Index, 8);
    std::memcpy(identity + 12, &name.Token, 8);
    const bool named =
        RegSetValueExA(key.Get(), JournalValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(name.Path.c_str()),
                       static_cast<DWORD>(name.Path.size() + 1)) == ERROR_SUCCESS &&
        RegSetValueExA(key.Get(), JournalIdValue, 0, REG_BINARY, identity, sizeof identity) == ERROR_SUCCESS;
    // The name must outlive a power cut as the journal does.
    return named && RegFlushKey(key.Get()) == ERROR_SUCCESS;
}

std::optional<JournalName> NamedJournal(const JournalPlace& place)
{
    JournalName named;
    const RegistryKey key = OpenJournalKey(place, KEY_QUERY_VALUE, false);
    if (!key)
        return std::nullopt;
    char name[MAX_PATH + 1] = {};
    DWORD type = 0, size = MAX_PATH;
    if (RegQueryValueExA(key.Get(), JournalValue, nullptr, &type, reinterpret_cast<BYTE*>(name), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    named.Path.assign(name, strnlen(name, size));
    BYTE identity[IdentitySize] = {};
    size = sizeof identity;
    if (RegQueryValueExA(key.Get(), JournalIdValue, nullptr, &type, identity, &size) != ERROR_SUCCESS ||
        type != REG_BINARY || size != sizeof identity)
        return named; // a name without an identity matches no file
    std::memcpy(&named.Id.Volume, identity, 4);
    std::memcpy(&named.Id.Index, identity + 4, 8);
    std::memcpy(&named.Token, identity + 12, 8);
    return named;
}

void ForgetLeftJournal(const JournalPlace& place, const std::string& onlyPath)
{
    if (!onlyPath.empty()) {
        const std::optional<JournalName> named = NamedJournal(place);
        if (!named || UpperCaseAscii(named->Path) != UpperCaseAscii(onlyPath))
            return;
    }
    const RegistryKey key = OpenJournalKey(place, KEY_SET_VALUE, false);
    if (!key)
        return;
    RegDeleteValueA(key.Get(), JournalValue);
    RegDeleteValueA(key.Get(), JournalIdValue);
    // NOTE: not flushed: a name that a power cut brings back names a journal
    // that is gone, which the next start only forgets.
}

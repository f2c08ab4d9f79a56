// The product's key under the system's Uninstall key: its values, its
// writing and putting back, and its removal.
#include "setup/engine/Registration.h"

#include <cctype>
#include <cstdio>
#include <ctime>

#include "runtime/Format.h"
#include "runtime/Files.h"
#include "runtime/Handles.h"
#include "runtime/Paths.h"
#include "runtime/Registry.h"
#include "runtime/ResStrings.h"
#include "setup/engine/ScriptFormat.h"
#include "setup/engine/SetupState.h"
#include "setup/engine/UninstallLog.h"

namespace {

constexpr char MachinePrefix[] = "HKLM\\";
constexpr char UserPrefix[] = "HKCU\\";
constexpr size_t LongestName = 64;

// Removes every value of the open key.
void DeleteAllValues(HKEY key)
{
    for (;;) {
        char name[16384];
        DWORD size = sizeof name;
        if (RegEnumValueA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return;
        if (RegDeleteValueA(key, name) != ERROR_SUCCESS)
            return;
    }
}

std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const unsigned char byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

std::optional<std::string> Unhex(const std::string& text)
{
    if (text.size() % 2 != 0)
        return std::nullopt;
    const auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    std::string bytes;
    bytes.reserve(text.size() / 2);
    for (size_t index = 0; index < text.size(); index += 2) {
        const int high = digit(text[index]);
        const int low = digit(text[index + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes += static_cast<char>(high * 16 + low);
    }
    return bytes;
}

void PutNumber(std::string& bytes, uint32_t number)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes += static_cast<char>((number >> shift) & 0xFF);
}

bool TakeNumber(const std::string& bytes, size_t& at, uint32_t& number)
{
    if (bytes.size() - at < 4)
        return false;
    number = 0;
    for (int shift = 0; shift < 32; shift += 8)
        number |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at++])) << shift;
    return true;
}

bool TakeBytes(const std::string& bytes, size_t& at, std::string& out)
{
    uint32_t size = 0;
    if (!TakeNumber(bytes, at, size) || bytes.size() - at < size)
        return false;
    out = bytes.substr(at, size);
    at += size;
    return true;
}

std::string Today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    return text;
}

} // namespace

RegistrationPlace DefaultRegistrationPlace()
{
    return {MayWriteMachine() ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, UninstallKeyPath};
}

std::string RegistrationName(const std::string& title)
{
    std::string name;
    for (const char c : title)
        if (std::isalnum(static_cast<unsigned char>(c)) && static_cast<unsigned char>(c) < 128 &&
            name.size() < LongestName)
            name += c;
    return name.empty() ? "Product" : name;
}

RegistryValue StringValue(const std::string& name, const std::string& text)
{
    return {name, REG_SZ, text + '\0'};
}

RegistryValue NumberValue(const std::string& name, DWORD number)
{
    std::string bytes;
    PutNumber(bytes, number);
    return {name, REG_DWORD, bytes};
}

std::string ValueText(const RegistryValues& values, const std::string& name)
{
    for (const RegistryValue& value : values)
        if (value.Type == REG_SZ && UpperCaseAscii(value.Name) == UpperCaseAscii(name))
            return value.Data.substr(0, value.Data.find('\0'));
    return std::string();
}

std::optional<RegistryValues> ReadKeyValues(HKEY root, const std::string& key)
{
    HKEY raw = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS)
        return std::nullopt;
    const RegistryKey opened(raw);
    RegistryValues values;
    for (DWORD index = 0;; ++index) {
        char name[16384];
        DWORD nameSize = sizeof name;
        DWORD type = 0;
        DWORD dataSize = 0;
        if (RegEnumValueA(opened.Get(), index, name, &nameSize, nullptr, &type, nullptr, &dataSize) != ERROR_SUCCESS)
            break;
        std::string data(dataSize, '\0');
        nameSize = sizeof name;
        if (RegEnumValueA(opened.Get(), index, name, &nameSize, nullptr, &type,
                          reinterpret_cast<BYTE*>(data.data()), &dataSize) != ERROR_SUCCESS)
            break;
        data.resize(dataSize);
        values.push_back({std::string(name, nameSize), type, std::move(data)});
    }
    return values;
}

void WriteKeyValues(HKEY root, const std::string& key, const RegistryValues& values)
{
    const auto fail = [&](LONG status) {
        throw ERegistryException(Format(LoadResString(StrId::SRegistrationNotWritten),
                                        {KeyText(root, key), SystemErrorText(static_cast<DWORD>(status))}));
    };
    HKEY raw = nullptr;
    if (const LONG status =
            RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &raw, nullptr);
        status != ERROR_SUCCESS)
        fail(status);
    const RegistryKey opened(raw);
    DeleteAllValues(opened.Get());
    for (const RegistryValue& value : values)
        if (const LONG status =
                RegSetValueExA(opened.Get(), value.Name.c_str(), 0, value.Type,
                               reinterpret_cast<const BYTE*>(value.Data.data()), static_cast<DWORD>(value.Data.size()));
            status != ERROR_SUCCESS)
            fail(status);
    // NOTE: the key must be on disk before the journal says the run is
    // complete, as every file of the run is.
    RegFlushKey(opened.Get());
}

bool PutKeyBack(HKEY root, const std::string& key, const std::optional<RegistryValues>& earlier)
{
    if (!earlier) {
        const LONG status = RegDeleteTreeA(root, key.c_str());
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
    }
    try {
        WriteKeyValues(root, key, *earlier);
        return true;
    } catch (const ERegistryException&) {
        return false;
    }
}

std::string KeyText(HKEY root, const std::string& key)
{
    return (root == HKEY_LOCAL_MACHINE ? MachinePrefix : UserPrefix) + key;
}

std::optional<std::pair<HKEY, std::string>> ProductKeyOfText(const std::string& text)
{
    HKEY root = nullptr;
    std::string key;
    if (text.rfind(MachinePrefix, 0) == 0)
        root = HKEY_LOCAL_MACHINE;
    else if (text.rfind(UserPrefix, 0) == 0)
        root = HKEY_CURRENT_USER;
    else
        return std::nullopt;
    key = text.substr(5);
    // A product's key is one plain name directly below a key named
    // Uninstall: nothing else of the registry is a run's to delete.
    const size_t last = key.rfind('\\');
    if (last == std::string::npos)
        return std::nullopt;
    const std::string name = key.substr(last + 1);
    const std::string parent = UpperCaseAscii(key.substr(0, last));
    const bool belowUninstall = parent == "UNINSTALL" || (parent.size() > 10 && parent.rfind("\\UNINSTALL") == parent.size() - 10);
    if (!belowUninstall || name.empty() || name != RegistrationName(name) || key.find("\\\\") != std::string::npos)
        return std::nullopt;
    return std::pair{root, key};
}

std::string ValuesText(const std::optional<RegistryValues>& values)
{
    if (!values)
        return "-";
    std::string bytes;
    for (const RegistryValue& value : *values) {
        PutNumber(bytes, static_cast<uint32_t>(value.Name.size()));
        bytes += value.Name;
        PutNumber(bytes, value.Type);
        PutNumber(bytes, static_cast<uint32_t>(value.Data.size()));
        bytes += value.Data;
    }
    return "+" + Hex(bytes);
}

std::optional<std::optional<RegistryValues>> ValuesOfText(const std::string& text)
{
    if (text == "-")
        return std::optional<RegistryValues>();
    if (text.empty() || text[0] != '+')
        return std::nullopt;
    const std::optional<std::string> bytes = Unhex(text.substr(1));
    if (!bytes)
        return std::nullopt;
    RegistryValues values;
    for (size_t at = 0; at < bytes->size();) {
        RegistryValue value;
        uint32_t type = 0;
        if (!TakeBytes(*bytes, at, value.Name) || !TakeNumber(*bytes, at, type) || !TakeBytes(*bytes, at, value.Data))
            return std::nullopt;
        value.Type = type;
        values.push_back(std::move(value));
    }
    return std::optional<RegistryValues>(std::move(values));
}

RegistryValues ProductRegistration(const SetupState& state, uint64_t installedBytes, const std::string& uninstaller,
                                   const std::string& log)
{
    // The product's own program gives the icon when the first Start Menu
    // item starts one; the uninstaller's otherwise.
    std::string icon = uninstaller;
    if (!state.Script.ItemList.empty()) {
        const std::string target = ResolvePath(state, state.Script.ItemList.front().Target);
        if (target.size() > 4 && UpperCaseAscii(target.substr(target.size() - 4)) == ".EXE")
            icon = target;
    }
    const std::string uninstall = "\"" + uninstaller + "\" /uninstall=\"" + log + "\"";
    return {
        StringValue("DisplayName", state.ProductTitle),
        StringValue("DisplayVersion", state.ProductVersion),
        StringValue("Publisher", state.Publisher),
        StringValue("InstallLocation", state.DestDir),
        StringValue("InstallDate", Today()),
        NumberValue("EstimatedSize", static_cast<DWORD>((installedBytes + 1023) / 1024)),
        StringValue("DisplayIcon", icon),
        StringValue("UninstallString", uninstall),
        StringValue("QuietUninstallString", uninstall + " /quiet"),
        NumberValue("NoModify", 1),
        NumberValue("NoRepair", 1),
    };
}

std::vector<FoundRegistration> RegistrationsOfFolder(const SetupState& state, const std::string& name,
                                                     const std::string& folder)
{
    std::vector<FoundRegistration> found;
    if (name != RegistrationName(name))
        return found;
    std::vector<HKEY> roots{state.Registrations.Root};
    if (state.Registrations.Root != HKEY_CURRENT_USER)
        roots.push_back(HKEY_CURRENT_USER);
    for (const HKEY root : roots) {
        const std::string key = state.Registrations.Key + "\\" + name;
        const std::optional<RegistryValues> values = ReadKeyValues(root, key);
        if (!values)
            continue;
        const std::string location = ValueText(*values, "InstallLocation");
        // NOTE: the same rule as for the log's D record: the key names this
        // very folder, under any spelling; any other key is another
        // installation's, whatever the log says.
        if (!location.empty() && NamesFolder(location, folder))
            found.push_back({root, key, location});
    }
    return found;
}

bool RemoveRegistration(const FoundRegistration& found)
{
    const std::optional<RegistryValues> values = ReadKeyValues(found.Root, found.Key);
    if (!values)
        return true;
    if (ValueText(*values, "InstallLocation") != found.InstallLocation)
        return false;
    return RegDeleteTreeA(found.Root, found.Key.c_str()) == ERROR_SUCCESS;
}

// The registry class's work: opening its one key for full access or for
// reading, listing the key's value names and reading its string values.
#include "runtime/Registry.h"

#include <vector>

bool TRegistry::Open(const std::string& path, REGSAM access)
{
    m_currentKey.Reset();
    HKEY key = nullptr;
    if (RegOpenKeyExA(m_rootKey, path.c_str(), 0, access, &key) != ERROR_SUCCESS)
        return false;
    m_currentKey.Reset(key);
    return true;
}

bool TRegistry::OpenKey(const std::string& path)
{
    return Open(path, KEY_ALL_ACCESS);
}

bool TRegistry::OpenKeyReadOnly(const std::string& path)
{
    return Open(path, KEY_READ);
}

std::vector<std::string> TRegistry::GetValueNames() const
{
    std::vector<std::string> names;
    if (!m_currentKey)
        return names;
    // Value names are at most 16,383 characters.
    std::vector<char> name(16384);
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        const LONG result =
            RegEnumValueA(m_currentKey.Get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result == ERROR_SUCCESS)
            names.emplace_back(name.data(), length);
    }
    return names;
}

std::string TRegistry::ReadExpandedString(const std::string& name) const
{
    char data[MAX_PATH * 4] = {};
    DWORD type = REG_NONE;
    // One byte is kept back, so that data stored without its terminator
    // still ends in one.
    DWORD size = sizeof data - 1;
    if (!m_currentKey ||
        RegQueryValueExA(m_currentKey.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::string();
    if (type == REG_SZ)
        return data;
    char expanded[MAX_PATH * 4];
    const DWORD length = ExpandEnvironmentStringsA(data, expanded, sizeof expanded);
    return length > 0 && length <= sizeof expanded ? std::string(expanded) : std::string();
}

std::string TRegistry::ReadString(const std::string& name) const
{
    // The first query learns the type and the size, the second reads the data.
    DWORD type = REG_NONE;
    DWORD size = 0;
    LONG result = RegQueryValueExA(m_currentKey.Get(), name.c_str(), nullptr, &type, nullptr, &size);
    if (result == ERROR_FILE_NOT_FOUND)
        return std::string();
    if (result != ERROR_SUCCESS)
        throw ERegistryException(StrId::SRegGetDataFailed, {name});
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw ERegistryException(StrId::SInvalidRegType, {name});
    if (size == 0)
        return std::string();

    // One byte more than reported, so that data stored without its
    // terminator still ends in one here.
    std::vector<char> data(size + 1, '\0');
    result = RegQueryValueExA(m_currentKey.Get(), name.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(data.data()), &size);
    if (result != ERROR_SUCCESS)
        throw ERegistryException(StrId::SRegGetDataFailed, {name});
    // NOTE: the value may have changed its type between the two queries; the
    // text is only taken from string data.
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw ERegistryException(StrId::SInvalidRegType, {name});
    return std::string(data.data());
}

bool MayWriteMachine()
{
    HKEY software = nullptr;
    const bool may = RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_CREATE_SUB_KEY, &software) == ERROR_SUCCESS;
    if (software)
        RegCloseKey(software);
    return may;
}

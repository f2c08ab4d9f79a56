#include "framework/Registry.h"

#include <vector>

bool TRegistry::OpenKey(const std::string& path)
{
    m_currentKey.Reset();
    HKEY key = nullptr;
    if (RegOpenKeyExA(m_rootKey, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    m_currentKey.Reset(key);
    return true;
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

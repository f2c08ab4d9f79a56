#include "tests/support/RegistryKeys.h"

#include <sddl.h>

#include <gtest/gtest.h>

#include "runtime/Registry.h"

namespace {

RegistryKey CreateKey(const std::string& path)
{
    HKEY key = nullptr;
    const LONG result = RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                        &key, nullptr);
    EXPECT_EQ(result, ERROR_SUCCESS) << "cannot create HKCU\\" << path;
    return RegistryKey(result == ERROR_SUCCESS ? key : nullptr);
}

} // namespace

SavedRegistryKey::SavedRegistryKey(std::string path) : m_path(std::move(path))
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, m_path.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return;
    RegistryKey key(opened);
    m_existed = true;
    DWORD subKeys = 0;
    RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr);
    EXPECT_EQ(subKeys, 0u) << "HKCU\\" << m_path << " has subkeys, which would not be restored";
    for (DWORD index = 0;; ++index) {
        char name[16384];
        DWORD nameSize = sizeof name;
        BYTE data[16384];
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        if (RegEnumValueA(key.Get(), index, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        m_values.push_back(Value{std::string(name, nameSize), type, std::vector<BYTE>(data, data + dataSize)});
    }
}

SavedRegistryKey::~SavedRegistryKey()
{
    DeleteRegistryKey(m_path);
    if (!m_existed)
        return;
    RegistryKey key = CreateKey(m_path);
    for (const Value& value : m_values)
        EXPECT_EQ(RegSetValueExA(key.Get(), value.Name.c_str(), 0, value.Type, value.Data.data(),
                                 static_cast<DWORD>(value.Data.size())),
                  ERROR_SUCCESS)
            << "cannot restore HKCU\\" << m_path << " value " << value.Name;
}

TestRegistryKey::TestRegistryKey()
{
    static unsigned counter = 0;
    m_path = "Software\\SetupTests\\Key" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
    DeleteRegistryKey(m_path);
    if (RegCreateKeyExA(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr) !=
        ERROR_SUCCESS)
        ADD_FAILURE() << "cannot create HKCU\\" << m_path;
}

TestRegistryKey::~TestRegistryKey()
{
    if (m_key)
        RegCloseKey(m_key);
    DeleteRegistryKey(m_path);
    // The parent goes too once no other test's key is left in it.
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\SetupTests");
}

ReadOnlyRegistryKey::ReadOnlyRegistryKey(std::string path) : m_path(std::move(path))
{
    Apply();
}

void ReadOnlyRegistryKey::Apply()
{
    HKEY opened = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, m_path.c_str(), 0, READ_CONTROL | WRITE_DAC, &opened), ERROR_SUCCESS);
    RegistryKey key(opened);
    DWORD size = 0;
    RegGetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, nullptr, &size);
    std::vector<BYTE> saved(size);
    ASSERT_EQ(RegGetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, saved.data(), &size), ERROR_SUCCESS);
    m_saved = std::move(saved);
    PSECURITY_DESCRIPTOR readOnly = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly,
                                                                     nullptr));
    EXPECT_EQ(RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, readOnly), ERROR_SUCCESS);
    LocalFree(readOnly);
}

ReadOnlyRegistryKey::~ReadOnlyRegistryKey()
{
    if (m_saved.empty())
        return;
    // The owner may always change the access list, even of a key it may not
    // write to.
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, m_path.c_str(), 0, WRITE_DAC, &opened) != ERROR_SUCCESS) {
        ADD_FAILURE() << "cannot restore the access list of HKCU\\" << m_path;
        return;
    }
    RegistryKey key(opened);
    EXPECT_EQ(RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, m_saved.data()), ERROR_SUCCESS);
}

void SetRegistryValue(const std::string& path, const std::string& name, DWORD type, const std::string& data)
{
    RegistryKey key = CreateKey(path);
    EXPECT_EQ(RegSetValueExA(key.Get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
}

void SetRegistryString(const std::string& path, const std::string& name, const std::string& text)
{
    SetRegistryValue(path, name, REG_SZ, std::string(text.c_str(), text.size() + 1));
}

void DeleteRegistryValue(const std::string& path, const std::string& name)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE, &opened) != ERROR_SUCCESS)
        return;
    RegistryKey key(opened);
    RegDeleteValueA(key.Get(), name.c_str());
}

void DeleteRegistryKey(const std::string& path)
{
    const LONG result = RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
    if (result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND)
        return;
    ADD_FAILURE() << "cannot remove HKCU\\" << path << ": error " << result;
}

// Real keys of the current user's registry for tests: a key saved with all
// its values and put back exactly as it was when the test ends, and a fresh
// key of the test's own that is removed when the test ends.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Saves the key at path below HKEY_CURRENT_USER (or that it is missing) and
// restores that state when destroyed: the key is removed and written again
// with the saved values. Only keys without subkeys are saved.
class SavedRegistryKey {
public:
    explicit SavedRegistryKey(std::string path);
    ~SavedRegistryKey();
    SavedRegistryKey(const SavedRegistryKey&) = delete;
    SavedRegistryKey& operator=(const SavedRegistryKey&) = delete;

    const std::string& Path() const { return m_path; }

private:
    struct Value {
        std::string Name;
        DWORD Type;
        std::vector<BYTE> Data;
    };
    std::string m_path;
    bool m_existed = false;
    std::vector<Value> m_values;
};

// A new key below HKEY_CURRENT_USER\Software, open for the test's writing and
// removed with its values when the test ends.
class TestRegistryKey {
public:
    TestRegistryKey();
    ~TestRegistryKey();
    TestRegistryKey(const TestRegistryKey&) = delete;
    TestRegistryKey& operator=(const TestRegistryKey&) = delete;

    // The path below HKEY_CURRENT_USER.
    const std::string& Path() const { return m_path; }
    HKEY Key() const { return m_key; }

private:
    std::string m_path;
    HKEY m_key = nullptr;
};

// While it exists, the key at path below HKEY_CURRENT_USER grants everyone
// reading only; its own access list is put back when it is destroyed.
class ReadOnlyRegistryKey {
public:
    explicit ReadOnlyRegistryKey(std::string path);
    ~ReadOnlyRegistryKey();
    ReadOnlyRegistryKey(const ReadOnlyRegistryKey&) = delete;
    ReadOnlyRegistryKey& operator=(const ReadOnlyRegistryKey&) = delete;

private:
    void Apply();

    std::string m_path;
    std::vector<BYTE> m_saved;  // the key's own security descriptor (its access list)
};

// Writes a value of any type to the key at path below HKEY_CURRENT_USER,
// creating the key; the data is taken as it is, terminator or not.
void SetRegistryValue(const std::string& path, const std::string& name, DWORD type, const std::string& data);
// A string value with its terminator.
void SetRegistryString(const std::string& path, const std::string& name, const std::string& text);
// Removes one value; a missing value is no failure.
void DeleteRegistryValue(const std::string& path, const std::string& name);
// Removes the key at path below HKEY_CURRENT_USER with everything below it.
void DeleteRegistryKey(const std::string& path);

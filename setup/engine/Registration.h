// The product's registration with Windows: the one key under the system's
// Uninstall key through which the Apps list and deployment tools find the
// product and start its uninstaller. Its values, its place (the machine's
// with administrator rights, the current user's without), its writing and
// putting back for the installation's journal, and its removal when an
// uninstallation has taken everything away.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct SetupState;

constexpr char UninstallKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// Where the Uninstall keys are: the machine's part of the registry when this
// process may write there, else the current user's.
struct RegistrationPlace {
    HKEY Root = HKEY_CURRENT_USER;
    // The key below the root that holds one key for each product.
    std::string Key = UninstallKeyPath;
};

// The place for this process, by its rights.
RegistrationPlace DefaultRegistrationPlace();

// The product's key name, made from its title alone so that every
// installation of the product finds the same key: its letters and digits,
// at most 64 of them; "Product" for a title without any.
std::string RegistrationName(const std::string& title);

// One value of a key: its name, its type and its bytes as stored.
struct RegistryValue {
    std::string Name;
    DWORD Type = REG_SZ;
    std::string Data;

    bool operator==(const RegistryValue& other) const = default;
};
using RegistryValues = std::vector<RegistryValue>;

// A string value, stored with its terminating null.
RegistryValue StringValue(const std::string& name, const std::string& text);
RegistryValue NumberValue(const std::string& name, DWORD number);
// The text of a string value of the list, empty when it has none.
std::string ValueText(const RegistryValues& values, const std::string& name);

// The values of the key, none when the key is not there.
std::optional<RegistryValues> ReadKeyValues(HKEY root, const std::string& key);
// Makes the key hold exactly these values (its subkeys are left alone);
// raises ERegistryException, naming the key, when it cannot.
void WriteKeyValues(HKEY root, const std::string& key, const RegistryValues& values);
// Puts the key back as it was: with the earlier values, or gone when there
// was none. Whether it could.
bool PutKeyBack(HKEY root, const std::string& key, const std::optional<RegistryValues>& earlier);

// A key as one line for the journal: "HKLM\" or "HKCU\" and its path.
std::string KeyText(HKEY root, const std::string& key);
// The root and path of such a line, none for any other text or for a key
// that is not a product's below an Uninstall key: only those are a run's.
std::optional<std::pair<HKEY, std::string>> ProductKeyOfText(const std::string& text);
// The earlier values as one line for the journal ("-" for no key), and
// back; none for a line that is neither.
std::string ValuesText(const std::optional<RegistryValues>& values);
std::optional<std::optional<RegistryValues>> ValuesOfText(const std::string& text);

// The values of the product's key after an installation into the state's
// destination of files taking installedBytes, with the uninstaller and log
// named.
RegistryValues ProductRegistration(const SetupState& state, uint64_t installedBytes, const std::string& uninstaller,
                                   const std::string& log);

// A product key found for an uninstallation: where it is, and the folder it
// named when it was found.
struct FoundRegistration {
    HKEY Root = HKEY_CURRENT_USER;
    std::string Key;
    std::string InstallLocation;
};

// The keys of the name, in the state's place and in the current user's,
// whose InstallLocation is the folder (compared by the folder's identity):
// a log can make an uninstallation remove no other key.
std::vector<FoundRegistration> RegistrationsOfFolder(const SetupState& state, const std::string& name,
                                                     const std::string& folder);
// Removes a key found so, while its InstallLocation is still the one it had;
// whether it is gone.
bool RemoveRegistration(const FoundRegistration& found);

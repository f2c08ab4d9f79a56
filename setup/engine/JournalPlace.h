// Where the journals of runs are kept and named: the folder, the registry
// key that names the journal of a run that has not ended, and the security
// that keeps both from programs without the setup's rights (Journal.h says
// why they must be kept so).
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "runtime/FileIdentity.h"

// Where the journals of runs are kept, and the registry key that names the
// journal of a run that has not ended. With administrator rights (the
// machine's part of the registry can be written) the folder is one of the
// machine's application data, made so that only administrators and the
// system may write in it, and the key is in HKEY_LOCAL_MACHINE; without
// them, both are the current user's, whose programs have the setup's rights
// anyway.
struct JournalPlace {
    // The folder, with its backslash.
    std::string Folder;
    HKEY Root = HKEY_CURRENT_USER;
    std::string Key;
    // Whether the folder and the journals get a security descriptor that
    // lets only administrators and the system in.
    bool Protected = false;
};

// The place for this process, by its rights.
JournalPlace DefaultJournalPlace();

// How the place's key names a journal: its full name, its file's identity
// and the run's random token, which the journal repeats.
struct JournalName {
    std::string Path;
    FileId Id;
    uint64_t Token = 0;
};

// Names the journal in the place's key, flushed to disk; whether it could.
bool NameJournal(const JournalPlace& place, const JournalName& name);
// The journal the place's key names, none when it names none.
std::optional<JournalName> NamedJournal(const JournalPlace& place);
// Forgets a journal that is not carried out, or is done with: the
// registry's name of it goes (only while it names onlyPath, when that is
// given); the file is left as it is.
void ForgetLeftJournal(const JournalPlace& place, const std::string& onlyPath = std::string());

// The security of a protected place's folder and journals: only
// administrators and the system, nothing inherited; none for a place that
// is not protected. Freed with the object.
class JournalSecurity {
public:
    explicit JournalSecurity(bool wanted);
    ~JournalSecurity();
    JournalSecurity(const JournalSecurity&) = delete;
    JournalSecurity& operator=(const JournalSecurity&) = delete;

    PSECURITY_DESCRIPTOR Get() const { return m_descriptor; }
    // Attributes for a creation: none when no descriptor is wanted.
    SECURITY_ATTRIBUTES* Attributes() { return m_descriptor ? &m_attributes : nullptr; }

private:
    PSECURITY_DESCRIPTOR m_descriptor = nullptr;
    SECURITY_ATTRIBUTES m_attributes{sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};
};

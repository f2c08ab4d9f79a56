// A small registry class: it opens one key below a root (the current user's
// unless told otherwise) and reads string values from it. It wraps the
// registry, not a window, so it lies below the window framework. The setup
// reads the registry through it; the keys the setup writes (its journal's
// name, the product's registration) are written where they are kept, in
// the part of the registry that MayWriteMachine chooses.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "runtime/Exceptions.h"
#include "runtime/Handles.h"

// Whether this process may write the machine's part of the registry
// (HKEY_LOCAL_MACHINE\Software): then it has administrator rights.
bool MayWriteMachine();

class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

class TRegistry {
public:
    // The root key is HKEY_CURRENT_USER unless another predefined key is
    // given; no key is open yet.
    TRegistry() = default;
    explicit TRegistry(HKEY rootKey) : m_rootKey(rootKey) {}
    // Closes the open key.
    ~TRegistry() = default;
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey() const { return m_rootKey; }

    // Opens the key at the path below the root, never creating it, asking
    // for full access (read and write). Returns whether it opened; a key that
    // is missing or refuses full access leaves no key open.
    bool OpenKey(const std::string& path);
    // Opens the key for reading only. Returns whether it opened.
    bool OpenKeyReadOnly(const std::string& path);

    // The names of every value of the open key; none when no key is open.
    std::vector<std::string> GetValueNames() const;

    // The text of a string value (plain or expandable, not expanded) of the
    // open key, up to its first null character; an empty text when the value
    // does not exist. Raises ERegistryException when the value holds another
    // type of data, or when its data cannot be read.
    std::string ReadString(const std::string& name) const;
    // The text of a string value with the environment's variables put in
    // when it is of the expandable kind; an empty text when the value is
    // missing, holds another type of data or does not fit a path, since the
    // callers look for folders and have no use for anything else.
    std::string ReadExpandedString(const std::string& name) const;

private:
    bool Open(const std::string& path, REGSAM access);

    HKEY m_rootKey = HKEY_CURRENT_USER;
    RegistryKey m_currentKey;
};

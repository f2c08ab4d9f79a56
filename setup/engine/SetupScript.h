// The setup script read once into a value: the product's title, version and
// publisher, its destination, the files to copy and to offer, the Start Menu group and its
// items, the program-information links, the uninstall patterns and the
// start-up messages. Nothing after the reading splits a record's text again.
#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "setup/engine/ScriptFormat.h"

// An F record: a file every installation copies.
struct ScriptFile {
    // The path code and the path, as the record spells them before its "{";
    // empty for a record without "{", whose whole text is its size.
    std::string Path;
    // The size in bytes, from the text after "{". A size that is no number
    // raises its conversion error when it is asked for, where the space is
    // reckoned, as it always has; the script itself still reads.
    int64_t Size() const;

    int64_t m_size = 0;
    std::exception_ptr m_sizeError;
};

// An S record: a file the user is asked about.
struct ScriptOption {
    std::string Question;
    // The path code and the path.
    std::string Path;
};

struct SetupScript {
    // T: the product's title; V: its version and C: its publisher, as the
    // system's list of installed programs shows them; D: the destination as
    // the script spells it; G: the Start Menu group's name. Each is the last
    // such record's, and none without one.
    std::optional<std::string> Title;
    std::optional<std::string> Version;
    std::optional<std::string> Publisher;
    std::optional<std::string> Destination;
    std::optional<std::string> Group;
    std::vector<ScriptFile> FileList;
    std::vector<ScriptFormat::ItemArgument> ItemList;
    std::vector<ScriptOption> OptionList;
    std::vector<std::string> MessageList;
    // Q: the base names of the program-information links.
    std::vector<std::string> PifList;
    // U: the patterns the uninstaller offers, path-coded.
    std::vector<std::string> UninstallList;
};

// An F record's argument read into its file: the path before the first "{"
// and the size after it.
ScriptFile ReadFileArgument(const std::string& argument);

// Reads the script at path into script, record by record. A failure to open
// or read raises the input/output error, and a record whose file name could
// lead out of its folder raises its own; the records read before either are
// then in script.
void ReadSetupScript(const std::string& path, SetupScript& script);

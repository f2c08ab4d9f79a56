// The installation run, without a window: the destination's folders, the
// mandatory files, the optional files through their staging folder, the
// Start Menu group and its items, the program-information links, the
// uninstall log and the product's start. Every action it takes is recorded,
// in order, and the uninstall log is written from that record. What needs a
// person goes through SetupPrompts.
#pragma once

#include <string>
#include <vector>

#include "runtime/FileStream.h"
#include "setup/ActionKind.h"
#include "setup/SetupPrompts.h"
#include "setup/SetupState.h"

struct InstallAction {
    ActionKind Kind;
    std::string Path;
};

// A record of the uninstall log: its letter and its argument.
struct LogRecord {
    char Letter;
    std::string Argument;
};

class InstallRun {
public:
    // Neither is owned; both outlive the run.
    InstallRun(const SetupState& state, SetupPrompts& prompts) : m_state(state), m_prompts(prompts) {}

    // Performs the run from the start. Returns true when it completed (the
    // log written and the product started, unless the switches say not to
    // start it), false when the user stopped it
    // on the way. A failure (a file that cannot be read or written) propagates
    // at the step where it happened.
    bool Execute();

    // Copies Source to Dest, asking for Source while it is missing; Ignore
    // sets FileSkipped and copies nothing. True when the file was copied; a
    // copy that fails part way deletes its cut-off file and propagates. An
    // existing Dest is replaced, or with mode CreateNew left alone and the
    // creation error raised.
    bool CopyOneFile(const std::string& Source, const std::string& Dest,
                     FileStreamMode mode = FileStreamMode::Create);

    // Whether the setup program's directory lies on a removable drive, that
    // is, on a diskette.
    bool SourceIsRemovable() const;

    // Set when the user skipped a missing source file.
    bool FileSkipped() const { return m_fileSkipped; }
    const std::vector<InstallAction>& Actions() const { return m_actions; }
    // The uninstall log's records as the run has made them so far: the
    // script's patterns, then what the run made, then the destination.
    std::vector<LogRecord> LogRecords() const;

private:
    void MakeDestination();
    void InstallOptionalFiles();
    void MakeStartMenuGroup();
    void UpdatePifFiles();
    void WriteUninstallLog();
    void StartProduct();
    void Record(ActionKind kind, const std::string& path)
    {
        m_actions.push_back({kind, path});
        m_prompts.Acted(kind, path);
    }

    const SetupState& m_state;  // not owned
    SetupPrompts& m_prompts;    // not owned
    bool m_fileSkipped = false;
    bool m_destinationLogged = false;
    std::vector<InstallAction> m_actions;
};

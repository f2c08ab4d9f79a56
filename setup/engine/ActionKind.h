// The kinds of action the installation run takes, which it records for the
// uninstall log and reports to its prompts as it takes them.
#pragma once

enum class ActionKind {
    FolderMade,   // a folder that did not exist before
    FileCopied,   // a file copied, the staged copies of optional files included
    LinkMade,     // a link in the Start Menu group
    GroupMade,    // the Start Menu group; Path is its name below the Programs folder
    PifMade,      // a program-information link in the destination
    Registered,   // the product's key in the Uninstall list; Path is the key as KeyText gives it
    LogWritten,   // the uninstall log
    ProductStarted,
};

// What the installation run and the uninstallation need from a person: the
// questions they ask, the notices they give, the progress they report and
// whether the user has asked to stop. The forms answer through message
// dialogs and the gauge; the engine itself shows nothing.
#pragma once

#include <string>

#include "setup/engine/ActionKind.h"

class SetupPrompts {
public:
    // The questions, each with the text a person reads.
    enum class Question {
        // A source file is missing: true looks again (Retry), false skips
        // the file (Ignore).
        MissingFile,
        // An optional file is offered: true installs it.
        OptionalFile,
        // The Start Menu group is offered: true makes it.
        StartMenu,
        // The uninstaller met a folder that still holds files: true removes
        // it with its contents.
        FolderNotEmpty,
        // A run that an earlier start left unfinished is to be taken back:
        // true undoes it, false leaves it and ends the start.
        TakeBack,
    };

    virtual ~SetupPrompts() = default;

    virtual bool Ask(Question question, const std::string& text) = 0;
    // Whether the question's answer is No before it is asked (a switch
    // answers it so): the run then prepares nothing for what it offers.
    virtual bool AnswersNo(Question) const { return false; }
    // A notice the person acknowledges.
    virtual void Tell(const std::string& text) = 0;
    // A notice of something that did not go as asked (a log that is
    // damaged, items that could not be removed), acknowledged the same way.
    virtual void Warn(const std::string& text) = 0;

    // Progress of the installation's copy: the number of mandatory files,
    // then each file as its copy begins and ends (counted for the mandatory
    // ones, not for the optional ones).
    virtual void BeginCopies(int count) = 0;
    virtual void Copying(const std::string& destination) = 0;
    virtual void Copied(bool counted) = 0;

    // Each action of the installation run, as soon as it is taken; the
    // path as the run records it. Nothing needs to hear of them.
    virtual void Acted(ActionKind, const std::string&) {}
    // A line for the run's log (what a take-back undid or kept); nothing
    // needs to hear of it.
    virtual void Logged(const std::string&) {}

    // Whether the user has asked to end the program; the run then takes no
    // further step.
    virtual bool Stopped() const = 0;
};

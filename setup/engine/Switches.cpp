// The meanings of the exit codes, as a run's log ends with them.
#include "setup/engine/Switches.h"

#include "runtime/ResStrings.h"

std::string ExitCodeMeaning(ExitCode code)
{
    switch (code) {
    case ExitCode::Finished: return LoadResString(StrId::SExitFinished);
    case ExitCode::WrongCommandLine: return LoadResString(StrId::SExitWrongCommandLine);
    case ExitCode::EndedByUser: return LoadResString(StrId::SExitEndedByUser);
    case ExitCode::Failed: return LoadResString(StrId::SExitFailed);
    case ExitCode::AnotherSetupRunning: return LoadResString(StrId::SExitAnotherSetup);
    case ExitCode::Refused: return LoadResString(StrId::SExitRefused);
    case ExitCode::Unexpected: return LoadResString(StrId::SExitUnexpected);
    }
    return std::string();
}

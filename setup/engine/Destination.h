// The checks of a destination before anything is made: whether it is a
// folder the installation may write into, how long its name may be for the
// files to fit, and the space the run needs on its drive and on the Windows
// drive.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "setup/engine/SetupState.h"

// 1 for A (either case) up to 26 for Z; 0 for anything else.
uint8_t DriveNumber(const std::string& drive);
// Whether dir (ending in a backslash) is a folder below the root of a drive
// ("C:\HALVARN\") or of a network share ("\\SERVER\SHARE\HALVARN\"): the
// only destinations the installation writes into.
bool IsDestinationFolder(const std::string& dir);
// The first folder of dir (ending in a backslash), from the top down, that
// exists as a file rather than a folder; empty when there is none.
std::string FileInTheWay(const std::string& dir);
// Whether the folder dir (ending in a backslash) exists and holds anything,
// files or folders, while it holds no uninstall log of an earlier
// installation of the product titled productTitle (EarlierInstallationLog).
bool HoldsOtherFiles(const std::string& dir, const std::string& productTitle);
// The longest destination directory, with its trailing backslash, that
// leaves room for every file the run writes into it: the mandatory and
// optional files with code D, the program-information files and the
// uninstall log.
size_t LongestDestination(const SetupScript& script);
// Why the installation may not go into dir (ending in a backslash) at all,
// as the text a person is shown: not a full path, too long for the script's
// files, or a file where one of its folders should be. None when it may.
std::optional<std::string> DestinationRefusal(const std::string& dir, const SetupScript& script);
// Why the installation may not go into dir (ending in a backslash) although
// it could write there: the uninstaller keeps the folder whatever its log
// says (the StartUp folder, the Programs folder, a folder of the system or of
// the user), so that what the installation put there would stay for good.
// None when it may. Asked after DestinationRefusal, of a full path.
std::optional<std::string> KeptDestinationRefusal(const std::string& dir, const SetupState& state);
// The free bytes of a drive part with its number; -1 when unknown.
int64_t DriveFreeSpace(const std::string& drive, uint8_t number);

// The space the script's files need, by drive.
struct SpaceNeeds {
    // The drive parts of WinDir and DestDir in upper case, and their
    // numbers; DestDriveNum is only worked out when the drives differ.
    std::string WinDrive;
    std::string DestDrive;
    uint8_t WinDriveNum = 0;
    uint8_t DestDriveNum = 0;
    // Bytes needed; on one drive everything counts as the Windows drive's.
    int64_t WinNeed = 0;
    int64_t DestNeed = 0;

    bool OneDrive() const { return DestDrive == WinDrive; }
    // Whether both drives have the room, asked of the drives now.
    bool Enough() const;
};
// Reckons the needs from the state's folders and script. A file whose size
// is no number raises its conversion error.
SpaceNeeds ReckonSpace(const SetupState& state);

// Whether the name is a full path on a local drive made of plain names, as
// every file and folder a run makes is: no "..", no device, no "\\?\".
bool IsLocalPlainPath(const std::string& path);

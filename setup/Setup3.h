// The installation settings: the destination directory and the disk space
// needed and free on the destination and Windows drives.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "controls/DirDlg.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "framework/StringList.h"

class TForm3 : public TForm {
    DECLARE_CLASS_INFO(TForm3)
public:
    explicit TForm3(TComponent* owner) : TForm(owner) {}

    // Published fields
    TLabel* Label1 = nullptr;
    TLabel* Label3 = nullptr;
    TEdit* Edit2 = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;
    TButton* Button3 = nullptr;
    TButton* Button5 = nullptr;
    TLabel* Label2 = nullptr;
    TGroupBox* GroupBox1 = nullptr;
    TLabel* Label5 = nullptr;
    TImage* Image1 = nullptr;
    TLabel* Label6 = nullptr;
    TLabel* Label7 = nullptr;
    TDirectoryDialog* OpenDialog1 = nullptr;

    // Published methods
    void Button3Click(TObject* sender);
    void Button2Click(TObject* sender);
    void Button1Click(TObject* sender);
    void Form3Activate(TObject* sender);
    void Button4Click(TObject* sender);
    void Form3Create(TObject* sender);
    void Form3Destroy(TObject* sender);
    void Form3Close(TObject* sender, TCloseAction& action);

    // The mandatory files to copy: path code and path, one per F record.
    std::unique_ptr<TStringList> CopyList;
    int64_t WinNeed = 0;
    int64_t DestNeed = 0;
};

extern TForm3* Form3;

// The drives of the space check, as the last CalcSpace found them: the drive
// parts of WinDir and DestDir in upper case, and their drive numbers.
extern std::string WinDrive;
extern std::string DestDrive;
extern uint8_t WinDriveNum;
extern uint8_t DestDriveNum;

// Rebuilds CopyList, the needs, the drives and the three space labels from
// the setup state. A bad size raises the conversion error.
void CalcSpace();
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
// installation.
bool HoldsOtherFiles(const std::string& dir);
// The longest destination directory, with its trailing backslash, that
// leaves room for every file the run writes into it: the mandatory and
// optional files with code D, the program-information files and the
// uninstall log.
size_t LongestDestination();
// The free bytes of a drive part with its number; -1 when unknown.
int64_t DriveFreeSpace(const std::string& drive, uint8_t number);

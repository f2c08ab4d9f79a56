// The installation run: copies the files, offers the optional ones and the
// Start Menu group, writes the uninstall log and starts the product.
#pragma once

#include <string>

#include "controls/Gauges.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "runtime/FileStream.h"
#include "shell/Progman.h"

class TForm5 : public TForm {
    DECLARE_CLASS_INFO(TForm5)
public:
    explicit TForm5(TComponent* owner) : TForm(owner) {}

    // Published fields
    TGauge* Gauge1 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TButton* Button1 = nullptr;
    TProgMan* ProgMan1 = nullptr;

    // Published methods
    void Form5Activate(TObject* sender);
    void Button1Click(TObject* sender);
    void Form5Close(TObject* sender, TCloseAction& action);

    // Whether the run has begun; it begins on the first activation only.
    bool RunStarted() const { return m_runStarted; }

private:
    void InstallOptionalFiles();
    void MakeStartMenuGroup();
    void UpdatePifFiles();
    void WriteUninstallLog();
    void StartProduct();

    bool m_runStarted = false;
};

extern TForm5* Form5;

// Set when the user skipped a missing source file during the run.
extern bool FileSkipped;

// The full path for a path-coded argument: A (the setup program's own
// directory), D (destination), N (the rest is a full path), S (System),
// T (Startup folder) or W (Windows directory), then the rest. An empty
// argument or any other first character gives an empty result, which names
// no file.
std::string ResolvePath(const std::string& arg);

// Copies Source to Dest, asking for Source while it is missing; Ignore sets
// FileSkipped and copies nothing. A copied file is logged as an "F" record.
// Stream failures propagate. True when the file was copied. An existing Dest
// is replaced, or with mode CreateNew left alone and the creation error
// raised.
bool CopyOneFile(const std::string& Source, const std::string& Dest,
                 FileStreamMode mode = FileStreamMode::Create);

// Whether the setup program's directory lies on a removable drive, that is,
// on a diskette.
bool SourceIsRemovable();

// What the end-to-end installation tests share: a distribution of the sample
// product beside setup.exe, a setup script naming its files, a destination in
// a fresh folder, and the product's recorded starts.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tests/support/SetupSession.h"
#include "tests/support/TempDir.h"

// The test bed's small drive (4 MiB, with a read-only folder "readonly"), as
// "R:\", or empty when the bed has none.
std::string SmallDrive();

#define REQUIRE_SMALL_DRIVE()                                                                          \
    if (SmallDrive().empty())                                                                          \
    GTEST_SKIP() << "the test bed has no small drive (scripts/winebed.sh --small-drive DIR, as root)"

// A distribution folder with setup.exe and the product's files.
class InstallTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The product's files, as they lie on the distribution medium.
    void WriteProduct(const std::string& folder);
    // A setup script with these mandatory files (path-coded, without sizes),
    // two Start Menu items, two optional files, a program information file
    // and an uninstall pattern.
    std::string Script(const Strings& files) const;
    // A distribution of count files of 4 KiB besides the product, copied
    // after the files given first.
    void WriteLongDistribution(const std::string& folder, int count, Strings files = {});

    // A distribution of count files of 4 KiB that also writes a file into
    // the Windows folder first, and replaces the readme of an earlier
    // installation that the destination holds (with its log and its
    // registration), so that nothing is asked before the copy.
    void WriteTakeBackDistribution(const std::string& folder, int count);
    // Every place a run writes: the folder that holds the destination, the
    // Windows folder's own files, the Programs folder, the destination
    // drive's temporary folder and the product's registration.
    std::string MachineState() const;
    // The product's key in the machine's Uninstall list, a value a line;
    // empty when there is none.
    static std::string Registration();
    static constexpr char ProductKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Halvarn95";

    // Goes through the mode choice and the settings; the progress form.
    HWND StartInstalling(SetupSession& setup) const;
    // The number of files directly in folder.
    static int FileCount(const std::string& folder);
    // Whether the destination holds count files within a while.
    bool WaitForFiles(int count) const;

    TempDir m_target;
    std::string m_dest;
    std::string m_group;
    std::string m_programs;
    std::string m_productLog;
};

// The vendor's manifest for flsmake: a small text file that says what the
// product is and which of its files go where. One entry a line, a keyword
// and its value; blank lines and lines starting with "#" are ignored.
//
//   title        Halvarn 95
//   version      1.0
//   publisher    Halvarn Software
//   destination  C:\HALVARN
//   group        Halvarn 95
//   file         halvarn95.exe
//   file         system\halvarn.dll -> Shalvarn.dll
//   option       letters.txt | Would you like to install the sample letters?
//   item         Dhalvarn95.exe | Halvarn 95
//   pif          HALVARN
//   message      Welcome to Halvarn 95.
//   uninstall    D*.TMP
//
// A file or option names a file of the product folder; its destination is
// "D" and the file's name unless "->" gives a path-coded one. Version and
// publisher may be left out; the script then names none.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

struct ManifestFile {
    std::string Source;       // relative to the product folder, "/" or "\" between folders
    std::string Destination;  // path-coded
    std::string Question;     // optional files only
    int Line = 0;
};

struct ManifestItem {
    std::string Target;  // path-coded
    std::string Name;
};

struct Manifest {
    std::string Title;
    std::string Version;
    std::string Publisher;
    std::string Destination;
    std::string Group;
    std::vector<ManifestFile> Files;
    std::vector<ManifestFile> Options;
    std::vector<ManifestItem> Items;
    std::vector<std::string> Pifs;
    std::vector<std::string> Messages;
    std::vector<std::string> Uninstall;
};

// A manifest line that cannot be understood, with its line number.
class ManifestError : public std::runtime_error {
public:
    ManifestError(int line, const std::string& text) : std::runtime_error(text), Line(line) {}
    int Line;
};

Manifest ParseManifest(std::string_view text);

// The setup script for a manifest, every line ended by CR LF: T, then V and
// C when the manifest names them, D, G, the F records with fileSizes[i] as
// the size of Files[i], then P, Q, S, M, U.
std::string WriteScript(const Manifest& manifest, const std::vector<unsigned long long>& fileSizes);

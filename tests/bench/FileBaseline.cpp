// The copy and uninstall benchmarks' baseline: the least a Win32 program does
// to copy or delete a list of files. It reads a list file, copies each pair
// with CopyFileA or deletes each name with DeleteFileA, and writes the
// seconds that took (timed inside, around the file operations alone) into a
// result file:
//
//   file_baseline copy LIST RESULT     LIST: lines "source|destination"
//   file_baseline delete LIST RESULT   LIST: one file name a line
//
// The exit code is the number of operations that failed (0 when all went).
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: file_baseline copy|delete LIST RESULT\n");
        return 255;
    }
    const std::string command = argv[1];
    std::vector<std::string> lines;
    std::ifstream list(argv[2]);
    for (std::string line; std::getline(list, line);)
        if (!line.empty())
            lines.push_back(line);
    // The names are split before the clock starts: only the file operations
    // are timed.
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const std::string& line : lines) {
        const size_t bar = line.find('|');
        pairs.emplace_back(line.substr(0, bar), bar == std::string::npos ? std::string() : line.substr(bar + 1));
    }
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    int failed = 0;
    QueryPerformanceCounter(&start);
    for (const auto& [first, second] : pairs) {
        const BOOL ok = command == "copy" ? CopyFileA(first.c_str(), second.c_str(), FALSE) : DeleteFileA(first.c_str());
        failed += ok ? 0 : 1;
    }
    QueryPerformanceCounter(&end);
    std::ofstream result(argv[3]);
    result << static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart) << "\n";
    return failed > 254 ? 254 : failed;
}

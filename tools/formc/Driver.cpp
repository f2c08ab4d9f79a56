// The form compiler's command line: its options, reading the source, finding
// the files it names, and writing the output only when everything compiled.
#include "tools/formc/Driver.h"

#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

#include "tools/formc/FormCompiler.h"
#include "tools/formc/FormSource.h"

namespace formc {

namespace fs = std::filesystem;

namespace {

bool ReadWholeFile(const fs::path& path, std::string& contents)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad())
        return false;
    contents = std::move(buffer).str();
    return true;
}

void RemoveStale(const fs::path& output)
{
    std::error_code ignored;
    fs::remove(output, ignored);
}

} // namespace

int RunFormc(const std::vector<std::string>& args, std::ostream& err)
{
    std::vector<fs::path> searchDirs;
    std::vector<std::string> files;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-I") {
            if (i + 1 >= args.size()) {
                err << "formc: -I needs a directory\n";
                return 2;
            }
            searchDirs.emplace_back(args[++i]);
        } else if (arg.size() > 2 && arg.compare(0, 2, "-I") == 0) {
            searchDirs.emplace_back(arg.substr(2));
        } else if (arg.size() > 1 && arg[0] == '-') {
            err << "formc: unknown option " << arg << "\n";
            return 2;
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 2) {
        err << "usage: formc [-I dir]... input.form output.bin\n";
        return 2;
    }
    const std::string& inputName = files[0];
    const fs::path input(inputName);
    const fs::path output(files[1]);

    std::string source;
    if (!ReadWholeFile(input, source)) {
        err << inputName << ": cannot read the file\n";
        RemoveStale(output);
        return 1;
    }
    // The source's own directory is searched last.
    searchDirs.push_back(input.has_parent_path() ? input.parent_path() : fs::path("."));

    const FileLoader loadFile = [&](const std::string& name, int line) {
        const fs::path named(name);
        std::vector<fs::path> candidates;
        if (named.is_absolute()) {
            candidates.push_back(named);
        } else {
            for (const fs::path& dir : searchDirs)
                candidates.push_back(dir / named);
        }
        for (const fs::path& candidate : candidates) {
            std::error_code ec;
            if (!fs::is_regular_file(candidate, ec))
                continue;
            std::string bytes;
            if (!ReadWholeFile(candidate, bytes))
                throw FormError(line, "cannot read '" + candidate.string() + "'");
            return std::vector<uint8_t>(bytes.begin(), bytes.end());
        }
        std::string where;
        for (const fs::path& dir : searchDirs)
            where += (where.empty() ? "" : ", ") + dir.string();
        throw FormError(line, "file '" + name + "' not found" + (named.is_absolute() ? "" : " (searched " + where + ")"));
    };

    std::vector<uint8_t> stream;
    try {
        stream = CompileForm(ParseForm(source), loadFile);
    } catch (const FormError& e) {
        err << inputName << ":" << e.Line() << ": " << e.what() << "\n";
        RemoveStale(output);
        return 1;
    } catch (const std::exception& e) {
        // Not a mistake in the source (the writer's stream failing, memory
        // running out): still reported, never a crash.
        err << inputName << ": " << e.what() << "\n";
        RemoveStale(output);
        return 1;
    }

    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    if (out)
        out.write(reinterpret_cast<const char*>(stream.data()), static_cast<std::streamsize>(stream.size()));
    if (out)
        out.close();
    if (!out) {
        err << files[1] << ": cannot write the file\n";
        RemoveStale(output);
        return 1;
    }
    return 0;
}

} // namespace formc

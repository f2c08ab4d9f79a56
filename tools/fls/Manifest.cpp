// Reading a product's manifest, each line checked, and writing the setup
// script that it describes.
#include "tools/fls/Manifest.h"

#include "runtime/Paths.h"
#include "setup/engine/ScriptFormat.h"

namespace {

std::string_view Trim(std::string_view text)
{
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

[[noreturn]] void Fail(int line, const std::string& text)
{
    throw ManifestError(line, text);
}

// Splits "left SEP right" at the first separator; right is empty without one.
std::pair<std::string_view, std::string_view> SplitAt(std::string_view text, std::string_view separator,
                                                      bool& found)
{
    const size_t at = text.find(separator);
    found = at != std::string_view::npos;
    if (!found)
        return {Trim(text), {}};
    return {Trim(text.substr(0, at)), Trim(text.substr(at + separator.size()))};
}

void CheckCoded(int line, std::string_view path, std::string_view what)
{
    if (!ScriptFormat::HasPathCode(path))
        Fail(line, std::string(what) + " \"" + std::string(path) +
                       "\" must begin with a path code: D, W, S, T, N or A.");
}

// "file" and "option" values: a product file, an optional destination after
// "->", and for options the question after "|".
ManifestFile ParseFile(int line, std::string_view value, bool option)
{
    ManifestFile file;
    file.Line = line;
    std::string_view rest = value;
    if (option) {
        bool found = false;
        auto [left, question] = SplitAt(value, "|", found);
        if (!found || question.empty())
            Fail(line, "an option needs its question after \"|\": option FILE | QUESTION.");
        file.Question = std::string(question);
        rest = left;
    }
    bool arrow = false;
    auto [source, destination] = SplitAt(rest, "->", arrow);
    if (source.empty())
        Fail(line, "the product file's name is missing.");
    file.Source = std::string(source);
    if (arrow) {
        CheckCoded(line, destination, "the destination");
        file.Destination = std::string(destination);
    } else {
        std::string name = std::string(source);
        const size_t slash = name.find_last_of("/\\");
        file.Destination = "D" + (slash == std::string::npos ? name : name.substr(slash + 1));
    }
    return file;
}

} // namespace

Manifest ParseManifest(std::string_view text)
{
    Manifest manifest;
    int line = 0;
    while (!text.empty()) {
        ++line;
        const size_t end = text.find('\n');
        const std::string_view raw = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const std::string_view entry = Trim(raw);
        if (entry.empty() || entry.front() == '#')
            continue;
        const size_t gap = entry.find_first_of(" \t");
        const std::string keyword = UpperCaseAscii(entry.substr(0, gap));
        const std::string_view value = gap == std::string_view::npos ? std::string_view() : Trim(entry.substr(gap));
        if (value.empty())
            Fail(line, "\"" + std::string(entry.substr(0, gap)) + "\" needs a value after it.");
        if (keyword == "TITLE") {
            manifest.Title = std::string(value);
        } else if (keyword == "VERSION") {
            manifest.Version = std::string(value);
        } else if (keyword == "PUBLISHER") {
            manifest.Publisher = std::string(value);
        } else if (keyword == "DESTINATION") {
            manifest.Destination = std::string(value);
        } else if (keyword == "GROUP") {
            manifest.Group = std::string(value);
        } else if (keyword == "FILE") {
            manifest.Files.push_back(ParseFile(line, value, false));
        } else if (keyword == "OPTION") {
            manifest.Options.push_back(ParseFile(line, value, true));
        } else if (keyword == "ITEM") {
            bool found = false;
            auto [target, name] = SplitAt(value, "|", found);
            if (!found || name.empty())
                Fail(line, "an item needs its name after \"|\": item TARGET | NAME.");
            CheckCoded(line, target, "the item's target");
            if (target.find(',') != std::string_view::npos)
                Fail(line, "the item's target cannot hold a comma.");
            manifest.Items.push_back(ManifestItem{std::string(target), std::string(name)});
        } else if (keyword == "PIF") {
            manifest.Pifs.emplace_back(value);
        } else if (keyword == "MESSAGE") {
            manifest.Messages.emplace_back(value);
        } else if (keyword == "UNINSTALL") {
            CheckCoded(line, value, "the uninstall pattern");
            manifest.Uninstall.emplace_back(value);
        } else {
            Fail(line, "unknown keyword \"" + std::string(entry.substr(0, gap)) +
                           "\"; use title, version, publisher, destination, group, file, option, item, pif, message "
                           "or uninstall.");
        }
    }
    if (manifest.Title.empty())
        Fail(line, "the manifest has no title.");
    if (manifest.Destination.empty())
        Fail(line, "the manifest has no destination.");
    if (manifest.Group.empty())
        Fail(line, "the manifest has no group.");
    return manifest;
}

std::string WriteScript(const Manifest& manifest, const std::vector<unsigned long long>& fileSizes)
{
    std::string script;
    auto record = [&script](char command, std::string_view argument) {
        script += command;
        script += "\r\n";
        script += argument;
        script += "\r\n";
    };
    record('T', manifest.Title);
    if (!manifest.Version.empty())
        record('V', manifest.Version);
    if (!manifest.Publisher.empty())
        record('C', manifest.Publisher);
    record('D', manifest.Destination);
    record('G', manifest.Group);
    for (size_t i = 0; i < manifest.Files.size(); ++i)
        record('F', manifest.Files[i].Destination + "{" + std::to_string(fileSizes.at(i)));
    for (const ManifestItem& item : manifest.Items)
        record('P', item.Target + "," + item.Name);
    for (const std::string& pif : manifest.Pifs)
        record('Q', pif);
    for (const ManifestFile& option : manifest.Options) {
        record('S', option.Question);
        script += option.Destination + "\r\n";
    }
    for (const std::string& message : manifest.Messages)
        record('M', message);
    for (const std::string& pattern : manifest.Uninstall)
        record('U', pattern);
    return script;
}

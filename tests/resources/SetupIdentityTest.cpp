// What the built setup.exe declares about itself, read back from the file as
// Windows and deployment tools read it: its manifest (the execution level,
// the awareness of the system's pixels per inch, the systems it was written
// for, the classic controls) and its version resource, against the values
// the build was configured with (the settings of cmake/SetupIdentity.cmake,
// which the test's build passes in).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "tests/support/ProgramPaths.h"

namespace {

std::string SetupPath()
{
    return BuildFolder() + "setup.exe";
}

// The program file loaded for its resources only: nothing of it runs.
struct ModuleFree {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
using ResourceModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFree>;

ResourceModule LoadForResources(const std::string& path)
{
    return ResourceModule(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

std::string ResourceBytes(HMODULE module, LPCSTR name, LPCSTR type)
{
    HRSRC found = FindResourceA(module, name, type);
    if (!found)
        return std::string();
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        return std::string();
    return std::string(static_cast<const char*>(bytes), SizeofResource(module, found));
}

// The manifest without its comments, so that what is checked is what the
// system reads, not what the comments say.
std::string WithoutComments(std::string text)
{
    for (size_t start; (start = text.find("<!--")) != std::string::npos;) {
        const size_t end = text.find("-->", start);
        text.erase(start, end == std::string::npos ? std::string::npos : end + 3 - start);
    }
    return text;
}

// The opening tags of the elements of this name, each from "<" to ">".
std::vector<std::string> Elements(const std::string& text, const std::string& name)
{
    std::vector<std::string> found;
    const std::regex tag("<" + name + "(\\s[^>]*)?/?>");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), tag); it != std::sregex_iterator(); ++it)
        found.push_back(it->str());
    return found;
}

// The value of an attribute in an opening tag; "(none)" when it is not there.
std::string Attribute(const std::string& tag, const std::string& name)
{
    std::smatch match;
    if (std::regex_search(tag, match, std::regex("\\s" + name + "\\s*=\\s*\"([^\"]*)\"")))
        return match[1];
    return "(none)";
}

// The text of the first element of this name, with its opening tag.
struct ElementText {
    std::string Tag;
    std::string Text;
};
ElementText FirstElementText(const std::string& text, const std::string& name)
{
    std::smatch match;
    if (std::regex_search(text, match, std::regex("(<" + name + "(\\s[^>]*)?>)([^<]*)</" + name + ">")))
        return {match[1], match[3]};
    return {};
}

// The manifest Windows reads when setup.exe starts: it runs with the rights
// of whoever started it (or the level the vendor configured), never with an
// interface to other programs' windows; it lays itself out for the system's
// pixels per inch and for no monitor's own; it names the five systems from
// Vista to 10 and 11; and it keeps the classic controls.
TEST(SetupIdentity, TheManifestAsksForTheConfiguredLevelTheSystemDpiTheFiveSystemsAndTheClassicControls)
{
    const ResourceModule setup = LoadForResources(SetupPath());
    ASSERT_TRUE(setup) << SetupPath() << ": error " << GetLastError();
    // The manifest a program is started with: type RT_MANIFEST (24), id
    // CREATEPROCESS_MANIFEST_RESOURCE_ID (1).
    const std::string manifest = WithoutComments(ResourceBytes(setup.get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)));
    ASSERT_FALSE(manifest.empty()) << "setup.exe carries no manifest of id 1";
    EXPECT_EQ(manifest.rfind("<?xml", 0), 0u) << "the manifest does not start with its XML declaration";
    {
        SCOPED_TRACE("the execution level");
        const std::vector<std::string> levels = Elements(manifest, "requestedExecutionLevel");
        ASSERT_EQ(levels.size(), 1u);
        EXPECT_EQ(Attribute(levels[0], "level"), SETUP_EXECUTION_LEVEL);
        EXPECT_EQ(Attribute(levels[0], "uiAccess"), "false");
        const std::vector<std::string> trust = Elements(manifest, "trustInfo");
        ASSERT_EQ(trust.size(), 1u);
        EXPECT_EQ(Attribute(trust[0], "xmlns"), "urn:schemas-microsoft-com:asm.v3");
    }
    {
        SCOPED_TRACE("the pixels per inch");
        const ElementText dpiAware = FirstElementText(manifest, "dpiAware");
        EXPECT_EQ(Attribute(dpiAware.Tag, "xmlns"), "http://schemas.microsoft.com/SMI/2005/WindowsSettings");
        EXPECT_EQ(dpiAware.Text, "true");
        EXPECT_EQ(Elements(manifest, "dpiAware").size(), 1u);
        // Aware of the system's resolution only: no awareness of each monitor
        // in either spelling.
        EXPECT_TRUE(Elements(manifest, "dpiAwareness").empty());
        EXPECT_EQ(manifest.find("PerMonitor"), std::string::npos);
        EXPECT_EQ(manifest.find("per monitor"), std::string::npos);
    }
    {
        SCOPED_TRACE("the systems");
        std::set<std::string> ids;
        for (const std::string& os : Elements(manifest, "supportedOS"))
            ids.insert(Attribute(os, "Id"));
        EXPECT_EQ(ids, (std::set<std::string>{
                           "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Vista
                           "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
                           "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
                           "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
                           "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
                       }));
        const std::vector<std::string> compatibility = Elements(manifest, "compatibility");
        ASSERT_EQ(compatibility.size(), 1u);
        EXPECT_EQ(Attribute(compatibility[0], "xmlns"), "urn:schemas-microsoft-com:compatibility.v1");
    }
    {
        SCOPED_TRACE("the classic controls");
        EXPECT_TRUE(Elements(manifest, "dependency").empty());
        EXPECT_TRUE(Elements(manifest, "dependentAssembly").empty());
        EXPECT_EQ(manifest.find("Common-Controls"), std::string::npos);
    }
}

std::string HexWord(unsigned value)
{
    char text[5];
    std::snprintf(text, sizeof text, "%04x", value & 0xFFFFu);
    return text;
}

// The version resource, read as the file's Properties and deployment tools
// read it: the binary file and product versions are the configured a.b.c.d,
// and every text is the configured one, in the language the resource names.
TEST(SetupIdentity, TheVersionResourceCarriesTheConfiguredNamesAndVersion)
{
    const std::string path = SetupPath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_GT(size, 0u) << path << " has no version resource: error " << GetLastError();
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));

    {
        SCOPED_TRACE("the binary versions");
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
        ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
        EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
        unsigned parts[4] = {};
        ASSERT_EQ(std::sscanf(SETUP_VERSION, "%u.%u.%u.%u", &parts[0], &parts[1], &parts[2], &parts[3]), 4);
        const DWORD high = MAKELONG(parts[1], parts[0]);
        const DWORD low = MAKELONG(parts[3], parts[2]);
        EXPECT_EQ(fixed->dwFileVersionMS, high);
        EXPECT_EQ(fixed->dwFileVersionLS, low);
        EXPECT_EQ(fixed->dwProductVersionMS, high);
        EXPECT_EQ(fixed->dwProductVersionLS, low);
        EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
        EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask & (VS_FF_DEBUG | VS_FF_PRERELEASE), 0u);
    }

    struct Translation {
        WORD Language;
        WORD CodePage;
    };
    Translation* translations = nullptr;
    UINT translationsLength = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                               &translationsLength));
    ASSERT_GE(translationsLength, sizeof(Translation));
    EXPECT_EQ(translations[0].Language, 0x409) << "the texts are in US English";
    const std::string block =
        "\\StringFileInfo\\" + HexWord(translations[0].Language) + HexWord(translations[0].CodePage) + "\\";

    const struct {
        const char* Name;
        std::string Expected;
    } texts[] = {
        {"ProductName", SETUP_PRODUCT_NAME},
        {"CompanyName", SETUP_COMPANY},
        {"FileDescription", SETUP_DESCRIPTION},
        {"LegalCopyright", SETUP_COPYRIGHT},
        {"FileVersion", SETUP_VERSION},
        {"ProductVersion", SETUP_PRODUCT_VERSION_TEXT},
        {"OriginalFilename", "setup.exe"},
    };
    for (const auto& text : texts) {
        SCOPED_TRACE(text.Name);
        char* value = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(info.data(), (block + text.Name).c_str(), reinterpret_cast<void**>(&value), &length));
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(std::string(value), text.Expected);
    }
}

}  // namespace

#include "tests/support/ShellLinkFiles.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "shell/ComPtr.h"

namespace {

std::wstring Wide(const std::string& text)
{
    std::wstring wide(text.size(), L'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                      static_cast<int>(wide.size()));
    wide.resize(static_cast<size_t>(n));
    return wide;
}

// A link object with its persistence interface.
struct LinkObject {
    LinkObject()
    {
        CoInitialize(nullptr);
        EXPECT_HRESULT_SUCCEEDED(
            CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, Link.Put()));
        if (Link) {
            EXPECT_HRESULT_SUCCEEDED(Link->QueryInterface(IID_IPersistFile, File.Put()));
        }
    }
    ComPtr<IShellLinkA> Link;
    ComPtr<IPersistFile> File;
};

} // namespace

LinkSettings ReadLink(const std::string& linkFile)
{
    LinkSettings settings;
    LinkObject object;
    if (!object.File || FAILED(object.File->Load(Wide(linkFile).c_str(), STGM_READ)))
        return settings;
    settings.Loaded = true;
    char text[1024] = {};
    object.Link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
    settings.Path = text;
    text[0] = '\0';
    object.Link->GetArguments(text, sizeof text);
    settings.Arguments = text;
    text[0] = '\0';
    object.Link->GetDescription(text, sizeof text);
    settings.Description = text;
    text[0] = '\0';
    object.Link->GetWorkingDirectory(text, sizeof text);
    settings.WorkingDirectory = text;
    text[0] = '\0';
    object.Link->GetIconLocation(text, sizeof text, &settings.IconIndex);
    settings.IconPath = text;
    return settings;
}

void WriteLinkWithSettings(const std::string& linkFile, const LinkSettings& settings)
{
    LinkObject object;
    ASSERT_TRUE(object.File);
    object.Link->SetPath(settings.Path.c_str());
    object.Link->SetArguments(settings.Arguments.c_str());
    object.Link->SetDescription(settings.Description.c_str());
    object.Link->SetWorkingDirectory(settings.WorkingDirectory.c_str());
    object.Link->SetIconLocation(settings.IconPath.c_str(), settings.IconIndex);
    ASSERT_HRESULT_SUCCEEDED(object.File->Save(Wide(linkFile).c_str(), TRUE));
}

// The registry class on real keys of the current user's registry: opening a
// key without creating it, and reading string values with the checks of
// their type and of the read.
#include <windows.h>

#include <gtest/gtest.h>

#include "runtime/Registry.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/support/RegistryKeys.h"

TEST(Registry, OpensAnExistingKeyBelowTheCurrentUserWithoutCreatingOne)
{
    TestRegistryKey key;
    TRegistry registry;
    EXPECT_EQ(registry.RootKey(), HKEY_CURRENT_USER);
    EXPECT_TRUE(registry.OpenKey(key.Path()));

    const std::string missing = key.Path() + "\\Missing";
    EXPECT_FALSE(registry.OpenKey(missing));
    HKEY probe = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, missing.c_str(), 0, KEY_READ, &probe), ERROR_FILE_NOT_FOUND)
        << "opening must not create the key";
    // A failed open leaves no key open: reading then fails.
    EXPECT_EQ(ErrorOf<ERegistryException>([&] { registry.ReadString("Any"); }), "Failed to get data for 'Any'");
}

TEST(Registry, AKeyThatRefusesWritingDoesNotOpen)
{
    TestRegistryKey key;
    SetRegistryString(key.Path(), "Text", "value");
    {
        ReadOnlyRegistryKey readOnly(key.Path());
        HKEY probe = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key.Path().c_str(), 0, KEY_READ, &probe), ERROR_SUCCESS)
            << "the key can still be read";
        RegCloseKey(probe);
        TRegistry registry;
        EXPECT_FALSE(registry.OpenKey(key.Path()));
    }
    TRegistry registry;
    EXPECT_TRUE(registry.OpenKey(key.Path()));
}

TEST(Registry, ReadsStringValuesUpToTheirFirstNull)
{
    TestRegistryKey key;
    SetRegistryString(key.Path(), "Plain", "C:\\Some Dir\\MixedCase");
    SetRegistryValue(key.Path(), "Expandable", REG_EXPAND_SZ, std::string("%WINDIR%\\x\0", 11));
    SetRegistryValue(key.Path(), "TwoParts", REG_SZ, std::string("first\0second\0", 13));
    SetRegistryValue(key.Path(), "Unterminated", REG_SZ, "no terminator");
    SetRegistryValue(key.Path(), "Empty", REG_SZ, std::string("\0", 1));
    SetRegistryValue(key.Path(), "NoData", REG_SZ, std::string());
    const std::string longText(3000, 'L');
    SetRegistryString(key.Path(), "Long", longText);

    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(key.Path()));
    EXPECT_EQ(registry.ReadString("Plain"), "C:\\Some Dir\\MixedCase");
    EXPECT_EQ(registry.ReadString("plain"), "C:\\Some Dir\\MixedCase") << "value names ignore case";
    {
        SCOPED_TRACE("an expandable string is read as stored, not expanded");
        EXPECT_EQ(registry.ReadString("Expandable"), "%WINDIR%\\x");
    }
    EXPECT_EQ(registry.ReadString("TwoParts"), "first");
    EXPECT_EQ(registry.ReadString("Unterminated"), "no terminator");
    EXPECT_EQ(registry.ReadString("Empty"), "");
    EXPECT_EQ(registry.ReadString("NoData"), "");
    EXPECT_EQ(registry.ReadString("Long"), longText);
    EXPECT_EQ(registry.ReadString("Missing"), "");
}

TEST(Registry, AValueOfAnotherTypeRaisesItsName)
{
    TestRegistryKey key;
    SetRegistryValue(key.Path(), "Count", REG_DWORD, std::string("\x01\x00\x00\x00", 4));
    SetRegistryValue(key.Path(), "Bytes", REG_BINARY, "abc");
    SetRegistryValue(key.Path(), "Lines", REG_MULTI_SZ, std::string("a\0b\0\0", 5));

    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(key.Path()));
    EXPECT_EQ(ErrorOf<ERegistryException>([&] { registry.ReadString("Count"); }), "Invalid data type for 'Count'");
    EXPECT_EQ(ErrorOf<ERegistryException>([&] { registry.ReadString("Bytes"); }), "Invalid data type for 'Bytes'");
    EXPECT_EQ(ErrorOf<ERegistryException>([&] { registry.ReadString("Lines"); }), "Invalid data type for 'Lines'");
}

TEST(Registry, AFailedReadRaisesItsName)
{
    TestRegistryKey key;
    SetRegistryString(key.Path(), "Text", "value");
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(key.Path()));
    ASSERT_EQ(registry.ReadString("Text"), "value");
    // The key goes away while it is open: its values can no longer be read,
    // which is not the same as a value that does not exist.
    DeleteRegistryKey(key.Path());
    EXPECT_EQ(ErrorOf<ERegistryException>([&] { registry.ReadString("Text"); }), "Failed to get data for 'Text'");
}

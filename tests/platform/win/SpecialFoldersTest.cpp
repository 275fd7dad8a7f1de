#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/win/SpecialFolders.h"
#include "platform/win/Text.h"

namespace {

class SpecialFoldersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/zorv-home-XXXXXX";
        home = mkdtemp(pattern);
        savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
        savedConfig = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
        setenv("HOME", home.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    }
    void TearDown() override
    {
        setenv("HOME", savedHome.c_str(), 1);
        if (savedConfig.empty())
            unsetenv("XDG_CONFIG_HOME");
        else
            setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
        std::filesystem::remove_all(home);
    }

    std::wstring Documents()
    {
        IMalloc* allocator = nullptr;
        LPITEMIDLIST list = nullptr;
        wchar_t path[MAX_PATH] = {};
        EXPECT_EQ(SHGetMalloc(&allocator), S_OK);
        bool found = SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &list)) && SHGetPathFromIDListW(list, path);
        if (list)
            allocator->Free(list);
        allocator->Release();
        return found ? path : L"";
    }

    std::filesystem::path home;
    std::string savedHome, savedConfig;
};

TEST_F(SpecialFoldersTest, DocumentsComeFromTheXdgSettingElseTheHomeFolder)
{
    std::filesystem::create_directories(home / "Documents");
    EXPECT_EQ(Documents(), Utf8ToWide((home / "Documents").string()));

    std::filesystem::create_directories(home / ".config");
    std::filesystem::create_directories(home / "\xe6\x96\x87\xe6\xa1\xa3");
    std::ofstream(home / ".config/user-dirs.dirs") << "# written by xdg-user-dirs-update\n"
                                                      "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                                                      "XDG_DOCUMENTS_DIR=\"$HOME/\xe6\x96\x87\xe6\xa1\xa3\"\n";
    EXPECT_EQ(Documents(), Utf8ToWide((home / "\xe6\x96\x87\xe6\xa1\xa3").string()));

    wchar_t profile[MAX_PATH] = {};
    EXPECT_TRUE(SHGetSpecialFolderPathW(nullptr, profile, CSIDL_PROFILE, FALSE));
    EXPECT_EQ(std::wstring(profile), Utf8ToWide(home.string()));
}

TEST_F(SpecialFoldersTest, AMissingDocumentsFolderIsMadeWithItsParents)
{
    namespace fs = std::filesystem;
    const mode_t savedMask = umask(022);
    auto mode = [](const fs::path& path) {
        struct stat status = {};
        stat(path.c_str(), &status);
        return status.st_mode & 07777;
    };
    EXPECT_EQ(Documents(), Utf8ToWide((home / "Documents").string()));
    EXPECT_EQ(mode(home / "Documents"), 0755u);

    fs::create_directories(home / ".config");
    std::ofstream(home / ".config/user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/a/b/Docs\"\n";
    EXPECT_EQ(Documents(), Utf8ToWide((home / "a/b/Docs").string()));
    for (const char* made : {"a", "a/b", "a/b/Docs"})
        EXPECT_EQ(mode(home / made), 0755u) << made;

    // A file in the way: no documents folder.
    std::ofstream(home / "file") << "x";
    std::ofstream(home / ".config/user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/file/Docs\"\n";
    EXPECT_EQ(Documents(), L"");

    // No home folder: nothing is made.
    std::ofstream(home / ".config/user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n";
    setenv("HOME", (home / "gone").c_str(), 1);
    EXPECT_EQ(Documents(), L"");
    EXPECT_FALSE(fs::exists(home / "gone"));
    umask(savedMask);
}

TEST_F(SpecialFoldersTest, ComInitialisationCountsPerThread)
{
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    CoUninitialize();
    CoUninitialize();
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    CoUninitialize();
}

}  // namespace

#include "platform/Registry.h"

#include "platform/TempRegistry.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <thread>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

const std::wstring kKey = L"SOFTWARE\\Ravelin FTPClient\\Sites";

std::vector<std::uint8_t> Bytes(std::initializer_list<int> list)
{
    std::vector<std::uint8_t> v;
    for (int n : list)
        v.push_back(static_cast<std::uint8_t>(n));
    return v;
}

unsigned ModeOf(const std::string& strPath)
{
    struct stat st
    {
    };
    EXPECT_EQ(::stat(strPath.c_str(), &st), 0) << strPath;
    return st.st_mode & 07777;
}

// Runs fn in a child process, which ends with 0 when fn returned true.
pid_t StartChild(const std::function<bool()>& fn)
{
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(fn() ? 0 : 1);
    return pid;
}

// The child's exit code; -1 when it did not end in time (it is killed then) or died of a signal.
int WaitChild(pid_t pid, std::chrono::seconds timeout = std::chrono::seconds(60))
{
    const auto tEnd = std::chrono::steady_clock::now() + timeout;
    int nStatus = 0;
    while (::waitpid(pid, &nStatus, WNOHANG) == 0)
    {
        if (std::chrono::steady_clock::now() > tEnd)
        {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &nStatus, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
}

class RegistryTest : public ::testing::Test
{
protected:
    CTempRegistry m_registry;
    CReportRecorder m_recorder;
};

TEST_F(RegistryTest, NamesAndKeyPathsIgnoreLetterCaseAndKeepTheLatestSpelling)
{
    ASSERT_TRUE(CRegistry::SetDword(kKey, L"Home", 1));
    ASSERT_TRUE(CRegistry::SetDword(kKey, L"HOME", 2));
    ASSERT_TRUE(CRegistry::SetDword(L"software\\RAVELIN ftpclient\\sites", L"Ärger", 3));
    ASSERT_TRUE(CRegistry::SetDword(kKey, L"äRGER", 4));

    EXPECT_EQ(CRegistry::EnumValueNames(kKey), (std::vector<std::wstring>{L"HOME", L"äRGER"}));
    EXPECT_EQ(CRegistry::QueryDword(kKey, L"home"), 2u);
    EXPECT_EQ(CRegistry::QueryDword(L"Software\\Ravelin FTPClient\\SITES", L"ÄRGER"), 4u);
    EXPECT_TRUE(CRegistry::KeyExists(L"SOFTWARE\\RAVELIN FTPCLIENT\\SITES"));
    EXPECT_FALSE(CRegistry::KeyExists(L"SOFTWARE\\Ravelin FTPClient"));
    // The key keeps the spelling it was created with.
    EXPECT_NE(m_registry.ReadText().find("[SOFTWARE\\Ravelin FTPClient\\Sites]\n"), std::string::npos);
}

TEST_F(RegistryTest, EmptyNameIsTheDefaultValueAndDiffersFromAt)
{
    ASSERT_TRUE(CRegistry::SetDword(kKey, L"", 7));
    ASSERT_TRUE(CRegistry::SetDword(kKey, L"@", 8));

    EXPECT_EQ(CRegistry::EnumValueNames(kKey), (std::vector<std::wstring>{L"", L"@"}));
    EXPECT_EQ(CRegistry::QueryDword(kKey, L""), 7u);
    EXPECT_EQ(CRegistry::QueryDword(kKey, L"@"), 8u);
    ASSERT_TRUE(CRegistry::DeleteValue(kKey, L""));
    EXPECT_EQ(CRegistry::EnumValueNames(kKey), (std::vector<std::wstring>{L"@"}));
}

TEST_F(RegistryTest, ValuesKeepTypeBytesAndNameThroughTheFile)
{
    const std::vector<std::uint8_t> vSzFull = Bytes(
        {'a', 0, '"', 0, '\\', 0, '\n', 0, 0xE9, 0, 0x3D, 0xD8, 0x00, 0xDE, 0, 0}); // a " \ LF é U+1F600, terminated
    const struct
    {
        std::wstring strName;
        CRegValue value;
    } kCases[] = {
        {L"plain", {REG_BINARY, Bytes({0x00, 0x01, 0x7F, 0x80, 0xFF})}},
        {L"with \"quotes\" and \\", {REG_BINARY, {}}},
        {L"new\nline\ttab\x01", {REG_DWORD, Bytes({0x2A, 0, 0, 0x80})}},
        {L"short dword", {REG_DWORD, Bytes({1, 2, 3})}},
        {L"émoji 😀 = [x]", {REG_SZ, vSzFull}},
        {L"; not a comment", {REG_SZ, Bytes({'a', 0})}},                 // no terminator
        {L"lone \xD800 surrogate", {REG_SZ, Bytes({0x00, 0xD8, 0, 0})}}, // lone surrogate in name and text
        {L"zero inside", {REG_SZ, Bytes({'a', 0, 0, 0, 'b', 0, 0, 0})}},
        {L"odd size", {REG_SZ, Bytes({'a', 0, 0})}},
        {L"multi string", {7, Bytes({'a', 0, 0, 0, 0, 0})}},
        {L"largest type", {0xFFFFFFFF, Bytes({1})}},
    };
    for (const auto& c : kCases)
        ASSERT_TRUE(CRegistry::SetValue(kKey, c.strName, c.value.nType, c.value.vData));

    std::vector<std::wstring> vExpectedNames;
    for (const auto& c : kCases)
    {
        vExpectedNames.push_back(c.strName);
        EXPECT_EQ(CRegistry::QueryValue(kKey, c.strName), c.value);
    }
    EXPECT_EQ(CRegistry::EnumValueNames(kKey), vExpectedNames);
    EXPECT_EQ(CRegistry::QueryString(kKey, L"émoji 😀 = [x]"), L"a\"\\\né😀");
    EXPECT_EQ(CRegistry::QueryString(kKey, L"plain"), std::nullopt);
    EXPECT_EQ(CRegistry::QueryDword(kKey, L"short dword"), std::nullopt);
    EXPECT_TRUE(m_recorder.Errors().empty());
}

TEST_F(RegistryTest, BoundedQueryCopiesAtMostTheBufferAndTellsTheFullSize)
{
    const std::vector<std::uint8_t> vData = Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    ASSERT_TRUE(CRegistry::SetValue(kKey, L"Ten", REG_BINARY, vData));

    std::vector<std::uint8_t> vSmall(4, 0xEE);
    auto info = CRegistry::QueryValue(kKey, L"ten", vSmall);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->nType, REG_BINARY);
    EXPECT_EQ(info->nFullSize, 10u);
    EXPECT_EQ(info->nCopied, 4u);
    EXPECT_EQ(vSmall, Bytes({1, 2, 3, 4}));

    std::vector<std::uint8_t> vLarge(16, 0xEE);
    info = CRegistry::QueryValue(kKey, L"Ten", vLarge);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->nCopied, 10u);
    EXPECT_TRUE(std::equal(vData.begin(), vData.end(), vLarge.begin()));
    EXPECT_EQ(vLarge[10], 0xEE);

    EXPECT_FALSE(CRegistry::QueryValue(kKey, L"Eleven", vLarge));
    EXPECT_FALSE(CRegistry::QueryValue(L"SOFTWARE\\Missing", L"Ten", vLarge));
}

TEST_F(RegistryTest, DeletingAMissingValueIsNoError)
{
    EXPECT_TRUE(CRegistry::DeleteValue(L"SOFTWARE\\Missing", L"x")); // no file yet
    ASSERT_TRUE(CRegistry::SetDword(kKey, L"Keep", 1));
    ASSERT_TRUE(CRegistry::SetDword(kKey, L"Gone", 2));
    EXPECT_TRUE(CRegistry::DeleteValue(kKey, L"GONE"));
    EXPECT_TRUE(CRegistry::DeleteValue(kKey, L"Gone"));
    EXPECT_TRUE(CRegistry::DeleteValue(kKey, L"Never"));
    EXPECT_EQ(CRegistry::EnumValueNames(kKey), (std::vector<std::wstring>{L"Keep"}));
    EXPECT_TRUE(CRegistry::KeyExists(kKey)); // an emptied key stays
    ASSERT_TRUE(CRegistry::DeleteValue(kKey, L"keep"));
    EXPECT_TRUE(CRegistry::KeyExists(kKey));
    EXPECT_TRUE(CRegistry::EnumValueNames(kKey).empty());
}

TEST_F(RegistryTest, EnumerationFollowsCreationOrder)
{
    for (const wchar_t* pszName : {L"c", L"a", L"B"})
        ASSERT_TRUE(CRegistry::SetDword(kKey, pszName, 1));
    ASSERT_TRUE(CRegistry::SetDword(kKey, L"A", 2)); // replacing keeps the place
    ASSERT_TRUE(CRegistry::DeleteValue(kKey, L"c"));
    ASSERT_TRUE(CRegistry::SetDword(kKey, L"c", 3)); // written anew: goes last
    const std::vector<std::wstring> vExpected{L"A", L"B", L"c"};
    EXPECT_EQ(CRegistry::EnumValueNames(kKey), vExpected);

    // Another process reading the same file sees the same order.
    const pid_t pid = StartChild([&] { return CRegistry::EnumValueNames(kKey) == vExpected; });
    EXPECT_EQ(WaitChild(pid), 0);
}

TEST_F(RegistryTest, InvalidKeyPathsAreRefusedAndWriteNothing)
{
    for (const std::wstring& strKey : {std::wstring(), std::wstring(L"\\SOFTWARE"), std::wstring(L"SOFTWARE\\"),
                                       std::wstring(L"A\\\\B"), std::wstring(L"A\nB"), std::wstring(L"A\\B\x7F")})
    {
        EXPECT_FALSE(CRegistry::CreateKey(strKey));
        EXPECT_FALSE(CRegistry::SetDword(strKey, L"x", 1));
        EXPECT_FALSE(CRegistry::QueryValue(strKey, L"x"));
    }
    EXPECT_FALSE(CRegistry::SetDword(kKey, std::wstring(1, static_cast<wchar_t>(0x110000)), 1));
    EXPECT_FALSE(std::filesystem::exists(m_registry.File()));
}

TEST_F(RegistryTest, FileIsReadableTextAndPrivate)
{
    m_registry.UseFile(m_registry.Folder() + "/new/sub/registry");
    const mode_t nOldMask = ::umask(0); // the modes must not depend on the umask
    ASSERT_TRUE(CRegistry::SetValue(kKey, L"Home", REG_BINARY, Bytes({0x01, 0xAB})));
    ASSERT_TRUE(CRegistry::SetDword(kKey, L"", 42));
    ASSERT_TRUE(CRegistry::SetString(L"SOFTWARE\\Ravelin FTPClient\\Layout", L"Say \"hi\"", L"a\\b\nc\x01"));
    ::umask(nOldMask);

    EXPECT_EQ(ModeOf(m_registry.File()), 0600u);
    EXPECT_EQ(ModeOf(m_registry.File() + ".lock"), 0600u);
    EXPECT_EQ(ModeOf(m_registry.Folder() + "/new/sub"), 0700u);
    EXPECT_EQ(ModeOf(m_registry.Folder() + "/new"), 0700u);

    const std::string strText = m_registry.ReadText();
    EXPECT_NE(strText.find("\n[SOFTWARE\\Ravelin FTPClient\\Sites]\n"
                           "\"Home\"=hex:01,ab\n"
                           "@=dword:0000002a\n"
                           "\n[SOFTWARE\\Ravelin FTPClient\\Layout]\n"
                           "\"Say \\\"hi\\\"\"=\"a\\\\b\\nc\\u0001\"\n"),
              std::string::npos)
        << strText;
}

TEST_F(RegistryTest, FileNameFollowsTheEnvironment)
{
    const char* kNames[] = {"RAVELIN_REGISTRY_FILE", "XDG_CONFIG_HOME", "HOME"};
    std::vector<std::optional<std::string>> vSaved;
    for (const char* pszName : kNames)
        vSaved.push_back(std::getenv(pszName) ? std::optional<std::string>(std::getenv(pszName)) : std::nullopt);

    const std::string strHome = m_registry.Folder() + "/home";
    const struct
    {
        const char* pszOverride;
        const char* pszConfig;
        std::string strExpected;
    } kCases[] = {
        {"/x/settings.reg", "/cfg", "/x/settings.reg"},
        {"", "/cfg", "/cfg/Ravelin FTPClient/registry"},
        {nullptr, nullptr, strHome + "/.config/Ravelin FTPClient/registry"},
        {nullptr, "", strHome + "/.config/Ravelin FTPClient/registry"},
        {nullptr, "relative/cfg", strHome + "/.config/Ravelin FTPClient/registry"},
    };
    ::setenv("HOME", strHome.c_str(), 1);
    for (const auto& c : kCases)
    {
        c.pszOverride ? ::setenv(kNames[0], c.pszOverride, 1) : ::unsetenv(kNames[0]);
        c.pszConfig ? ::setenv(kNames[1], c.pszConfig, 1) : ::unsetenv(kNames[1]);
        EXPECT_EQ(CRegistry::GetFilePath(), c.strExpected);
    }

    // The default place is created private on first write.
    ::unsetenv(kNames[0]);
    ::unsetenv(kNames[1]);
    EXPECT_TRUE(CRegistry::SetDword(kKey, L"x", 1));
    EXPECT_EQ(ModeOf(strHome + "/.config/Ravelin FTPClient"), 0700u);
    EXPECT_EQ(ModeOf(strHome + "/.config/Ravelin FTPClient/registry"), 0600u);

    for (std::size_t i = 0; i < vSaved.size(); ++i)
        vSaved[i] ? ::setenv(kNames[i], vSaved[i]->c_str(), 1) : ::unsetenv(kNames[i]);
}

TEST_F(RegistryTest, TwoProcessesWritingAtOnceLoseNothing)
{
    constexpr int kValuesPerProcess = 50;
    std::vector<pid_t> vChildren;
    for (int nChild = 0; nChild < 2; ++nChild)
        vChildren.push_back(StartChild(
            [nChild]
            {
                for (int i = 0; i < kValuesPerProcess; ++i)
                    if (!CRegistry::SetDword(kKey, L"P" + std::to_wstring(nChild) + L"-" + std::to_wstring(i),
                                             static_cast<std::uint32_t>(nChild * 1000 + i)))
                        return false;
                return true;
            }));
    for (pid_t pid : vChildren)
        EXPECT_EQ(WaitChild(pid), 0);

    EXPECT_EQ(CRegistry::EnumValueNames(kKey).size(), 2u * kValuesPerProcess);
    for (int nChild = 0; nChild < 2; ++nChild)
        for (int i = 0; i < kValuesPerProcess; ++i)
            EXPECT_EQ(CRegistry::QueryDword(kKey, L"P" + std::to_wstring(nChild) + L"-" + std::to_wstring(i)),
                      static_cast<std::uint32_t>(nChild * 1000 + i));
    EXPECT_TRUE(m_recorder.Errors().empty());
}

TEST_F(RegistryTest, AWriterKilledWhileSavingLeavesTheEarlierFile)
{
    constexpr std::size_t kBigSize = 1024 * 1024;
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(CRegistry::SetDword(kKey, L"Keep" + std::to_wstring(i), static_cast<std::uint32_t>(i)));

    for (int nRound = 0; nRound < 10; ++nRound)
    {
        const pid_t pid = StartChild(
            []
            {
                // Saves a large value over and over until killed; stops by itself after a while.
                const auto tEnd = std::chrono::steady_clock::now() + std::chrono::seconds(30);
                for (int n = 0; std::chrono::steady_clock::now() < tEnd; ++n)
                    CRegistry::SetValue(kKey, L"Big", REG_BINARY,
                                        std::vector<std::uint8_t>(kBigSize, static_cast<std::uint8_t>(n)));
                return true;
            });
        std::this_thread::sleep_for(std::chrono::milliseconds(20 + 15 * nRound));
        ::kill(pid, SIGKILL);
        EXPECT_EQ(WaitChild(pid), -1);

        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(CRegistry::QueryDword(kKey, L"Keep" + std::to_wstring(i)), static_cast<std::uint32_t>(i));
        if (const auto big = CRegistry::QueryValue(kKey, L"Big"))
        {
            ASSERT_EQ(big->vData.size(), kBigSize);
            EXPECT_EQ(std::count(big->vData.begin(), big->vData.end(), big->vData[0]),
                      static_cast<std::ptrdiff_t>(kBigSize));
        }
        EXPECT_TRUE(CRegistry::SetDword(kKey, L"After", static_cast<std::uint32_t>(nRound)));
    }
    EXPECT_TRUE(m_recorder.Errors().empty());
}

TEST_F(RegistryTest, AWriterDyingInsideItsWriteLeavesTheEarlierFile)
{
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(CRegistry::SetDword(kKey, L"Keep" + std::to_wstring(i), static_cast<std::uint32_t>(i)));
    const std::string strBefore = m_registry.ReadText();

    // The file size limit makes the kernel stop the child (SIGXFSZ) halfway through writing the new file.
    const pid_t pid = StartChild(
        [&]
        {
            const rlimit noCore{0, 0};
            ::setrlimit(RLIMIT_CORE, &noCore);
            const rlimit fileSize{strBefore.size() + 4096, strBefore.size() + 4096};
            ::setrlimit(RLIMIT_FSIZE, &fileSize);
            return CRegistry::SetValue(kKey, L"Big", REG_BINARY, std::vector<std::uint8_t>(64 * 1024, 0x5A));
        });
    EXPECT_NE(WaitChild(pid), 0);

    EXPECT_EQ(m_registry.ReadText(), strBefore);
    EXPECT_FALSE(CRegistry::QueryValue(kKey, L"Big"));
    ASSERT_TRUE(CRegistry::SetDword(kKey, L"After", 1)); // the lock died with the writer
    EXPECT_EQ(CRegistry::EnumValueNames(kKey).size(), 6u);
    EXPECT_TRUE(m_recorder.Errors().empty());
}

TEST_F(RegistryTest, LeftoverTemporaryFileIsHarmless)
{
    ASSERT_TRUE(CRegistry::SetDword(kKey, L"Keep", 1));
    {
        std::ofstream temp(m_registry.File() + ".tmp", std::ios::binary);
        temp << "[SOFTWARE\\Ravelin FTPClient\\Sites]\n\"Half\"=hex:01,0"; // a writer died here
    }
    EXPECT_EQ(CRegistry::QueryDword(kKey, L"Keep"), 1u);
    EXPECT_FALSE(CRegistry::QueryValue(kKey, L"Half"));
    ASSERT_TRUE(CRegistry::SetDword(kKey, L"Next", 2));
    EXPECT_EQ(CRegistry::EnumValueNames(kKey), (std::vector<std::wstring>{L"Keep", L"Next"}));
    EXPECT_EQ(ModeOf(m_registry.File()), 0600u);
}

TEST_F(RegistryTest, RegeditExportWithWrappedHexLoads)
{
    m_registry.WriteText("\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
                         "\r\n"
                         "[SOFTWARE\\Ravelin FTPClient\\Sites]\r\n"
                         "\"Wrapped\"=hex:01,02,\\\r\n"
                         "  03,04\r\n"
                         "\"Sz\"=\"text\"\r\n");
    EXPECT_EQ(CRegistry::QueryValue(kKey, L"Wrapped"), (CRegValue{REG_BINARY, Bytes({1, 2, 3, 4})}));
    EXPECT_EQ(CRegistry::QueryString(kKey, L"Sz"), L"text");
    EXPECT_TRUE(m_recorder.Errors().empty());
}

TEST_F(RegistryTest, BrokenFileIsCopiedReportedOnceAndReadAsFarAsPossible)
{
    const std::string strBroken = "; hand-edited\n"
                                  "\"Orphan before any key\"=dword:00000001\n"
                                  "[SOFTWARE\\Ravelin FTPClient\\Sites]\n"
                                  "\"Good\"=dword:00000001\n"
                                  "this line is garbage\n"
                                  "\"BadHex\"=hex:zz\n"
                                  "\"Unterminated=dword:1\n"
                                  "\"Bad escape \\q\"=dword:2\n"
                                  "\"Bad\xC3\x28utf8\"=dword:3\n"
                                  "\"Deleted\"=-\n"
                                  "\"Good2\"=\"text\"\n"
                                  "[Unclosed section\n"
                                  "\"Orphan\"=dword:00000004\n"
                                  "[SOFTWARE\\Other]\n"
                                  "\"Good3\"=hex:01\n";
    m_registry.WriteText(strBroken);
    const auto fnBackups = [&]
    {
        std::vector<std::string> vFound;
        for (const auto& entry : std::filesystem::directory_iterator(m_registry.Folder()))
            if (entry.path().filename().string().starts_with("registry.broken-"))
                vFound.push_back(entry.path().string());
        return vFound;
    };

    EXPECT_EQ(CRegistry::EnumValueNames(kKey), (std::vector<std::wstring>{L"Good", L"Good2"}));
    EXPECT_EQ(CRegistry::QueryValue(L"SOFTWARE\\Other", L"Good3"), (CRegValue{REG_BINARY, Bytes({1})}));
    ASSERT_EQ(m_recorder.Errors().size(), 1u);
    auto vBackups = fnBackups();
    ASSERT_EQ(vBackups.size(), 1u);
    const std::wstring strReport = m_recorder.Errors()[0];
    EXPECT_NE(strReport.find(std::wstring(m_registry.File().begin(), m_registry.File().end())), std::wstring::npos);
    EXPECT_NE(strReport.find(std::wstring(vBackups[0].begin(), vBackups[0].end())), std::wstring::npos);
    EXPECT_EQ(ModeOf(vBackups[0]), 0600u);
    EXPECT_EQ(m_registry.ReadText(), strBroken); // reading never rewrites
    {
        std::ifstream backup(vBackups[0], std::ios::binary);
        std::ostringstream text;
        text << backup.rdbuf();
        EXPECT_EQ(text.str(), strBroken);
    }

    // A change writes what could be read; the unreadable lines live on in the copy only.
    ASSERT_TRUE(CRegistry::SetDword(kKey, L"New", 5));
    EXPECT_EQ(CRegistry::EnumValueNames(kKey), (std::vector<std::wstring>{L"Good", L"Good2", L"New"}));
    EXPECT_EQ(CRegistry::QueryValue(L"SOFTWARE\\Other", L"Good3"), (CRegValue{REG_BINARY, Bytes({1})}));
    EXPECT_EQ(m_registry.ReadText().find("garbage"), std::string::npos);
    EXPECT_EQ(m_recorder.Errors().size(), 1u);
    EXPECT_EQ(fnBackups().size(), 1u);
}

} // namespace

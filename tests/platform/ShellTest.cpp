#include "platform/Shell.h"

#include "platform/EventLoopWait.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace
{

TEST(ShellTest, ExtensionIsTakenFromTheLastDotOfTheLastComponent)
{
    const struct
    {
        const char* pszPath;
        const char* pszExtension;
    } kCases[] = {
        {"a.tar.gz", ".gz"},
        {".profile", ".profile"},
        {"readme", ""},
        {"", ""},
        {"name.", "."},
        {"dir.d/file", ""},
        {"dir.d\\file", ""},
        {"/pub/dir.d/notes.TXT", ".TXT"},
        {"C:\\Temp\\x.y\\z.doc", ".doc"},
        {"mixed.a/b\\c", ""},
        {"folder.ext/", ""},
        {"with space.tar gz", ".tar gz"},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(nsShell::PathFindExtension(QString::fromUtf8(c.pszPath)), QString::fromUtf8(c.pszExtension))
            << c.pszPath;
}

TEST(ShellTest, IconsByNameAskTheThemeOncePerKindOfFile)
{
    nsShell::ClearIconCache();
    QIcon first;
    for (int n = 0; n < 100000; ++n)
    {
        const QIcon icon = nsShell::IconForName(QStringLiteral("report-%1.txt").arg(n), false);
        if (n == 0) first = icon;
    }
    EXPECT_EQ(nsShell::IconCacheMisses(), 1);
    EXPECT_FALSE(first.isNull()); // the style's file icon at least

    // Letter case of the extension does not matter; the folder flag and the size do; a folder's name does not.
    nsShell::IconForName(QStringLiteral("SHOUT.TXT"), false);
    EXPECT_EQ(nsShell::IconCacheMisses(), 1);
    nsShell::IconForName(QStringLiteral("notes.txt"), false, nsShell::EIconSize::Small);
    EXPECT_EQ(nsShell::IconCacheMisses(), 2);
    nsShell::IconForName(QStringLiteral("notes.txt"), true);
    nsShell::IconForName(QStringLiteral("other.d"), true);
    EXPECT_EQ(nsShell::IconCacheMisses(), 3);
    nsShell::IconForName(QStringLiteral("archive.gz"), false);
    EXPECT_EQ(nsShell::IconCacheMisses(), 4);
}

TEST(ShellTest, IconByNameFromAWorkerIsLookedUpOnTheUiThread)
{
    nsShell::ClearIconCache();
    std::atomic<bool> fDone{false};
    QIcon icon;
    std::thread worker(
        [&]
        {
            icon = nsShell::IconForName(QStringLiteral("found.pdf"), false, nsShell::EIconSize::Small);
            fDone = true;
        });
    const bool fFinished = nsTest::SpinUntil([&] { return fDone.load(); });
    worker.join();
    ASSERT_TRUE(fFinished);
    EXPECT_FALSE(icon.isNull());
    EXPECT_EQ(nsShell::IconCacheMisses(), 1);
}

TEST(ShellTest, IconForAnExistingPath)
{
    const QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_FALSE(nsShell::IconForPath(dir.path()).isNull());
}

TEST(ShellTest, OpenWithoutAPathFails)
{
    EXPECT_FALSE(nsShell::OpenWithDefaultProgram(QString()));
}

unsigned ModeOf(const QString& strPath)
{
    struct stat st
    {
    };
    EXPECT_EQ(::lstat(QFile::encodeName(strPath).constData(), &st), 0);
    return st.st_mode & 07777;
}

class PrivateTempFolderTest : public ::testing::Test
{
protected:
    QString Expected() const { return QDir(m_base.path()).filePath(QStringLiteral("ravelin-ftp-%1").arg(::geteuid())); }

    QTemporaryDir m_base;
};

TEST_F(PrivateTempFolderTest, IsCreatedPrivateAndFoundAgain)
{
    ASSERT_TRUE(m_base.isValid());
    const mode_t nOldMask = ::umask(0777 & ~0500); // a umask that would take the owner's write bit
    const QString strFolder = nsShell::PrivateTempFolderBelow(m_base.path());
    ::umask(nOldMask);
    ASSERT_EQ(strFolder, Expected());
    EXPECT_EQ(ModeOf(strFolder), 0700u);
    EXPECT_EQ(nsShell::PrivateTempFolderBelow(m_base.path()), strFolder);
    EXPECT_TRUE(nsShell::PrivateTempFolderBelow(m_base.path() + QStringLiteral("/missing")).isEmpty());
}

TEST_F(PrivateTempFolderTest, PlantedFoldersAreRefused)
{
    ASSERT_TRUE(m_base.isValid());
    const QByteArray path = QFile::encodeName(Expected());
    const QByteArray elsewhere = QFile::encodeName(m_base.path() + QStringLiteral("/elsewhere"));
    ASSERT_EQ(::mkdir(elsewhere.constData(), 0700), 0);

    const struct
    {
        const char* pszName;
        std::function<bool()> fnPlant;
    } kCases[] = {
        {"mode 0755", [&] { return ::mkdir(path.constData(), 0755) == 0 && ::chmod(path.constData(), 0755) == 0; }},
        {"mode 0777", [&] { return ::mkdir(path.constData(), 0700) == 0 && ::chmod(path.constData(), 0777) == 0; }},
        {"mode 0500", [&] { return ::mkdir(path.constData(), 0700) == 0 && ::chmod(path.constData(), 0500) == 0; }},
        {"symbolic link to a private folder", [&] { return ::symlink(elsewhere.constData(), path.constData()) == 0; }},
        {"plain file", [&] { return QFile(Expected()).open(QIODevice::WriteOnly); }},
    };
    for (const auto& c : kCases)
    {
        ASSERT_TRUE(c.fnPlant()) << c.pszName;
        EXPECT_TRUE(nsShell::PrivateTempFolderBelow(m_base.path()).isEmpty()) << c.pszName;
        ::chmod(path.constData(), 0700);
        if (::rmdir(path.constData()) != 0)
        {
            ASSERT_EQ(::unlink(path.constData()), 0) << c.pszName;
        }
    }
}

TEST_F(PrivateTempFolderTest, FolderOfAnotherUserIsRefused)
{
    ASSERT_TRUE(m_base.isValid());
    if (::geteuid() != 0) GTEST_SKIP() << "only root can give a folder to another user";
    const QByteArray path = QFile::encodeName(Expected());
    ASSERT_EQ(::mkdir(path.constData(), 0700), 0);
    ASSERT_EQ(::chown(path.constData(), 65534, 65534), 0);
    EXPECT_TRUE(nsShell::PrivateTempFolderBelow(m_base.path()).isEmpty());
}

// Restores an environment variable when it goes.
class CEnvironment
{
public:
    explicit CEnvironment(const char* pszName)
        : m_pszName(pszName), m_fHad(qEnvironmentVariableIsSet(pszName)), m_old(qgetenv(pszName))
    {
    }
    ~CEnvironment()
    {
        if (m_fHad)
            qputenv(m_pszName, m_old);
        else
            qunsetenv(m_pszName);
    }
    CEnvironment(const CEnvironment&) = delete;
    CEnvironment& operator=(const CEnvironment&) = delete;
    void Set(const QString& strValue) const { qputenv(m_pszName, QFile::encodeName(strValue)); }

private:
    const char* m_pszName;
    bool m_fHad;
    QByteArray m_old;
};

TEST_F(PrivateTempFolderTest, LivesBelowTheRuntimeFolderOrElseTheTemporaryFolder)
{
    ASSERT_TRUE(m_base.isValid());
    const CEnvironment runtime("XDG_RUNTIME_DIR");
    const CEnvironment temp("TMPDIR");
    const QString strTemp = m_base.path() + QStringLiteral("/tmp");
    ASSERT_TRUE(QDir().mkdir(strTemp));
    temp.Set(strTemp);

    runtime.Set(m_base.path());
    EXPECT_EQ(nsShell::PrivateTempFolder(), Expected());
    runtime.Set(m_base.path() + QStringLiteral("/missing"));
    EXPECT_EQ(nsShell::PrivateTempFolder(), QDir(strTemp).filePath(QStringLiteral("ravelin-ftp-%1").arg(::geteuid())));
}

} // namespace

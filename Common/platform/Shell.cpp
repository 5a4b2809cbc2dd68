#include "Shell.h"

#include "UiThread.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHash>
#include <QMimeDatabase>
#include <QStyle>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <mutex>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nsShell
{

namespace
{

// A listing with endless distinct extensions must not grow the cache without bound.
constexpr qsizetype kMaxCachedIcons = 4096;

QIcon StandardIcon(bool fFolder)
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return {};
    return QApplication::style()->standardIcon(fFolder ? QStyle::SP_DirIcon : QStyle::SP_FileIcon);
}

// The theme's icon for a kind of file. Looked up by a neutral name with the extension, so that every name
// sharing a cache entry would have given the same answer.
QIcon ThemeIcon(const QString& strExtension, bool fFolder)
{
    const QMimeDatabase db;
    const QMimeType mime =
        fFolder ? db.mimeTypeForName(QStringLiteral("inode/directory"))
                : db.mimeTypeForFile(QStringLiteral("file") + strExtension, QMimeDatabase::MatchExtension);
    QIcon icon = QIcon::fromTheme(mime.iconName());
    if (icon.isNull()) icon = QIcon::fromTheme(mime.genericIconName());
    if (icon.isNull()) icon = StandardIcon(fFolder);
    return icon;
}

class CIconCache
{
public:
    QIcon Get(const QString& strName, bool fFolder, EIconSize size)
    {
        // Folders look alike whatever their name.
        const QString strExtension = fFolder ? QString() : PathFindExtension(strName).toLower();
        QString strKey;
        strKey += QLatin1Char(fFolder ? 'd' : 'f');
        strKey += QLatin1Char(size == EIconSize::Large ? 'L' : 'S');
        strKey += strExtension;
        {
            std::lock_guard lock(m_mutex);
            const auto it = m_map.constFind(strKey);
            if (it != m_map.constEnd()) return it.value();
        }
        // Looked up without the lock, so a slow theme never stalls other threads' hits; on the UI thread, which
        // owns the theme (the find dialog asks from its search thread).
        QIcon icon;
        nsUi::RunOnUiThreadAndWait([&] { icon = ThemeIcon(strExtension, fFolder); });
        ++m_nMisses;
        std::lock_guard lock(m_mutex);
        if (m_map.size() >= kMaxCachedIcons) m_map.clear();
        m_map.insert(strKey, icon);
        return icon;
    }

    void Clear()
    {
        std::lock_guard lock(m_mutex);
        m_map.clear();
        m_nMisses = 0;
    }

    int Misses() const { return m_nMisses; }

private:
    std::mutex m_mutex;
    QHash<QString, QIcon> m_map;
    std::atomic<int> m_nMisses{0};
};

CIconCache& IconCache()
{
    static CIconCache cache;
    return cache;
}

class CFileDescriptor
{
public:
    explicit CFileDescriptor(int fd) : m_fd(fd) {}
    ~CFileDescriptor()
    {
        if (m_fd >= 0) ::close(m_fd);
    }
    CFileDescriptor(const CFileDescriptor&) = delete;
    CFileDescriptor& operator=(const CFileDescriptor&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

QIcon IconForPath(const QString& strPath, EIconSize /*size*/)
{
    QIcon icon;
    nsUi::RunOnUiThreadAndWait(
        [&]
        {
            if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return;
            const QFileIconProvider provider;
            icon = provider.icon(QFileInfo(strPath));
        });
    return icon;
}

QIcon IconForName(const QString& strName, bool fFolder, EIconSize size)
{
    return IconCache().Get(strName, fFolder, size);
}

int IconCacheMisses()
{
    return IconCache().Misses();
}

void ClearIconCache()
{
    IconCache().Clear();
}

bool OpenWithDefaultProgram(const QString& strPath)
{
    if (strPath.isEmpty()) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(strPath));
}

QString PrivateTempFolderBelow(const QString& strBase)
{
    if (strBase.isEmpty()) return {};
    const uid_t nUser = ::geteuid();
    const QString strPath = QDir(strBase).filePath(QStringLiteral("ravelin-ftp-%1").arg(nUser));
    const QByteArray path = QFile::encodeName(strPath);

    const bool fCreated = ::mkdir(path.constData(), 0700) == 0;
    if (!fCreated && errno != EEXIST) return {};
    // Checked through the opened folder itself, so nobody can swap it between the check and the use of the
    // answer; O_NOFOLLOW refuses a planted symbolic link.
    const CFileDescriptor dir(::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (dir.Get() < 0) return {};
    struct stat st
    {
    };
    if (::fstat(dir.Get(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != nUser) return {};
    if (fCreated)
    {
        // The umask may have taken bits we need.
        if (::fchmod(dir.Get(), 0700) != 0) return {};
    }
    else if ((st.st_mode & 07777) != 0700)
    {
        // Someone may have put files into a folder that others could write; we do not trust what is there.
        return {};
    }
    return strPath;
}

QString PrivateTempFolder()
{
    const QString strRuntime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!strRuntime.isEmpty() && QFileInfo(strRuntime).isDir()) return PrivateTempFolderBelow(strRuntime);
    return PrivateTempFolderBelow(QDir::tempPath());
}

QString PathFindExtension(const QString& strPath)
{
    const qsizetype nComponent =
        std::max(strPath.lastIndexOf(QLatin1Char('/')), strPath.lastIndexOf(QLatin1Char('\\')));
    const qsizetype nDot = strPath.lastIndexOf(QLatin1Char('.'));
    if (nDot < 0 || nDot < nComponent) return {};
    return strPath.mid(nDot);
}

} // namespace nsShell

#pragma once
// Stand-ins for the desktop shell services the program uses: icons for files and folders, the "open" verb, the
// private temporary folder and the file-name extension.

#include <QIcon>
#include <QString>

namespace nsShell
{

enum class EIconSize
{
    Large, // 32 x 32
    Small, // 16 x 16
};

// The icon of a file that exists, by its real path (the file's own type and, for folders, the folder icon).
QIcon IconForPath(const QString& strPath, EIconSize size = EIconSize::Large);

// The icon of a file or folder known only by its name: chosen by extension and folder flag, never touching the
// disk. Cached by (folder flag, extension, size), so a long listing asks the theme once per kind of file.
QIcon IconForName(const QString& strName, bool fFolder, EIconSize size = EIconSize::Large);

// Opens the file in the program the desktop associates with it; false when that could not be started.
bool OpenWithDefaultProgram(const QString& strPath);

// A folder only this user can use (mode 0700) below $XDG_RUNTIME_DIR or the system's temporary folder, created
// on first use. Other users cannot plant files there. Empty when it cannot be created.
QString PrivateTempFolder();
// The same folder below strBase (created when missing). An existing one is used only when it is a real folder
// (not a symbolic link) owned by this user with mode exactly 0700; otherwise the answer is empty.
QString PrivateTempFolderBelow(const QString& strBase);

// The extension of a path: from the last "." of its last component, or empty ("a.tar.gz" gives ".gz",
// ".profile" gives ".profile", "dir.d/file" gives "").
QString PathFindExtension(const QString& strPath);

// For tests: how many IconForName calls missed the cache and asked the theme since the last clear.
int IconCacheMisses();
void ClearIconCache();

} // namespace nsShell

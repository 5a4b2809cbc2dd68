#pragma once
// The question a transfer asks before it replaces an existing file or folder: the entry's name and icon and the
// size and time of both sides. OK replaces, Cancel (also Escape and the close box) cancels the whole job.
// The free functions below build the two side texts the way transfers show them.

#include "platform/ProgramKind.h"

#include <QDialog>
#include <QIcon>
#include <QString>

#include <cstdint>
#include <ctime>
#include <string>

class CStaticEx;
// From platform/FileTime.h, which moc cannot read (it stumbles over <compare>).
struct FILETIME;

class CAskReplaceDlg : public QDialog
{
    Q_OBJECT

public:
    // strServer and strLocal come from ReplaceServerText and ReplaceLocalText; their "\r\n" starts a new line.
    CAskReplaceDlg(QWidget* pOwner, bool fFolder, const QString& strName, const QString& strServer,
                   const QString& strLocal, EProgramKind kind = ProgramKind());
    ~CAskReplaceDlg() override;

private:
    QIcon m_icon; // shown by m_pIcon, which only borrows it
    CStaticEx* m_pIcon = nullptr;
};

// "<size text> (<bytes> bytes)\r\n<time text>" for the server side. The byte count is the full 64-bit size.
std::wstring ReplaceServerText(std::int64_t nSize, const std::wstring& strTime);
// The same for the local side; a download's local side has no blank before the parenthesis.
std::wstring ReplaceLocalText(std::int64_t nSize, const std::wstring& strTime, bool fDownload);

// A modification time as the locale writes date and time ("%x %X"), in local time, at most 127 characters.
// Times before the year 1900 show as time zero (1970-01-01 00:00 UTC); a time that cannot be broken down or
// formatted gives an empty text. Uses the process's current LC_TIME and TZ.
std::wstring ReplaceTimeText(FILETIME ftUtc);
// The same for a server entry's time in seconds since 1970.
std::wstring ReplaceTimeText(std::time_t nTime);

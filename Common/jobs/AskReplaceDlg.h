#pragma once
// The question a transfer asks before it replaces an existing file or folder: the entry's name and icon and the
// size and time of both sides. OK replaces, Cancel (also Escape and the close box) cancels the whole job.
// The free functions below build the two side texts the way transfers show them.

#include "platform/ProgramKind.h"

#include <QDialog>
#include <QIcon>
#include <QString>

#include <cstdint>
#include <string>

class CStaticEx;

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

// The time texts of both sides come from FormatLocalTimeText (platform/TimeText.h).

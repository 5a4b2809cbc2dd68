#include "AskReplaceDlg.h"

#include "StaticEx.h"
#include "ftp/TextHelpers.h"
#include "platform/ControlIds.h"
#include "platform/DialogBuilder.h"
#include "platform/Shell.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{

namespace ids = nsIds::AskReplaceDlg;

// The question wraps within this width instead of stretching the dialog.
constexpr int kQuestionWidth = 320;

std::wstring SideText(std::int64_t nSize, const std::wstring& strTime, const wchar_t* pszBeforeCount)
{
    return FormatSizeText(nSize) + pszBeforeCount + std::to_wstring(nSize) + L" bytes)\r\n" + strTime;
}

// Labels show "\r\n" as a line break only when it is a bare "\n".
QString LabelText(const QString& strText)
{
    QString str = strText;
    str.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return str;
}

} // namespace

CAskReplaceDlg::CAskReplaceDlg(QWidget* pOwner, bool fFolder, const QString& strName, const QString& strServer,
                               const QString& strLocal, EProgramKind kind)
    : QDialog(pOwner)
{
    const bool fHandheld = kind == EProgramKind::Handheld;
    CDialogBuilder builder(*this, kind, ids::kTemplate,
                           fHandheld ? QStringLiteral("Files Exists") : QStringLiteral("Confirm Replace"));
    QVBoxLayout& body = builder.Body();

    // Only the name and the kind count: the entry may exist on the server only.
    m_icon = nsShell::IconForName(strName, fFolder, nsShell::EIconSize::Large);
    const QString strQuestion =
        (fFolder ? QStringLiteral("The directory \"%1\" already exists. Would you like to replace it?")
                 : QStringLiteral("The file \"%1\" already exists. Would you like to replace it?"))
            .arg(strName);

    auto* pHeader = new QHBoxLayout;
    m_pIcon = new CStaticEx(this);
    CDialogBuilder::SetControlId(*m_pIcon, ids::kIcon);
    m_pIcon->SetIcon(&m_icon);
    pHeader->addWidget(m_pIcon, 0, Qt::AlignTop);
    QLabel* pQuestion = builder.Label(strQuestion, ids::kQuestion);
    pQuestion->setWordWrap(true);
    pQuestion->setFixedWidth(kQuestionWidth);
    pHeader->addWidget(pQuestion, 1);
    body.addLayout(pHeader);
    if (!fHandheld) builder.AddEtchedLine();

    auto* pSides = new QGridLayout;
    pSides->setColumnStretch(1, 1);
    builder.AddRow(*pSides, fHandheld ? QStringLiteral("Remote File:") : QStringLiteral("On FTP Server:"),
                   ids::kServerLabel, *builder.Label(LabelText(strServer), ids::kServerText));
    builder.AddRow(*pSides, fHandheld ? QStringLiteral("Local File:") : QStringLiteral("On Local Computer:"),
                   ids::kLocalLabel, *builder.Label(LabelText(strLocal), ids::kLocalText));
    body.addLayout(pSides);
    if (!fHandheld) builder.AddEtchedLine();

    // The handheld's OK is an ordinary button; Enter and the caption's OK confirm there.
    const auto okKind = fHandheld ? CDialogBuilder::EButton::Plain : CDialogBuilder::EButton::Default;
    builder.AddButtonRow({builder.Button(nsIds::kOk, QStringLiteral("OK"), okKind),
                          builder.Button(nsIds::kCancel, QStringLiteral("Cancel"), CDialogBuilder::EButton::Plain)});
}

CAskReplaceDlg::~CAskReplaceDlg()
{
    // The icon goes with the dialog; the control must not keep pointing at it.
    m_pIcon->SetIcon(nullptr);
}

std::wstring ReplaceServerText(std::int64_t nSize, const std::wstring& strTime)
{
    return SideText(nSize, strTime, L" (");
}

std::wstring ReplaceLocalText(std::int64_t nSize, const std::wstring& strTime, bool fDownload)
{
    return SideText(nSize, strTime, fDownload ? L"(" : L" (");
}

#include "FileAttributes.h"

#include "platform/ControlIds.h"
#include "platform/DialogBuilder.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace
{

namespace ids = nsIds::FileAttributes;

// The boxes in field order. Each group of three bits has a hexadecimal digit of its own, so "%.3X" of the sum
// reads as the octal permission notation.
struct SBox
{
    int nId;
    unsigned nBit;
    const char* pszText;
};

constexpr SBox kBoxes[] = {
    {ids::kOwnerRead, 0x400, "Read"}, {ids::kOwnerWrite, 0x200, "Write"}, {ids::kOwnerExecute, 0x100, "Execute"},
    {ids::kGroupRead, 0x40, "Read"},  {ids::kGroupWrite, 0x20, "Write"},  {ids::kGroupExecute, 0x10, "Execute"},
    {ids::kPublicRead, 0x4, "Read"},  {ids::kPublicWrite, 0x2, "Write"},  {ids::kPublicExecute, 0x1, "Execute"},
};
constexpr const char* kGroupTitles[] = {"Owner Permissions", "Group Permissions", "Public Permissions"};
constexpr int kBoxesPerGroup = 3;

constexpr const char* kNote = "Note: This command is server dependant. It is mostly used by UNIX servers.";

} // namespace

CFileAttributes::CFileAttributes(QWidget* pParent, EProgramKind kind) : QDialog(pParent)
{
    static_assert(std::size(kBoxes) == kBoxCount);
    const bool fHandheld = kind == EProgramKind::Handheld;
    CDialogBuilder builder(*this, kind, ids::kTemplate,
                           fHandheld ? QStringLiteral("File Attributes") : QStringLiteral("Change File(s) Attributes"));
    QVBoxLayout& body = builder.Body();

    auto addNote = [&]
    {
        QLabel* pNote = builder.Label(QString::fromLatin1(kNote));
        pNote->setWordWrap(true);
        body.addWidget(pNote);
    };
    if (fHandheld) addNote();

    auto* pGroups = new QHBoxLayout;
    for (int nGroup = 0; nGroup < kBoxCount / kBoxesPerGroup; ++nGroup)
    {
        auto* pGroup = new QGroupBox(QString::fromLatin1(kGroupTitles[nGroup]), this);
        auto* pColumn = new QVBoxLayout(pGroup);
        for (int nBox = nGroup * kBoxesPerGroup; nBox < (nGroup + 1) * kBoxesPerGroup; ++nBox)
        {
            QCheckBox* pBox = builder.CheckBox(QString::fromLatin1(kBoxes[nBox].pszText), kBoxes[nBox].nId);
            connect(pBox, &QCheckBox::clicked, this, &CFileAttributes::ComputePermissions);
            pColumn->addWidget(pBox);
            m_vBoxes[static_cast<std::size_t>(nBox)] = pBox;
        }
        pGroups->addWidget(pGroup);
    }
    body.addLayout(pGroups);

    auto* pManualRow = new QHBoxLayout;
    pManualRow->addWidget(builder.Label(QStringLiteral("Manual value:")));
    m_pManualValue = new QLineEdit(this);
    CDialogBuilder::SetControlId(*m_pManualValue, ids::kManualValue);
    // Digits only, like a number edit; any number of them, because the server decides what it accepts.
    m_pManualValue->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_pManualValue));
    pManualRow->addWidget(m_pManualValue, 1);
    body.addLayout(pManualRow);

    if (fHandheld)
    {
        builder.AddButtonRow(
            {builder.Button(nsIds::kCancel, QStringLiteral("Cancel"), CDialogBuilder::EButton::Plain)});
    }
    else
    {
        addNote();
        builder.AddButtonRow(
            {builder.Button(nsIds::kOk, QStringLiteral("OK"), CDialogBuilder::EButton::Default),
             builder.Button(nsIds::kCancel, QStringLiteral("Cancel"), CDialogBuilder::EButton::Plain)});
    }

    // Whatever the chosen entries carry, the dialog starts from the defaults above.
    UpdateData(false);
    ComputePermissions();
}

void CFileAttributes::accept()
{
    UpdateData(true);
    QDialog::accept();
}

std::array<bool*, CFileAttributes::kBoxCount> CFileAttributes::Fields()
{
    return {&m_fOwnerRead,    &m_fOwnerWrite, &m_fOwnerExecute, &m_fGroupRead,    &m_fGroupWrite,
            &m_fGroupExecute, &m_fPublicRead, &m_fPublicWrite,  &m_fPublicExecute};
}

void CFileAttributes::UpdateData(bool fSave)
{
    const auto fields = Fields();
    for (std::size_t n = 0; n < fields.size(); ++n)
    {
        if (fSave)
            *fields[n] = m_vBoxes[n]->isChecked();
        else
            m_vBoxes[n]->setChecked(*fields[n]);
    }
    if (fSave)
        m_strPermissions = m_pManualValue->text();
    else
        m_pManualValue->setText(m_strPermissions);
}

void CFileAttributes::ComputePermissions()
{
    UpdateData(true);
    unsigned nValue = 0;
    const auto fields = Fields();
    for (std::size_t n = 0; n < fields.size(); ++n)
    {
        if (*fields[n]) nValue |= kBoxes[n].nBit;
    }
    m_strPermissions = QString::asprintf("%.3X", nValue);
    UpdateData(false);
}

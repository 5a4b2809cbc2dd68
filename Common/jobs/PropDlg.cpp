#include "PropDlg.h"

#include "StaticEx.h"
#include "ftp/TextHelpers.h"
#include "platform/ControlIds.h"
#include "platform/DialogBuilder.h"
#include "platform/Shell.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace
{

namespace ids = nsIds::PropDlg;

constexpr int kValueWidth = 220;

} // namespace

CPropDlg::CPropDlg(QWidget* pParent, EProgramKind kind) : QDialog(pParent)
{
    CDialogBuilder builder(*this, kind, ids::kTemplate,
                           kind == EProgramKind::Handheld ? QStringLiteral("File Properties")
                                                          : QStringLiteral("Properties"));
    QVBoxLayout& body = builder.Body();
    // Long paths and names wrap at this width instead of widening the dialog beyond the screen.
    auto valueLabel = [&](int nId)
    {
        QLabel* pLabel = builder.Label(QString(), nId);
        pLabel->setWordWrap(true);
        pLabel->setMinimumWidth(kValueWidth);
        pLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return pLabel;
    };

    auto* pHeader = new QHBoxLayout;
    m_pIcon = new CStaticEx(this);
    CDialogBuilder::SetControlId(*m_pIcon, ids::kIcon);
    m_pIcon->SetIcon(&m_icon);
    pHeader->addWidget(m_pIcon, 0, Qt::AlignTop);
    m_pName = valueLabel(ids::kName);
    pHeader->addWidget(m_pName, 1);
    body.addLayout(pHeader);
    if (!builder.IsHandheld()) builder.AddEtchedLine();

    // One grid for every labelled row, so the values line up across the separator.
    auto* pRows = new QGridLayout;
    pRows->setColumnStretch(1, 1);
    m_pPath = valueLabel(ids::kPath);
    builder.AddRow(*pRows, QStringLiteral("Path:"), nsIds::kStatic, *m_pPath);
    m_pSize = valueLabel(ids::kSize);
    builder.AddRow(*pRows, QStringLiteral("Size:"), nsIds::kStatic, *m_pSize);
    m_pModified = valueLabel(ids::kModified);
    builder.AddRow(*pRows, QStringLiteral("Modified:"), nsIds::kStatic, *m_pModified);
    if (!builder.IsHandheld()) pRows->addWidget(builder.EtchedLine(), pRows->rowCount(), 0, 1, 2);

    // Server entries use the two rows, device files the boxes; the dialog shows one set when it opens.
    m_pAttributes = valueLabel(ids::kAttributes);
    m_pAttributesLabel = builder.AddRow(*pRows, QStringLiteral("Attributes:"), ids::kAttributesLabel, *m_pAttributes);
    m_pOwner = valueLabel(ids::kOwner);
    m_pOwnerLabel = builder.AddRow(*pRows, QStringLiteral("Owner:"), ids::kOwnerLabel, *m_pOwner);
    body.addLayout(pRows);

    auto* pDevice = new QHBoxLayout;
    m_pReadOnly = builder.CheckBox(QStringLiteral("Read Only"), ids::kReadOnly);
    m_pHidden = builder.CheckBox(QStringLiteral("Hidden"), ids::kHidden);
    m_pSystem = builder.CheckBox(QStringLiteral("System"), ids::kSystem);
    for (QCheckBox* pBox : {m_pReadOnly, m_pHidden, m_pSystem})
        pDevice->addWidget(pBox);
    pDevice->addStretch(1);
    body.addLayout(pDevice);
}

CPropDlg::~CPropDlg()
{
    // The control must not be left pointing at the icon this dialog is about to release.
    m_pIcon->SetIcon(nullptr);
}

void CPropDlg::showEvent(QShowEvent* pEvent)
{
    if (!m_fInitialised)
    {
        m_fInitialised = true;
        OnInitDialog();
        // The window was sized for empty texts; size it for the real ones before it appears.
        layout()->activate();
    }
    QDialog::showEvent(pEvent);
}

void CPropDlg::OnInitDialog()
{
    m_pName->setText(m_strName);
    m_pPath->setText(m_strPath);
    m_pSize->setText(m_strSize);
    m_pModified->setText(m_strModified);
    m_pAttributes->setText(m_strAttributes);
    m_pOwner->setText(m_strOwner);
    m_pReadOnly->setChecked(m_fReadOnly);
    m_pHidden->setChecked(m_fHidden);
    m_pSystem->setChecked(m_fSystem);

    // A device file exists here, so its own icon can be read; a server entry is known by name and kind only.
    if (m_fLocal)
    {
        const std::wstring strFullPath = JoinLocalPath(m_strPath.toStdWString(), m_strName.toStdWString());
        m_icon = nsShell::IconForPath(QString::fromStdWString(strFullPath), nsShell::EIconSize::Large);
    }
    else
    {
        m_icon = nsShell::IconForName(m_strName, m_fDirectory, nsShell::EIconSize::Large);
    }
    m_pIcon->update();

    for (QWidget* pServerOnly : {static_cast<QWidget*>(m_pAttributesLabel), static_cast<QWidget*>(m_pAttributes),
                                 static_cast<QWidget*>(m_pOwnerLabel), static_cast<QWidget*>(m_pOwner)})
        pServerOnly->setVisible(!m_fLocal);
    for (QWidget* pDeviceOnly : {m_pReadOnly, m_pHidden, m_pSystem})
        pDeviceOnly->setVisible(m_fLocal);
}

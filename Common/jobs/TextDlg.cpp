#include "TextDlg.h"

#include "platform/ControlIds.h"
#include "platform/DialogBuilder.h"

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{

namespace ids = nsIds::TextDlg;

// Wide enough for a typical path without scrolling.
constexpr int kEditMinimumWidth = 280;

} // namespace

CTextDlg::CTextDlg(const QString& strTitle, const QString& strText, QWidget* pParent, EProgramKind kind)
    : QDialog(pParent), m_strText(strText)
{
    CDialogBuilder builder(*this, kind, ids::kTemplate, strTitle);
    m_pEdit = new QLineEdit(this);
    CDialogBuilder::SetControlId(*m_pEdit, ids::kEdit.For(kind));
    m_pEdit->setMinimumWidth(kEditMinimumWidth);
    m_pEdit->setText(m_strText);
    builder.Body().addWidget(m_pEdit);

    // Braced lists run left to right, so the buttons are created, and tabbed through, in reading order.
    if (builder.IsHandheld())
        builder.AddButtonRow(
            {builder.Button(nsIds::kCancel, QStringLiteral("Cancel"), CDialogBuilder::EButton::Plain)});
    else
        builder.AddButtonRow(
            {builder.Button(nsIds::kOk, QStringLiteral("OK"), CDialogBuilder::EButton::Default),
             builder.Button(nsIds::kCancel, QStringLiteral("Cancel"), CDialogBuilder::EButton::Plain)});
}

void CTextDlg::accept()
{
    m_strText = m_pEdit->text();
    QDialog::accept();
}

void CTextDlg::showEvent(QShowEvent* pEvent)
{
    if (!m_fInitialised)
    {
        m_fInitialised = true;
        // Opens ready to be typed over, as a dialog's first edit does.
        m_pEdit->selectAll();
        m_pEdit->setFocus();
    }
    QDialog::showEvent(pEvent);
}

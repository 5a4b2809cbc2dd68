#include "DialogBuilder.h"

#include <QCheckBox>
#include <QDialog>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSizePolicy>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace
{

// Watches a handheld dialog: Enter confirms it, and the caption strip follows the window title, which some
// dialogs set only when they open. Key presses reach the dialog when the focused control does not use them
// (edits, check boxes and non-default buttons all pass Enter on).
class CHandheldCaption : public QObject
{
public:
    CHandheldCaption(QDialog& dlg, QLabel& title) : QObject(&dlg), m_dlg(dlg), m_title(title)
    {
        dlg.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override
    {
        if (pWatched != &m_dlg) return false;
        if (pEvent->type() == QEvent::WindowTitleChange)
        {
            m_title.setText(m_dlg.windowTitle());
        }
        else if (pEvent->type() == QEvent::KeyPress)
        {
            const auto* pKey = static_cast<QKeyEvent*>(pEvent);
            const bool fEnter = pKey->key() == Qt::Key_Return || pKey->key() == Qt::Key_Enter;
            const Qt::KeyboardModifiers modifiers = pKey->modifiers() & ~Qt::KeypadModifier;
            if (fEnter && modifiers == Qt::NoModifier)
            {
                m_dlg.accept();
                return true;
            }
        }
        return false;
    }

private:
    QDialog& m_dlg;
    QLabel& m_title;
};

} // namespace

CDialogBuilder::CDialogBuilder(QDialog& dlg, EProgramKind kind, nsIds::CIdPair templateId, const QString& strTitle)
    : m_dlg(dlg), m_kind(kind), m_pBody(new QVBoxLayout(&dlg))
{
    SetControlId(dlg, templateId.For(kind));
    dlg.setWindowTitle(strTitle);
    m_pBody->setSizeConstraint(QLayout::SetFixedSize);
    if (IsHandheld()) AddCaptionStrip();
}

void CDialogBuilder::SetControlId(QObject& object, int nId)
{
    if (nId != nsIds::kStatic) object.setObjectName(QString::number(nId));
}

QLabel* CDialogBuilder::Label(const QString& strText, int nId) const
{
    auto* pLabel = new QLabel(strText, &m_dlg);
    SetControlId(*pLabel, nId);
    return pLabel;
}

QCheckBox* CDialogBuilder::CheckBox(const QString& strText, int nId) const
{
    auto* pBox = new QCheckBox(strText, &m_dlg);
    SetControlId(*pBox, nId);
    return pBox;
}

QPushButton* CDialogBuilder::Button(int nId, const QString& strText, EButton kind) const
{
    auto* pButton = new QPushButton(strText, &m_dlg);
    SetControlId(*pButton, nId);
    if (kind == EButton::Default)
    {
        pButton->setDefault(true);
        QFont font = pButton->font();
        font.setBold(true);
        pButton->setFont(font);
    }
    else
    {
        pButton->setAutoDefault(!IsHandheld());
    }
    if (nId == nsIds::kOk) QObject::connect(pButton, &QPushButton::clicked, &m_dlg, &QDialog::accept);
    if (nId == nsIds::kCancel) QObject::connect(pButton, &QPushButton::clicked, &m_dlg, &QDialog::reject);
    return pButton;
}

QFrame* CDialogBuilder::EtchedLine() const
{
    auto* pLine = new QFrame(&m_dlg);
    pLine->setFrameShape(QFrame::HLine);
    pLine->setFrameShadow(QFrame::Sunken);
    return pLine;
}

QFrame* CDialogBuilder::AddEtchedLine() const
{
    QFrame* pLine = EtchedLine();
    m_pBody->addWidget(pLine);
    return pLine;
}

void CDialogBuilder::AddButtonRow(std::initializer_list<QPushButton*> buttons) const
{
    auto* pRow = new QHBoxLayout;
    pRow->addStretch(1);
    for (QPushButton* pButton : buttons)
        pRow->addWidget(pButton);
    m_pBody->addLayout(pRow);
}

QLabel* CDialogBuilder::AddRow(QGridLayout& grid, const QString& strLabel, int nLabelId, QWidget& value) const
{
    const int nRow = grid.rowCount();
    QLabel* pLabel = Label(strLabel, nLabelId);
    grid.addWidget(pLabel, nRow, 0, Qt::AlignLeft | Qt::AlignTop);
    grid.addWidget(&value, nRow, 1);
    return pLabel;
}

void CDialogBuilder::AddCaptionStrip()
{
    auto* pStrip = new QToolBar(&m_dlg);
    pStrip->setMovable(false);
    pStrip->setFloatable(false);

    auto* pTitle = new QLabel(m_dlg.windowTitle(), pStrip);
    QFont font = pTitle->font();
    font.setBold(true);
    pTitle->setFont(font);
    pStrip->addWidget(pTitle);

    auto* pSpacer = new QWidget(pStrip);
    pSpacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    pStrip->addWidget(pSpacer);

    auto* pOk = new QToolButton(pStrip);
    pOk->setObjectName(kCaptionOkName);
    pOk->setText(QStringLiteral("OK"));
    pOk->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QObject::connect(pOk, &QToolButton::clicked, &m_dlg, &QDialog::accept);
    pStrip->addWidget(pOk);

    m_pBody->setMenuBar(pStrip);
    new CHandheldCaption(m_dlg, *pTitle);
}

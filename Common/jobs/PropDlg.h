#pragma once
// The read-only properties of one server entry or one device file. The caller fills the public fields after
// construction and then shows the dialog; they go into the controls when it opens. A server entry shows its
// permission text and owner, a device file its three attribute boxes instead (which the user may tick, but
// nothing reads back). On the desktop the dialog has no buttons: the close box or Escape closes it.

#include "platform/ProgramKind.h"

#include <QDialog>
#include <QIcon>
#include <QString>

class CStaticEx;
class QCheckBox;
class QLabel;

class CPropDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CPropDlg(QWidget* pParent = nullptr, EProgramKind kind = ProgramKind());
    ~CPropDlg() override;

    bool m_fLocal = false;     // a device file rather than a server entry
    bool m_fDirectory = false; // a folder
    QString m_strName;         // for a server entry, the raw name
    QString m_strPath;         // the folder that holds the entry
    QString m_strSize;         // prepared by the caller: "%s (%d bytes)"
    QString m_strModified;     // prepared by the caller
    bool m_fReadOnly = false;  // device file attributes
    bool m_fHidden = false;
    bool m_fSystem = false;
    QString m_strAttributes; // server entry's permission text
    QString m_strOwner;      // server entry's owner

protected:
    void showEvent(QShowEvent* pEvent) override;

private:
    void OnInitDialog();

    bool m_fInitialised = false;
    QIcon m_icon; // shown by m_pIcon, which only borrows it
    CStaticEx* m_pIcon = nullptr;
    QLabel* m_pName = nullptr;
    QLabel* m_pPath = nullptr;
    QLabel* m_pSize = nullptr;
    QLabel* m_pModified = nullptr;
    QLabel* m_pAttributesLabel = nullptr;
    QLabel* m_pAttributes = nullptr;
    QLabel* m_pOwnerLabel = nullptr;
    QLabel* m_pOwner = nullptr;
    QCheckBox* m_pReadOnly = nullptr;
    QCheckBox* m_pHidden = nullptr;
    QCheckBox* m_pSystem = nullptr;
};

#pragma once
// The permissions dialog of CHMOD: nine boxes for read, write and execute of owner, group and public, and the
// manual value that is sent to the server. The value is the usual three octal digits; a click on any box
// recomputes it from the boxes, and whatever the edit holds when OK is pressed is the answer, so a value typed
// after the last click wins. It always opens with 644, whatever the chosen entries carry. Nothing is validated:
// the server judges the value.

#include "platform/ProgramKind.h"

#include <QDialog>
#include <QString>

#include <array>

class QCheckBox;
class QLineEdit;

class CFileAttributes : public QDialog
{
    Q_OBJECT

public:
    explicit CFileAttributes(QWidget* pParent = nullptr, EProgramKind kind = ProgramKind());

    // The manual value as it stood when OK was pressed ("644", "755", or whatever digits were typed).
    QString Permissions() const { return m_strPermissions; }

public slots:
    void accept() override;

private:
    // One box per bit, in the order of the fields below.
    static constexpr int kBoxCount = 9;

    // fSave: controls into fields; otherwise fields into controls.
    void UpdateData(bool fSave);
    void ComputePermissions();
    std::array<bool*, kBoxCount> Fields();

    QString m_strPermissions;
    bool m_fOwnerRead = true;
    bool m_fOwnerWrite = true;
    bool m_fOwnerExecute = false;
    bool m_fGroupRead = true;
    bool m_fGroupWrite = false;
    bool m_fGroupExecute = false;
    bool m_fPublicRead = true;
    bool m_fPublicWrite = false;
    bool m_fPublicExecute = false;

    QLineEdit* m_pManualValue = nullptr;          // owned by the dialog
    std::array<QCheckBox*, kBoxCount> m_vBoxes{}; // owned by the dialog
};

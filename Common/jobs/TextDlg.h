#pragma once
// The one-line prompt for new folder names, renames and paths. It opens with the given text and, on OK, hands
// back whatever the edit holds; an empty text is a valid answer, and each caller decides what it means.

#include "platform/ProgramKind.h"

#include <QDialog>
#include <QString>

class QLineEdit;

class CTextDlg : public QDialog
{
    Q_OBJECT

public:
    CTextDlg(const QString& strTitle, const QString& strText, QWidget* pParent = nullptr,
             EProgramKind kind = ProgramKind());

    // The edited text after OK; the text given to the constructor otherwise.
    QString Text() const { return m_strText; }

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* pEvent) override;

private:
    QString m_strText;
    bool m_fInitialised = false;
    QLineEdit* m_pEdit = nullptr; // owned by the dialog
};

#pragma once
// The chores every small dialog repeats, in one place: title and template id, control ids as object names,
// labels and labelled rows, etched lines, the bold default button and, on the handheld, the caption strip whose
// OK (and the Enter key) confirms the dialog.

#include "ControlIds.h"
#include "ProgramKind.h"

#include <QString>

#include <initializer_list>

class QCheckBox;
class QDialog;
class QFrame;
class QGridLayout;
class QLabel;
class QObject;
class QPushButton;
class QVBoxLayout;
class QWidget;

class CDialogBuilder
{
public:
    // The caption strip's OK button. It is no control of the template, so it gets a name instead of an id.
    static constexpr const char* kCaptionOkName = "CaptionOk";

    enum class EButton
    {
        Default, // bold, pressed by Enter on the desktop
        Plain,
    };

    // Gives the dialog its title, its template id as object name and a top-level layout. On the handheld the
    // dialog also gets the caption strip with OK, and Enter confirms it wherever the focus is (both are
    // command 1, the dialog's accept()). Dialogs keep their fixed, laid-out size, as templates do.
    CDialogBuilder(QDialog& dlg, EProgramKind kind, nsIds::CIdPair templateId, const QString& strTitle);

    EProgramKind Kind() const { return m_kind; }
    bool IsHandheld() const { return m_kind == EProgramKind::Handheld; }
    QVBoxLayout& Body() const { return *m_pBody; }

    // objectName "1004" for id 1004; nsIds::kStatic leaves the name alone.
    static void SetControlId(QObject& object, int nId);

    // Widgets owned by the dialog, not yet placed in a layout.
    QLabel* Label(const QString& strText, int nId = nsIds::kStatic) const;
    QCheckBox* CheckBox(const QString& strText, int nId) const;
    // Buttons with the ids kOk and kCancel end the dialog with accept() and reject(). On the handheld, Enter
    // always means OK, so no plain button takes it over when it has the focus.
    QPushButton* Button(int nId, const QString& strText, EButton kind) const;

    // An etched horizontal separator, not yet placed.
    QFrame* EtchedLine() const;

    // Appends to the body.
    QFrame* AddEtchedLine() const;
    void AddButtonRow(std::initializer_list<QPushButton*> buttons) const;
    // A label in the first column and its value in the second, on the grid's next row; returns the label.
    QLabel* AddRow(QGridLayout& grid, const QString& strLabel, int nLabelId, QWidget& value) const;

private:
    void AddCaptionStrip();

    QDialog& m_dlg;
    EProgramKind m_kind;
    QVBoxLayout* m_pBody = nullptr; // owned by the dialog
};

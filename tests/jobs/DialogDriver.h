#pragma once
// Drives real dialogs in widget tests: finds controls by their id, presses keys and types text by sending the
// events a user's keyboard would produce, and counts the etched lines of a layout.

#include <QAbstractButton>
#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

namespace nsDialogDriver
{

// The control with this id (its objectName), or null, which the caller's ASSERT turns into a failure.
template <class TWidget> TWidget* Control(const QWidget& dlg, int nId)
{
    return dlg.findChild<TWidget*>(QString::number(nId));
}

// The text of the static with this id, or a marker that no expected text equals.
inline QString LabelText(const QWidget& dlg, int nId)
{
    const QLabel* pLabel = Control<QLabel>(dlg, nId);
    return pLabel != nullptr ? pLabel->text() : QStringLiteral("<no control %1>").arg(nId);
}

inline void Click(const QWidget& dlg, int nId)
{
    auto* pButton = Control<QAbstractButton>(dlg, nId);
    if (pButton == nullptr)
        ADD_FAILURE() << "no button " << nId;
    else
        pButton->click();
}

inline void PressKey(QWidget& target, int nKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                     const QString& strText = QString())
{
    QKeyEvent press(QEvent::KeyPress, nKey, modifiers, strText);
    QApplication::sendEvent(&target, &press);
    QKeyEvent release(QEvent::KeyRelease, nKey, modifiers, strText);
    QApplication::sendEvent(&target, &release);
}

// Plain ASCII letters and digits, as typed keys (the widget's validator sees each of them).
inline void Type(QWidget& target, const QString& strText)
{
    for (const QChar ch : strText)
        PressKey(target, ch.toUpper().unicode(), Qt::NoModifier, QString(ch));
}

// The ways a user ends a dialog.
enum class EEnd
{
    OkButton,
    CancelButton,
    EnterKey,
    EscapeKey,
    CloseBox,
};

// Ends the dialog as the user would; keys go to pKeyTarget (the focused control), or to the dialog itself.
inline void EndDialog(QWidget& dlg, EEnd end, QWidget* pKeyTarget = nullptr)
{
    QWidget& keys = pKeyTarget != nullptr ? *pKeyTarget : dlg;
    switch (end)
    {
    case EEnd::OkButton:
        Click(dlg, 1);
        break;
    case EEnd::CancelButton:
        Click(dlg, 2);
        break;
    case EEnd::EnterKey:
        PressKey(keys, Qt::Key_Return);
        break;
    case EEnd::EscapeKey:
        PressKey(keys, Qt::Key_Escape);
        break;
    case EEnd::CloseBox:
        dlg.close();
        break;
    }
}

inline int EtchedLineCount(const QWidget& dlg)
{
    int nCount = 0;
    for (const QFrame* pFrame : dlg.findChildren<QFrame*>())
    {
        if (pFrame->frameShape() == QFrame::HLine) ++nCount;
    }
    return nCount;
}

} // namespace nsDialogDriver

#pragma once
// A static control that draws one icon at its top-left corner on the dialog's face colour. It only borrows the
// icon: the dialog that shows it owns the QIcon and must clear the pointer (or outlive the control) before the
// icon goes away.

#include <QWidget>

class QIcon;

class CStaticEx : public QWidget
{
    Q_OBJECT

public:
    // Large shell icons are 32 x 32; the control has exactly that size.
    static constexpr int kIconExtent = 32;

    explicit CStaticEx(QWidget* pParent = nullptr);

    // May be called before or after the control is shown; null draws the face colour only.
    void SetIcon(const QIcon* pIcon);
    const QIcon* Icon() const { return m_pIcon; }

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    const QIcon* m_pIcon = nullptr;
};

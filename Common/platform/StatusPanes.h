#pragma once
// The status line that the layers below the programs write to: pane 0 is the message pane (server replies,
// "Ready"), panes 1 to 3 hold the listing counts on the desktop. A program installs its panes; without them
// (the handheld, start-up, most tests) every text goes nowhere, so nothing below needs a status bar to exist.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <array>

class QLabel;
class QStatusBar;

namespace nsUi
{

class IStatusPanes
{
public:
    virtual ~IStatusPanes() = default;
    virtual void SetPaneText(int nPane, const QString& strText) = 0;
};

// Installs the panes (not owned; null removes them). UI thread only.
void InstallStatusPanes(IStatusPanes* pPanes);
IStatusPanes* InstalledStatusPanes();

// Sets a pane's text. Any thread: from another thread the text is queued to the UI thread (in order) and the
// caller goes on at once.
void SetStatusPaneText(int nPane, const QString& strText);

} // namespace nsUi

// Panes 0 to 3 as labels in a status bar: pane 0 takes the free width, panes 1 to 3 sit at the right, each at
// least as wide as its indicator text. Owned by the bar; installs itself on construction and removes itself when
// destroyed.
class CStatusBarPanes : public QObject, public nsUi::IStatusPanes
{
    Q_OBJECT

public:
    static constexpr int kPaneCount = 4;

    // strIndicators size panes 1, 2 and 3 (missing ones leave a pane as wide as its text).
    explicit CStatusBarPanes(QStatusBar& bar, const QStringList& strIndicators = {});
    ~CStatusBarPanes() override;

    // Texts for panes outside 0 to 3 are dropped.
    void SetPaneText(int nPane, const QString& strText) override;
    QString PaneText(int nPane) const;

private:
    std::array<QPointer<QLabel>, kPaneCount> m_vPanes;
};

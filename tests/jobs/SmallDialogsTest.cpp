// The permissions, properties and text dialogs and the icon control, as real widgets on the offscreen platform.

#include "DialogDriver.h"

#include "jobs/FileAttributes.h"
#include "jobs/PropDlg.h"
#include "jobs/StaticEx.h"
#include "jobs/TextDlg.h"
#include "platform/ControlIds.h"
#include "platform/DialogBuilder.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <vector>

namespace
{

using nsDialogDriver::Click;
using nsDialogDriver::Control;
using nsDialogDriver::EEnd;
using nsDialogDriver::EndDialog;
using nsDialogDriver::EtchedLineCount;
using nsDialogDriver::LabelText;
using nsDialogDriver::PressKey;
using nsDialogDriver::Type;
namespace attr = nsIds::FileAttributes;
namespace prop = nsIds::PropDlg;

constexpr int kAllBoxes[] = {attr::kOwnerRead,  attr::kOwnerWrite,  attr::kOwnerExecute,
                             attr::kGroupRead,  attr::kGroupWrite,  attr::kGroupExecute,
                             attr::kPublicRead, attr::kPublicWrite, attr::kPublicExecute};

std::vector<int> CheckedBoxes(const QWidget& dlg)
{
    std::vector<int> vChecked;
    for (int nId : kAllBoxes)
    {
        const QCheckBox* pBox = Control<QCheckBox>(dlg, nId);
        if (pBox != nullptr && pBox->isChecked()) vChecked.push_back(nId);
    }
    return vChecked;
}

// ---- CFileAttributes ----

TEST(FileAttributesTest, BoxClicksGiveTheOctalValue)
{
    const struct
    {
        const char* pszName;
        std::vector<int> vClicks;
        const char* pszExpected;
    } kCases[] = {
        {"as opened", {}, "644"},
        {"owner execute", {attr::kOwnerExecute}, "744"},
        {"every box cleared", {attr::kOwnerRead, attr::kOwnerWrite, attr::kGroupRead, attr::kPublicRead}, "000"},
        {"every box ticked",
         {attr::kOwnerExecute, attr::kGroupWrite, attr::kGroupExecute, attr::kPublicWrite, attr::kPublicExecute},
         "777"},
        {"public only", {attr::kOwnerRead, attr::kOwnerWrite, attr::kGroupRead, attr::kPublicExecute}, "005"},
    };
    for (const auto& c : kCases)
    {
        SCOPED_TRACE(c.pszName);
        CFileAttributes dlg(nullptr, EProgramKind::Desktop);
        dlg.show();
        auto* pEdit = Control<QLineEdit>(dlg, attr::kManualValue);
        ASSERT_NE(pEdit, nullptr);
        for (int nId : c.vClicks)
            Click(dlg, nId);
        EXPECT_EQ(pEdit->text().toStdString(), c.pszExpected);
        Click(dlg, nsIds::kOk);
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(dlg.Permissions().toStdString(), c.pszExpected);
    }
}

TEST(FileAttributesTest, OpensWith644WhicheverBoxesMeanIt)
{
    CFileAttributes dlg(nullptr, EProgramKind::Desktop);
    dlg.show();
    EXPECT_EQ(CheckedBoxes(dlg),
              (std::vector<int>{attr::kOwnerRead, attr::kOwnerWrite, attr::kGroupRead, attr::kPublicRead}));
    EXPECT_EQ(dlg.windowTitle(), "Change File(s) Attributes");
    EXPECT_EQ(dlg.objectName(), "137");
}

TEST(FileAttributesTest, TypedValueWinsUnlessABoxIsClickedAfterIt)
{
    {
        SCOPED_TRACE("typed, then OK");
        CFileAttributes dlg(nullptr, EProgramKind::Desktop);
        dlg.show();
        auto* pEdit = Control<QLineEdit>(dlg, attr::kManualValue);
        ASSERT_NE(pEdit, nullptr);
        pEdit->selectAll();
        Type(*pEdit, "600");
        EXPECT_EQ(CheckedBoxes(dlg).size(), 4u) << "typing must not touch the boxes";
        Click(dlg, nsIds::kOk);
        EXPECT_EQ(dlg.Permissions(), "600");
    }
    {
        SCOPED_TRACE("typed, then a click");
        CFileAttributes dlg(nullptr, EProgramKind::Desktop);
        dlg.show();
        auto* pEdit = Control<QLineEdit>(dlg, attr::kManualValue);
        ASSERT_NE(pEdit, nullptr);
        pEdit->selectAll();
        Type(*pEdit, "600");
        Click(dlg, attr::kGroupWrite);
        EXPECT_EQ(pEdit->text(), "664");
        Click(dlg, nsIds::kOk);
        EXPECT_EQ(dlg.Permissions(), "664");
    }
    {
        SCOPED_TRACE("digits only, but any number of them");
        CFileAttributes dlg(nullptr, EProgramKind::Desktop);
        dlg.show();
        auto* pEdit = Control<QLineEdit>(dlg, attr::kManualValue);
        ASSERT_NE(pEdit, nullptr);
        pEdit->selectAll();
        Type(*pEdit, "9x9-99");
        Click(dlg, nsIds::kOk);
        EXPECT_EQ(dlg.Permissions(), "9999");
    }
}

TEST(FileAttributesTest, HandheldHasCancelInTheBodyAndConfirmsWithEnterOrTheCaption)
{
    for (const bool fByEnter : {true, false})
    {
        SCOPED_TRACE(fByEnter ? "Enter" : "caption OK");
        CFileAttributes dlg(nullptr, EProgramKind::Handheld);
        dlg.show();
        EXPECT_EQ(dlg.windowTitle(), "File Attributes");
        EXPECT_EQ(dlg.objectName(), "135");
        EXPECT_EQ(Control<QPushButton>(dlg, nsIds::kOk), nullptr);
        ASSERT_NE(Control<QPushButton>(dlg, nsIds::kCancel), nullptr);
        auto* pCaptionOk = dlg.findChild<QToolButton*>(CDialogBuilder::kCaptionOkName);
        ASSERT_NE(pCaptionOk, nullptr);

        auto* pEdit = Control<QLineEdit>(dlg, attr::kManualValue);
        ASSERT_NE(pEdit, nullptr);
        EXPECT_EQ(pEdit->text(), "644");
        Click(dlg, attr::kOwnerExecute);
        pEdit->selectAll();
        Type(*pEdit, "711");
        if (fByEnter)
            PressKey(*pEdit, Qt::Key_Return);
        else
            pCaptionOk->click();
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(dlg.Permissions(), "711");
    }
}

TEST(FileAttributesTest, HandheldCancelAnswersCancelEvenWhenFocusedEnterDoesNot)
{
    CFileAttributes dlg(nullptr, EProgramKind::Handheld);
    dlg.show();
    auto* pCancel = Control<QPushButton>(dlg, nsIds::kCancel);
    ASSERT_NE(pCancel, nullptr);
    // Enter on the focused Cancel button still means OK on the handheld.
    PressKey(*pCancel, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);

    CFileAttributes dlg2(nullptr, EProgramKind::Handheld);
    dlg2.show();
    Click(dlg2, nsIds::kCancel);
    EXPECT_EQ(dlg2.result(), QDialog::Rejected);
}

// ---- CPropDlg ----

std::optional<bool> CheckedState(const QWidget& dlg, int nId)
{
    const QCheckBox* pBox = Control<QCheckBox>(dlg, nId);
    if (pBox == nullptr) return std::nullopt;
    return pBox->isChecked();
}

void ExpectShown(const QWidget& dlg, std::initializer_list<int> ids, bool fShown)
{
    for (int nId : ids)
    {
        const QWidget* pControl = Control<QWidget>(dlg, nId);
        ASSERT_NE(pControl, nullptr) << "no control " << nId;
        EXPECT_EQ(pControl->isVisible(), fShown) << "control " << nId;
    }
}

TEST(PropDlgTest, ServerFolderShowsAttributesAndOwnerAndNoBoxes)
{
    CPropDlg dlg(nullptr, EProgramKind::Desktop);
    dlg.m_fLocal = false;
    dlg.m_fDirectory = true;
    dlg.m_strName = "pub";
    dlg.m_strPath = "/srv/ftp";
    dlg.m_strSize = "4.00 Kb (4096 bytes)";
    dlg.m_strModified = "03/01/24 10:15:00";
    dlg.m_strAttributes = "drwxr-xr-x";
    dlg.m_strOwner = "ftp";
    dlg.show();

    EXPECT_EQ(dlg.windowTitle(), "Properties");
    EXPECT_EQ(dlg.objectName(), "134");
    EXPECT_EQ(LabelText(dlg, prop::kName), "pub");
    EXPECT_EQ(LabelText(dlg, prop::kPath), "/srv/ftp");
    EXPECT_EQ(LabelText(dlg, prop::kSize), "4.00 Kb (4096 bytes)");
    EXPECT_EQ(LabelText(dlg, prop::kModified), "03/01/24 10:15:00");
    EXPECT_EQ(LabelText(dlg, prop::kAttributes), "drwxr-xr-x");
    EXPECT_EQ(LabelText(dlg, prop::kOwner), "ftp");
    EXPECT_EQ(LabelText(dlg, prop::kAttributesLabel), "Attributes:");
    EXPECT_EQ(LabelText(dlg, prop::kOwnerLabel), "Owner:");
    ExpectShown(dlg, {prop::kAttributesLabel, prop::kAttributes, prop::kOwnerLabel, prop::kOwner}, true);
    ExpectShown(dlg, {prop::kReadOnly, prop::kHidden, prop::kSystem}, false);

    auto* pIcon = Control<CStaticEx>(dlg, prop::kIcon);
    ASSERT_NE(pIcon, nullptr);
    ASSERT_NE(pIcon->Icon(), nullptr);
    EXPECT_FALSE(pIcon->Icon()->isNull());

    EXPECT_TRUE(dlg.findChildren<QPushButton*>().isEmpty()) << "the desktop sheet has no buttons";
    EXPECT_EQ(EtchedLineCount(dlg), 2);
    PressKey(dlg, Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
}

TEST(PropDlgTest, DeviceFileShowsItsBoxesAndNoServerTexts)
{
    const QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(QDir(dir.path()).filePath("notes.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    const struct
    {
        bool fReadOnly, fHidden, fSystem;
    } kCases[] = {{true, false, true}, {false, true, false}};
    for (const auto& c : kCases)
    {
        CPropDlg dlg(nullptr, EProgramKind::Desktop);
        dlg.m_fLocal = true;
        dlg.m_strName = "notes.txt";
        dlg.m_strPath = dir.path();
        dlg.m_fReadOnly = c.fReadOnly;
        dlg.m_fHidden = c.fHidden;
        dlg.m_fSystem = c.fSystem;
        dlg.m_strAttributes = "must not show";
        dlg.show();

        ExpectShown(dlg, {prop::kReadOnly, prop::kHidden, prop::kSystem}, true);
        ExpectShown(dlg, {prop::kAttributesLabel, prop::kAttributes, prop::kOwnerLabel, prop::kOwner}, false);
        EXPECT_EQ(CheckedState(dlg, prop::kReadOnly), c.fReadOnly);
        EXPECT_EQ(CheckedState(dlg, prop::kHidden), c.fHidden);
        EXPECT_EQ(CheckedState(dlg, prop::kSystem), c.fSystem);
        EXPECT_EQ(LabelText(dlg, prop::kPath), dir.path());
        auto* pIcon = Control<CStaticEx>(dlg, prop::kIcon);
        ASSERT_NE(pIcon, nullptr);
        ASSERT_NE(pIcon->Icon(), nullptr);
        EXPECT_FALSE(pIcon->Icon()->isNull());
    }
}

TEST(PropDlgTest, HandheldSheetHasNoLinesAndClosesWithTheCaptionOk)
{
    CPropDlg dlg(nullptr, EProgramKind::Handheld);
    dlg.m_strName = "readme";
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), "File Properties");
    EXPECT_EQ(dlg.objectName(), "132");
    EXPECT_EQ(EtchedLineCount(dlg), 0);
    auto* pCaptionOk = dlg.findChild<QToolButton*>(CDialogBuilder::kCaptionOkName);
    ASSERT_NE(pCaptionOk, nullptr);
    pCaptionOk->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(dlg.isVisible());
}

// ---- CTextDlg ----

TEST(TextDlgTest, OkHandsBackTheEditAndCancelLeavesTheText)
{
    const struct
    {
        const char* pszName;
        bool fEdit;
        const char* pszTyped;
        EEnd end;
        int nResult;
        const char* pszText;
    } kCases[] = {
        {"edited, OK", true, "new.txt", EEnd::OkButton, QDialog::Accepted, "new.txt"},
        {"edited, Enter", true, "new.txt", EEnd::EnterKey, QDialog::Accepted, "new.txt"},
        {"OK at once", false, "", EEnd::OkButton, QDialog::Accepted, "old.txt"},
        {"emptied, OK", true, "", EEnd::OkButton, QDialog::Accepted, ""},
        {"edited, Cancel", true, "new.txt", EEnd::CancelButton, QDialog::Rejected, "old.txt"},
        {"edited, Escape", true, "new.txt", EEnd::EscapeKey, QDialog::Rejected, "old.txt"},
    };
    for (const auto& c : kCases)
    {
        SCOPED_TRACE(c.pszName);
        CTextDlg dlg("Rename or Move", "old.txt", nullptr, EProgramKind::Desktop);
        dlg.show();
        EXPECT_EQ(dlg.windowTitle(), "Rename or Move");
        EXPECT_EQ(dlg.objectName(), "133");
        auto* pEdit = Control<QLineEdit>(dlg, nsIds::TextDlg::kEdit.nDesktop);
        ASSERT_NE(pEdit, nullptr);
        EXPECT_EQ(pEdit->text(), "old.txt");
        if (c.fEdit)
        {
            pEdit->selectAll();
            PressKey(*pEdit, Qt::Key_Delete);
            Type(*pEdit, c.pszTyped);
        }
        EndDialog(dlg, c.end, pEdit);
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(dlg.result(), c.nResult);
        EXPECT_EQ(dlg.Text().toStdString(), c.pszText);
    }
}

TEST(TextDlgTest, RunsModallyUntilOkIsPressed)
{
    CTextDlg dlg("New Directory", "", nullptr, EProgramKind::Desktop);
    QTimer::singleShot(0, &dlg,
                       [&dlg]
                       {
                           if (auto* pEdit = Control<QLineEdit>(dlg, nsIds::TextDlg::kEdit.nDesktop))
                               Type(*pEdit, "docs");
                           Click(dlg, nsIds::kOk);
                       });
    // Never leaves the test waiting, whatever goes wrong above.
    QTimer::singleShot(5000, &dlg, &QDialog::reject);
    EXPECT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_EQ(dlg.Text(), "docs");
}

TEST(TextDlgTest, HandheldUsesItsOwnEditAndConfirmsWithEnter)
{
    CTextDlg dlg("Rename or Move", "a.txt", nullptr, EProgramKind::Handheld);
    dlg.show();
    EXPECT_EQ(dlg.objectName(), "131");
    EXPECT_EQ(Control<QLineEdit>(dlg, nsIds::TextDlg::kEdit.nDesktop), nullptr);
    auto* pEdit = Control<QLineEdit>(dlg, nsIds::TextDlg::kEdit.nHandheld);
    ASSERT_NE(pEdit, nullptr);
    EXPECT_EQ(Control<QPushButton>(dlg, nsIds::kOk), nullptr);
    ASSERT_NE(Control<QPushButton>(dlg, nsIds::kCancel), nullptr);
    ASSERT_NE(dlg.findChild<QToolButton*>(CDialogBuilder::kCaptionOkName), nullptr);
    pEdit->end(false);
    Type(*pEdit, "x");
    PressKey(*pEdit, Qt::Key_Return);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Text(), "a.txtx");
}

TEST(TextDlgTest, ProgramKindSettingPicksTheTemplate)
{
    SetProgramKind(EProgramKind::Handheld);
    const CTextDlg handheld("t", "x");
    SetProgramKind(EProgramKind::Desktop);
    const CTextDlg desktop("t", "x");
    EXPECT_EQ(handheld.objectName(), "131");
    EXPECT_EQ(desktop.objectName(), "133");
}

// ---- CStaticEx ----

TEST(StaticExTest, PaintsTheBorrowedIconAtTheCornerOnTheFaceColour)
{
    // Smaller than the control, so both where it lands and what surrounds it show.
    constexpr int nSide = CStaticEx::kIconExtent / 2;
    QPixmap red(nSide, nSide);
    red.fill(Qt::red);
    const QIcon icon(red);

    CStaticEx control;
    const QColor face = control.palette().color(QPalette::Window);
    ASSERT_NE(face, QColor(Qt::red));
    EXPECT_EQ(control.grab().toImage().pixelColor(0, 0), face);

    control.SetIcon(&icon);
    const QImage painted = control.grab().toImage();
    EXPECT_EQ(painted.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(painted.pixelColor(nSide - 1, nSide - 1), QColor(Qt::red));
    EXPECT_EQ(painted.pixelColor(nSide, nSide), face);
    EXPECT_EQ(painted.pixelColor(CStaticEx::kIconExtent - 1, 0), face);

    control.SetIcon(nullptr);
    EXPECT_EQ(control.grab().toImage().pixelColor(0, 0), face);
}

} // namespace

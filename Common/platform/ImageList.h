#pragma once
// The icons of a list control's rows, addressed by index: one list of 32 x 32 icons for the icon view and one
// of 16 x 16 icons for the others. Rows keep an index; both lists of a view grow together, so an index means
// the same file in both.

#include <QIcon>
#include <QObject>

#include <vector>

class CImageList : public QObject
{
    Q_OBJECT

public:
    static constexpr int kLarge = 32;
    static constexpr int kSmall = 16;

    explicit CImageList(int nImageSize = kLarge, QObject* pParent = nullptr);

    // The new icon's index; a null icon adds nothing and gives -1 (a row without an icon).
    int Add(const QIcon& icon);
    // Null for -1 and any other index outside the list.
    QIcon Icon(int nIndex) const;
    int GetImageCount() const { return static_cast<int>(m_vIcons.size()); }
    int GetImageSize() const { return m_nImageSize; }
    void RemoveAll() { m_vIcons.clear(); }

private:
    int m_nImageSize;
    std::vector<QIcon> m_vIcons;
};

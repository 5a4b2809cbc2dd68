#include "ImageList.h"

CImageList::CImageList(int nImageSize, QObject* pParent) : QObject(pParent), m_nImageSize(nImageSize) {}

int CImageList::Add(const QIcon& icon)
{
    if (icon.isNull()) return -1;
    m_vIcons.push_back(icon);
    return GetImageCount() - 1;
}

QIcon CImageList::Icon(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetImageCount()) return {};
    return m_vIcons[static_cast<size_t>(nIndex)];
}

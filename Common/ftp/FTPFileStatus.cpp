#include "FTPFileStatus.h"

namespace nsFTP
{

void CFTPFileStatus::Clear()
{
    m_strName.clear();
    m_strPath.clear();
    m_fIsDirectory = false;
    m_fIsFile = false;
    m_nSizeKnown = 0;
    m_nSize = 0;
    m_tModified = 0;
    m_strAttributes.clear();
    m_strOwner.clear();
    m_strGroup.clear();
    m_strLinks.clear();
    m_nIdKnown = 0;
    m_strId.clear();
}

} // namespace nsFTP

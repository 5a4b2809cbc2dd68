#include "TransferNotification.h"

#include "Text.h"

namespace nsFTP
{

void COutputStream::DataReceived(const char* pBuffer, int nCount)
{
    if (nCount > 0) m_strBuffer.append(pBuffer, static_cast<size_t>(nCount));
}

bool COutputStream::GetNextLine(std::wstring& strLine)
{
    if (m_nCurrentPos >= m_strBuffer.size()) return false;
    size_t nEnd = m_strBuffer.find('\n', m_nCurrentPos);
    const size_t nNext = nEnd == std::string::npos ? m_strBuffer.size() : nEnd + 1;
    if (nEnd == std::string::npos)
        nEnd = m_strBuffer.size();
    else if (nEnd > m_nCurrentPos && m_strBuffer[nEnd - 1] == '\r')
        --nEnd;
    strLine = WideFromWire(std::string_view(m_strBuffer).substr(m_nCurrentPos, nEnd - m_nCurrentPos));
    m_nCurrentPos = nNext;
    return true;
}

} // namespace nsFTP

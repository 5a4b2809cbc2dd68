#pragma once
// One server reply: its whole text (all lines of a multi-line reply) and its three-character code.

#include <string>

namespace nsFTP
{

class CReply
{
public:
    void Set(std::wstring strText)
    {
        m_strText = std::move(strText);
        m_strCode = m_strText.substr(0, 3);
    }
    void Clear()
    {
        m_strText.clear();
        m_strCode.clear();
    }
    const std::wstring& Value() const { return m_strText; }
    const std::wstring& Code() const { return m_strCode; }

    // A valid code: three characters, the first 1..5, the second 0..5; the third is not checked.
    bool IsCodeValid() const
    {
        return m_strCode.size() == 3 && m_strCode[0] >= L'1' && m_strCode[0] <= L'5' && m_strCode[1] >= L'0' &&
               m_strCode[1] <= L'5';
    }
    // The reply class, the code's first digit; 0 without a valid code.
    int Class() const { return IsCodeValid() ? m_strCode[0] - L'0' : 0; }

private:
    std::wstring m_strText;
    std::wstring m_strCode;
};

} // namespace nsFTP

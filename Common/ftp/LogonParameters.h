#pragma once
// Everything a logon needs: the server, the credentials and, for logons through an FTP proxy, the firewall.

#include <cstdint>
#include <string>

namespace nsFTP
{

enum EFirewallType : std::int32_t
{
    FW_NONE = 0,
    FW_SITE = 1,
    FW_USER_AT_HOST_AFTER_LOGON = 2,
    FW_OPEN = 3,
    FW_TRANSPARENT_LOGON = 4,
    FW_USER_AT_HOST = 5,
    FW_FWUSER_AT_HOST = 6,
    FW_USER_AT_HOST_FWUSER = 7,
    FW_USER_AT_FWUSER_AT_HOST = 8,
};

class CLogonParameters
{
public:
    std::wstring m_strHost;
    std::uint16_t m_nPort = 21;
    std::wstring m_strUser = L"anonymous";
    std::wstring m_strPassword;
    std::wstring m_strAccount;
    std::wstring m_strFwHost;
    std::wstring m_strFwUser;
    std::wstring m_strFwPassword;
    std::uint16_t m_nFwPort = 21;
    std::int32_t m_nFwType = FW_NONE;

    // The server as firewall commands name it: the host, plus ":port" unless the port is 21.
    std::wstring HostDesignation() const
    {
        return m_nPort == 21 ? m_strHost : m_strHost + L":" + std::to_wstring(m_nPort);
    }
};

} // namespace nsFTP

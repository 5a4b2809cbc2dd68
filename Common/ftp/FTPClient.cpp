#include "FTPClient.h"

#include "Report.h"
#include "Text.h"

#include <arpa/inet.h>
#include <netdb.h>

#include <array>
#include <chrono>
#include <cstring>
#include <thread>

namespace nsFTP
{

namespace
{

using nsSocket::CBlockingSocketException;

// A blocking connect waits minutes on Linux; the platform this client grew up on gave up after about 20 s.
constexpr int kMinConnectTimeoutSec = 20;

// The integer value of a line's leading digits ("220-" gives 220, no digits give 0).
long LeadingNumber(const std::wstring& strLine)
{
    long nValue = 0;
    for (wchar_t ch : strLine)
    {
        if (ch < L'0' || ch > L'9') break;
        nValue = nValue * 10 + (ch - L'0');
        if (nValue > 100000) break;
    }
    return nValue;
}

// ---- logon sequences ----

// One step of a logon sequence: the command to send, and where a class-2 or class-3 reply leads.
// Steps are numbered from 1; kDone means logged on, kFail that the logon failed.
constexpr int kDone = 0;
constexpr int kFail = -1;

struct CLogonStep
{
    int nCommand;
    int nOnClass2;
    int nOnClass3;
};

using CLogonSequence = std::array<CLogonStep, 6>;

// Indexed by firewall type; unused steps at the end are never reached.
constexpr std::array<CLogonSequence, 9> kLogonSequences = {{
    {{{0, kDone, 2}, {1, kDone, 3}, {2, kDone, kFail}}},
    {{{3, 3, 2}, {4, 3, kFail}, {5, kFail, 4}, {0, kDone, 5}, {1, kDone, 6}, {2, kDone, kFail}}},
    {{{3, 3, 2}, {4, 3, kFail}, {6, kDone, 4}, {1, kDone, 5}, {2, kDone, kFail}}},
    {{{7, 2, 2}, {0, kDone, 3}, {1, kDone, 4}, {2, kDone, kFail}}},
    {{{3, 3, 2}, {4, 3, kFail}, {0, kDone, 4}, {1, kDone, 5}, {2, kDone, kFail}}},
    {{{6, kDone, 2}, {1, kDone, 3}, {2, kDone, kFail}}},
    {{{8, 3, 2}, {4, 3, kFail}, {0, kDone, 4}, {1, kDone, 5}, {2, kDone, kFail}}},
    {{{9, kFail, 2}, {1, kDone, 3}, {2, kDone, kFail}}},
    {{{10, kDone, 2}, {11, kDone, 3}, {2, kDone, kFail}}},
}};

std::wstring LogonCommand(int nCommand, const CLogonParameters& logon)
{
    const std::wstring strHost = logon.HostDesignation();
    switch (nCommand)
    {
    case 0:
        return L"USER " + logon.m_strUser;
    case 1:
        return L"PASS " + logon.m_strPassword;
    case 2:
        return L"ACCT " + logon.m_strAccount;
    case 3:
        return L"USER " + logon.m_strFwUser;
    case 4:
        return L"PASS " + logon.m_strFwPassword;
    case 5:
        return L"SITE " + strHost;
    case 6:
        return L"USER " + logon.m_strUser + L"@" + strHost;
    case 7:
        return L"OPEN " + strHost;
    case 8:
        return L"USER " + logon.m_strFwUser + L"@" + strHost;
    case 9:
        return L"USER " + logon.m_strUser + L"@" + strHost + L" " + logon.m_strFwUser;
    case 10:
        return L"USER " + logon.m_strUser + L"@" + logon.m_strFwUser + L"@" + strHost;
    case 11:
        return L"PASS " + logon.m_strPassword + L"@" + logon.m_strFwPassword;
    default:
        return {};
    }
}

// The directory of a PWD reply, from the text after the code and its separator. RFC 959 quotes it and doubles
// quotes inside; unquoted replies are cut at the first blank or quote.
std::wstring DirectoryFromPwd(const std::wstring& strText)
{
    if (strText.size() < 5) return {};
    const std::wstring strRest = strText.substr(4);
    if (!strRest.empty() && strRest[0] == L'"')
    {
        std::wstring strDir;
        for (size_t i = 1; i < strRest.size(); ++i)
        {
            if (strRest[i] != L'"')
                strDir += strRest[i];
            else if (i + 1 < strRest.size() && strRest[i + 1] == L'"')
                strDir += strRest[++i];
            else
                return strDir;
        }
        // No closing quote: fall through to the plain rule below.
    }
    auto IsStop = [](wchar_t ch) { return ch == L' ' || ch == L'\'' || ch == L'"'; };
    size_t nStart = 0;
    while (nStart < strRest.size() && IsStop(strRest[nStart]))
        ++nStart;
    size_t nEnd = nStart;
    while (nEnd < strRest.size() && !IsStop(strRest[nEnd]))
        ++nEnd;
    return strRest.substr(nStart, nEnd - nStart);
}

} // namespace

CFTPClient::CFTPClient(std::unique_ptr<nsSocket::IBlockingSocket> pSocket, int nTimeoutSec, unsigned nBufferSize,
                       int nReceiveDelayMs)
    : m_nTimeout(nTimeoutSec), m_nReceiveDelay(nReceiveDelayMs), m_vBuffer(nBufferSize < 2 ? 2 : nBufferSize, 0),
      m_pSocket(std::move(pSocket))
{
}

CFTPClient::~CFTPClient()
{
    if (m_fTransferRunning) m_fAbortRequested = true;
    if (IsConnected()) LogOff();
    if (m_pSocket) m_pSocket->CloseQuietly();
}

bool CFTPClient::IsConnected() const
{
    return m_pSocket && m_pSocket->GetHandle() != 0;
}

// ---- control connection ----

bool CFTPClient::OpenControl(const std::wstring& strHost, unsigned short nPort)
{
    CloseControl();
    try
    {
        m_pSocket->Create(SOCK_STREAM);
        // A name with characters beyond 8 bits has no form the resolver takes here: it cannot be found.
        const std::optional<std::string> strHost8 = WireFromWide(strHost);
        if (!strHost8) throw CBlockingSocketException(nsSocket::HostNotFoundMessage(strHost), EAI_NONAME);
        sockaddr_in addr{};
        in_addr ip{};
        if (inet_aton(strHost8->c_str(), &ip) != 0)
        {
            addr.sin_family = AF_INET;
            addr.sin_port = htons(nPort);
            addr.sin_addr = ip;
        }
        else
        {
            addr = m_pSocket->ResolveHost(*strHost8, nPort);
        }
        m_pSocket->Connect(addr, std::max(kMinConnectTimeoutSec, m_nTimeout));
    }
    catch (const CBlockingSocketException& e)
    {
        ReportError(e.GetErrorText());
        m_pSocket->CloseQuietly();
        return false;
    }
    return true;
}

void CFTPClient::CloseControl()
{
    try
    {
        m_pSocket->Close();
        m_pRepresentation.reset();
    }
    catch (const CBlockingSocketException&)
    {
        m_pSocket->CloseQuietly();
    }
    // What was queued belonged to the old connection, and so did the working folder: an empty folder is how
    // the layers above tell that no server is there.
    m_qLines.clear();
    m_strPending.clear();
    m_strCurrentDir.clear();
}

bool CFTPClient::FailControl(const std::wstring& strText, bool fReport)
{
    if (fReport) ReportError(strText);
    m_pSocket->CloseQuietly();
    m_qLines.clear();
    m_strPending.clear();
    m_strCurrentDir.clear();
    return false;
}

bool CFTPClient::SendCommandLine(const std::wstring& strCommand, bool fReport)
{
    if (!IsConnected()) return false;
    // A line break inside a name would end the command early and start another one on the server.
    if (strCommand.find_first_of(L"\r\n") != std::wstring::npos)
    {
        if (fReport)
            ReportError(L"The command was not sent: it contains a line break, which an FTP command cannot carry.");
        return false;
    }
    std::optional<std::string> strLine = WireFromWide(strCommand);
    if (!strLine)
    {
        if (fReport)
            ReportError(L"The command was not sent: it contains characters that an FTP connection cannot carry "
                        L"(only characters up to U+00FF can be sent).");
        return false;
    }
    *strLine += "\r\n";
    try
    {
        m_pSocket->Write(strLine->data(), static_cast<int>(strLine->size()), m_nTimeout);
    }
    catch (const CBlockingSocketException& e)
    {
        return FailControl(e.GetErrorText(), fReport);
    }
    return true;
}

bool CFTPClient::ReadReplyLine(std::wstring& strLine, bool fReport)
{
    strLine.clear();
    if (!IsConnected()) return false;
    try
    {
        // TCP has no line boundaries: keep receiving until a whole line is there.
        while (m_qLines.empty())
        {
            const int nSize = static_cast<int>(m_vBuffer.size()) - 1;
            const int nReceived = m_pSocket->Receive(m_vBuffer.data(), nSize, m_nTimeout);
            if (m_nReceiveDelay != 0) std::this_thread::sleep_for(std::chrono::milliseconds(m_nReceiveDelay));
            if (nReceived <= 0)
            {
                // The server closed: what is left after the last line feed is a line of its own.
                if (!m_strPending.empty())
                {
                    m_qLines.push_back(std::move(m_strPending));
                    m_strPending.clear();
                    break;
                }
                return FailControl(L"The server closed the connection.", fReport);
            }
            m_vBuffer[static_cast<size_t>(nReceived)] = '\0';
            // A zero byte ends the text of this receive.
            const size_t nText = std::strlen(m_vBuffer.data());
            size_t nFrom = m_strPending.size();
            m_strPending.append(m_vBuffer.data(), nText);
            size_t nLineStart = 0;
            for (size_t nLf; (nLf = m_strPending.find('\n', nFrom)) != std::string::npos; nFrom = nLf + 1)
            {
                m_qLines.push_back(m_strPending.substr(nLineStart, nLf + 1 - nLineStart));
                nLineStart = nLf + 1;
            }
            m_strPending.erase(0, nLineStart);
            if (m_strPending.size() > kMaxReplySize)
                return FailControl(L"The server sent a reply line longer than 1 MiB. The connection was closed.",
                                   fReport);
        }
    }
    catch (const CBlockingSocketException& e)
    {
        return FailControl(e.GetErrorText(), fReport);
    }
    std::string strRaw = std::move(m_qLines.front());
    m_qLines.pop_front();
    if (strRaw.size() >= 2 && strRaw.compare(strRaw.size() - 2, 2, "\r\n") == 0) strRaw.resize(strRaw.size() - 2);
    strLine = WideFromWire(strRaw);
    return true;
}

bool CFTPClient::ReadReply(CReply& reply, bool fReport)
{
    reply.Clear();
    std::wstring strLine;
    if (!ReadReplyLine(strLine, fReport)) return false;
    std::wstring strText = strLine;
    if (strLine.size() > 3 && strLine[3] == L'-')
    {
        const long nNumber = LeadingNumber(strLine);
        for (;;)
        {
            // The keep-alive promises silence, so the report flag holds for the continuation lines too.
            if (!ReadReplyLine(strLine, fReport)) return false;
            strText += L"\r\n";
            strText += strLine;
            if (strText.size() > kMaxReplySize)
                return FailControl(L"The server sent a reply longer than 1 MiB. The connection was closed.", fReport);
            if (strLine.size() > 3 && strLine[3] == L' ' && LeadingNumber(strLine) == nNumber) break;
        }
    }
    reply.Set(std::move(strText));
    if (fReport) ReportReplyText(reply.Value());
    return reply.IsCodeValid();
}

int CFTPClient::ClassifyReply(const CReply& reply, bool fReport)
{
    const int nClass = reply.Class();
    if (nClass == 2) return 0;
    if (fReport) ReportError(reply.Value());
    return nClass == 4 || nClass == 5 ? 1 : -1;
}

bool CFTPClient::SendAndRead(const std::wstring& strCommand, CReply& reply)
{
    reply.Clear();
    if (SendCommandLine(strCommand, true) && ReadReply(reply, true)) return true;
    ReportError(reply.Value());
    return false;
}

int CFTPClient::SimpleCommand(const std::wstring& strCommand)
{
    CReply reply;
    if (!SendAndRead(strCommand, reply)) return -1;
    return ClassifyReply(reply, true);
}

// ---- logon, logoff, keep-alive ----

bool CFTPClient::LogOn(const CLogonParameters& logon, int nTimeoutSec)
{
    // Checked before anything goes out: the sequence table has no entries for other values.
    if (logon.m_nFwType < FW_NONE || logon.m_nFwType > FW_USER_AT_FWUSER_AT_HOST)
    {
        ReportError(L"Unknown firewall type " + std::to_wstring(logon.m_nFwType) + L". The logon was not attempted.");
        return false;
    }
    m_logon = logon;
    m_nTimeout = nTimeoutSec;
    const bool fFirewall = logon.m_nFwType != FW_NONE;
    const std::wstring& strTarget = fFirewall ? logon.m_strFwHost : logon.m_strHost;
    const unsigned short nTargetPort = fFirewall ? logon.m_nFwPort : logon.m_nPort;

    if (IsConnected()) LogOff();
    if (!OpenControl(strTarget, nTargetPort)) return false;

    CReply reply;
    if (!ReadReply(reply, true) || reply.Class() != 2)
    {
        ReportError(reply.Value());
        return false;
    }

    const CLogonSequence& sequence = kLogonSequences[static_cast<size_t>(logon.m_nFwType)];
    int nStep = 1;
    for (;;)
    {
        const CLogonStep& step = sequence[static_cast<size_t>(nStep - 1)];
        if (!SendAndRead(LogonCommand(step.nCommand, m_logon), reply)) return false;
        const int nClass = reply.Class();
        if (nClass != 2 && nClass != 3)
        {
            ReportError(reply.Value());
            return false;
        }
        nStep = nClass == 2 ? step.nOnClass2 : step.nOnClass3;
        if (nStep == kDone)
        {
            m_strCurrentDir.clear();
            std::wstring strDir;
            return CurrentDirectory(strDir) == 0;
        }
        if (nStep == kFail)
        {
            ReportError(L"Logon failed.");
            return false;
        }
    }
}

int CFTPClient::LogOff()
{
    CReply reply;
    if (!SendAndRead(L"QUIT", reply)) return -1;
    CloseControl();
    return ClassifyReply(reply, true);
}

int CFTPClient::SendKeepAlive()
{
    CReply reply;
    if (!SendCommandLine(L"PWD", false) || !ReadReply(reply, false)) return -1;
    return ClassifyReply(reply, false);
}

// ---- folder and file commands ----

int CFTPClient::CurrentDirectory(std::wstring& strDirectory)
{
    if (!m_strCurrentDir.empty())
    {
        strDirectory = m_strCurrentDir;
        return 0;
    }
    CReply reply;
    if (!SendAndRead(L"PWD", reply)) return -1;
    if (reply.Class() == 2) m_strCurrentDir = DirectoryFromPwd(reply.Value());
    if (m_strCurrentDir.empty())
    {
        ReportError(reply.Value());
        return -1;
    }
    strDirectory = m_strCurrentDir;
    return 0;
}

int CFTPClient::ChangeDirectory(const std::wstring& strPath)
{
    const int nResult = SimpleCommand(L"CWD " + strPath);
    if (nResult == 0) m_strCurrentDir = strPath;
    return nResult;
}

int CFTPClient::NewDirectory(const std::wstring& strPath, bool fShowErrors)
{
    CReply reply;
    if (!SendCommandLine(L"MKD " + strPath, true) || !ReadReply(reply, true))
    {
        if (fShowErrors) ReportError(reply.Value());
        return -1;
    }
    return ClassifyReply(reply, fShowErrors);
}

int CFTPClient::DeleteDirectory(const std::wstring& strPath)
{
    return SimpleCommand(L"RMD " + strPath);
}

int CFTPClient::DeleteRemoteFile(const std::wstring& strPath)
{
    return SimpleCommand(L"DELE " + strPath);
}

int CFTPClient::RenameRemote(const std::wstring& strOldPath, const std::wstring& strNewPath)
{
    CReply reply;
    if (!SendAndRead(L"RNFR " + strOldPath, reply)) return -1;
    if (reply.Class() != 3)
    {
        ReportError(reply.Value());
        return reply.Class() == 4 || reply.Class() == 5 ? 1 : -1;
    }
    return SimpleCommand(L"RNTO " + strNewPath);
}

int CFTPClient::SendSiteCommand(const std::wstring& strArgument)
{
    return SimpleCommand(L"SITE " + strArgument);
}

} // namespace nsFTP

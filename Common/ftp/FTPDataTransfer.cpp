// CFTPClient: data connections (passive and active), the closed transfer loop, listings and the open transfer
// interface used by the jobs.

#include "FTPClient.h"

#include "ListParser.h"
#include "Report.h"

#include <arpa/inet.h>

#include <ctime>

namespace nsFTP
{

namespace
{

using nsSocket::CBlockingSocketException;

int CurrentUtcYear()
{
    const std::time_t now = std::time(nullptr);
    std::tm tmUtc{};
    gmtime_r(&now, &tmUtc);
    return tmUtc.tm_year + 1900;
}

bool IsReceiveCommand(int nCommand)
{
    return nCommand == DC_LIST || nCommand == DC_NLST || nCommand == DC_RETR;
}

} // namespace

std::wstring CFTPClient::DataCommandLine(int nCommand, const std::wstring& strPath)
{
    switch (nCommand)
    {
    case DC_LIST:
        return strPath.empty() ? L"LIST" : L"LIST " + strPath;
    case DC_NLST:
        return strPath.empty() ? L"NLST" : L"NLST " + strPath;
    case DC_RETR:
        return L"RETR " + strPath;
    case DC_STOR:
        return L"STOR " + strPath;
    case DC_STOU:
        return L"STOU " + strPath;
    case DC_APPE:
        return L"APPE " + strPath;
    default:
        return {};
    }
}

// ---- representation ----

int CFTPClient::SetRepresentation(const CRepresentation& representation)
{
    std::wstring strLine;
    switch (representation.m_nType)
    {
    case CRepresentation::ASCII:
        strLine = L"TYPE A";
        break;
    case CRepresentation::EBCDIC:
        strLine = L"TYPE E";
        break;
    case CRepresentation::Image:
        strLine = L"TYPE I";
        break;
    case CRepresentation::Local:
        // Bytes of 8 bits: the only size that this client's byte streams can carry.
        strLine = L"TYPE L 8";
        break;
    default:
        return -1;
    }
    const std::wstring strTypeOnly = strLine;
    if (representation.m_nType == CRepresentation::ASCII || representation.m_nType == CRepresentation::EBCDIC)
    {
        switch (representation.m_nFormat)
        {
        case CRepresentation::NonPrint:
            strLine += L" N";
            break;
        case CRepresentation::TelnetFormat:
            strLine += L" T";
            break;
        case CRepresentation::CarriageControl:
            strLine += L" C";
            break;
        default:
            break;
        }
    }
    if (strLine == strTypeOnly) return SimpleCommand(strLine);
    // Non-print is the default format, and some servers refuse to hear it named ("TYPE A N" gets 504 from
    // them): then ask for the type alone before telling the user anything.
    CReply reply;
    if (!SendAndRead(strLine, reply)) return -1;
    if (reply.Class() == 5 && representation.m_nFormat == CRepresentation::NonPrint) return SimpleCommand(strTypeOnly);
    return ClassifyReply(reply, true);
}

bool CFTPClient::EnsureRepresentation(const CRepresentation& representation)
{
    // What a server assumes after logon.
    if (!m_pRepresentation) m_pRepresentation = std::make_unique<CRepresentation>();
    if (*m_pRepresentation == representation) return true;
    if (SetRepresentation(representation) != 0) return false;
    // A failed TYPE may have closed the connection and with it the representation.
    if (!m_pRepresentation) m_pRepresentation = std::make_unique<CRepresentation>();
    *m_pRepresentation = representation;
    return true;
}

// ---- passive and active mode ----

bool CFTPClient::ParsePassiveReply(const std::wstring& strText, std::uint32_t& nAddress, unsigned short& nPort)
{
    int nState = 0;
    int nCounter = 4;
    std::uint32_t nNumber = 0;
    std::uint32_t nAddr = 0;
    std::uint32_t nPortValue = 0;
    for (wchar_t ch : strText)
    {
        const bool fDigit = ch >= L'0' && ch <= L'9';
        switch (nState)
        {
        case 0:
            if (ch == L'(') nState = 1;
            break;
        case 1:
            if (fDigit)
                nNumber = nNumber * 10 + static_cast<std::uint32_t>(ch - L'0');
            else if (ch == L',')
            {
                --nCounter;
                if (nCounter == 0)
                {
                    nAddr += nNumber;
                    nState = 2;
                }
                else
                {
                    nAddr += nNumber << (8 * nCounter);
                }
                nNumber = 0;
            }
            else
                return false;
            break;
        case 2:
            if (fDigit)
                nNumber = nNumber * 10 + static_cast<std::uint32_t>(ch - L'0');
            else if (ch == L',')
            {
                nPortValue = (nNumber & 0xFF) << 8;
                nNumber = 0;
                nState = 3;
            }
            else
                return false;
            break;
        case 3:
            if (fDigit)
                nNumber = nNumber * 10 + static_cast<std::uint32_t>(ch - L'0');
            else if (ch == L')')
            {
                nPortValue += nNumber;
                nState = 4;
            }
            else
                return false;
            break;
        default:
            break;
        }
        // Keep the running number bounded on absurd input; the groups are bytes anyway.
        if (nNumber > 0xFFFFFF) nNumber = 0xFFFFFF;
        if (nState == 4) break;
    }
    if (nState != 4) return false;
    nAddress = nAddr;
    nPort = static_cast<unsigned short>(nPortValue);
    return true;
}

int CFTPClient::RequestPassive(std::uint32_t& nAddress, unsigned short& nPort)
{
    CReply reply;
    if (!SendAndRead(L"PASV", reply)) return -1;
    if (reply.Class() != 2) return ClassifyReply(reply, true);
    if (ParsePassiveReply(reply.Value(), nAddress, nPort)) return 0;
    ReportError(reply.Value());
    return -1;
}

int CFTPClient::SendPortCommand(const std::wstring& strAddress, unsigned short nPort)
{
    std::wstring strLine =
        L"PORT " + strAddress + L"," + std::to_wstring((nPort >> 8) & 0xFF) + L"," + std::to_wstring(nPort & 0xFF);
    for (wchar_t& ch : strLine)
        if (ch == L'.') ch = L',';
    return SimpleCommand(strLine);
}

bool CFTPClient::StartDataCommand(int nCommand, const std::wstring& strPath)
{
    CReply reply;
    if (!SendAndRead(DataCommandLine(nCommand, strPath), reply)) return false;
    if (reply.Class() == 1) return true;
    ReportError(reply.Value());
    return false;
}

bool CFTPClient::OpenPassiveData(int nCommand, const std::wstring& strPath, nsSocket::IBlockingSocket& data)
{
    std::uint32_t nAddress = 0;
    unsigned short nPort = 0;
    if (RequestPassive(nAddress, nPort) != 0) return false;
    try
    {
        // The reply's address is the server's word only: a hostile server could aim us at any host. The data
        // connection goes to the host we are already talking to, at the port the reply names.
        sockaddr_in addr{};
        m_pSocket->GetPeerAddress(addr);
        addr.sin_port = htons(nPort);
        data.Create(SOCK_STREAM);
        data.Connect(addr, m_nTimeout);
    }
    catch (const CBlockingSocketException& e)
    {
        ReportError(e.GetErrorText());
        data.CloseQuietly();
        return false;
    }
    if (StartDataCommand(nCommand, strPath)) return true;
    data.CloseQuietly();
    return false;
}

bool CFTPClient::OpenActiveData(int nCommand, const std::wstring& strPath, nsSocket::IBlockingSocket& data)
{
    std::unique_ptr<nsSocket::IBlockingSocket> pListener = m_pSocket->NewInstance();
    if (!pListener) return false;
    std::wstring strAddress;
    unsigned short nPort = 0;
    try
    {
        // Listen on the address the server knows us by (the one PORT names), not on every interface.
        sockaddr_in local{};
        m_pSocket->GetLocalAddress(local);
        sockaddr_in addrBind = local;
        addrBind.sin_port = 0;
        pListener->Create(SOCK_STREAM);
        pListener->Bind(addrBind);
        sockaddr_in bound{};
        pListener->GetLocalAddress(bound);
        nPort = ntohs(bound.sin_port);
        pListener->Listen();
        char szAddress[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &local.sin_addr, szAddress, sizeof(szAddress));
        strAddress.assign(szAddress, szAddress + std::char_traits<char>::length(szAddress));
    }
    catch (const CBlockingSocketException& e)
    {
        ReportError(e.GetErrorText());
        pListener->CloseQuietly();
        return false;
    }
    if (SendPortCommand(strAddress, nPort) != 0 || !StartDataCommand(nCommand, strPath))
    {
        pListener->CloseQuietly();
        return false;
    }
    bool fAccepted = false;
    try
    {
        // A server that never connects back must not hold the user for ever.
        sockaddr_in peer{};
        fAccepted = pListener->Accept(data, peer, m_nTimeout);
    }
    catch (const CBlockingSocketException& e)
    {
        ReportError(e.GetErrorText());
    }
    pListener->CloseQuietly();
    return fAccepted;
}

// ---- the closed loop ----

bool CFTPClient::FailDataTransfer(nsSocket::IBlockingSocket& data, const std::wstring& strText)
{
    m_fTransferRunning = false;
    ReportError(strText);
    data.CloseQuietly();
    return false;
}

bool CFTPClient::TransferLoop(nsSocket::IBlockingSocket& data, ITransferNotification& notification, int nCommand)
{
    m_fTransferRunning = true;
    const int nBuffer = static_cast<int>(m_vBuffer.size());
    try
    {
        if (IsReceiveCommand(nCommand))
        {
            const bool fListing = nCommand == DC_LIST || nCommand == DC_NLST;
            std::int64_t nTotal = 0;
            for (int nReceived;
                 !m_fAbortRequested && (nReceived = data.Receive(m_vBuffer.data(), nBuffer, m_nTimeout)) > 0;)
            {
                nTotal += nReceived;
                if (fListing && nTotal > m_nMaxListingSize)
                {
                    FailDataTransfer(data, L"The server's listing is larger than " +
                                               std::to_wstring(m_nMaxListingSize / (1024 * 1024)) +
                                               L" MiB. It was not read to the end.");
                    // The server answers the broken transfer on the control connection: take that answer now,
                    // so that it is not mistaken for the reply to the next command.
                    CReply reply;
                    ReadReply(reply, false);
                    return false;
                }
                notification.DataReceived(m_vBuffer.data(), nReceived);
            }
        }
        else
        {
            for (;;)
            {
                int nCount = 0;
                notification.FillSendBuffer(m_vBuffer.data(), nBuffer, nCount);
                if (m_fAbortRequested || nCount <= 0) break;
                data.Write(m_vBuffer.data(), std::min(nCount, nBuffer), m_nTimeout);
            }
        }
    }
    catch (const CBlockingSocketException& e)
    {
        return FailDataTransfer(data, e.GetErrorText());
    }
    m_fTransferRunning = false;
    if (m_fAbortRequested)
    {
        AbortTransfer();
        return false;
    }
    return true;
}

bool CFTPClient::RunDataCommand(ITransferNotification& notification, int nCommand, const std::wstring& strPath,
                                const CRepresentation& representation, bool fPassive)
{
    if (m_fTransferRunning || !IsConnected()) return false;
    if (!EnsureRepresentation(representation)) return false;
    std::unique_ptr<nsSocket::IBlockingSocket> pData = m_pSocket->NewInstance();
    if (!pData) return false;
    const bool fOpened =
        fPassive ? OpenPassiveData(nCommand, strPath, *pData) : OpenActiveData(nCommand, strPath, *pData);
    if (!fOpened)
    {
        pData->CloseQuietly();
        return false;
    }
    const bool fLoop = TransferLoop(*pData, notification, nCommand);
    try
    {
        pData->Close();
    }
    catch (const CBlockingSocketException&)
    {
        pData->CloseQuietly();
    }
    return fLoop && ReadFinalReply();
}

int CFTPClient::AbortTransfer()
{
    if (m_fTransferRunning)
    {
        m_fAbortRequested = true;
        return 0;
    }
    m_fAbortRequested = false;
    return SimpleCommand(L"ABOR");
}

bool CFTPClient::ListDirectory(const std::wstring& strPath, TFileStatusSequence& vEntries, bool fPassive)
{
    COutputStream stream(m_strEol);
    if (!RunDataCommand(stream, DC_LIST, strPath, CRepresentation{CRepresentation::ASCII, CRepresentation::NonPrint},
                        fPassive))
        return false;
    vEntries.clear();
    const int nYear = CurrentUtcYear();
    std::wstring strLine;
    while (stream.GetNextLine(strLine))
    {
        auto pStatus = std::make_unique<CFTPFileStatus>();
        if (!ParseListLine(strLine, *pStatus, nYear)) continue;
        pStatus->m_strPath = strPath;
        vEntries.emplace_back(std::move(pStatus));
    }
    return true;
}

// ---- the open interface ----

std::unique_ptr<nsSocket::IBlockingSocket> CFTPClient::OpenTransfer(const std::wstring& strPath, bool fPassive,
                                                                    bool fUpload)
{
    std::unique_ptr<nsSocket::IBlockingSocket> pData = m_pSocket->NewInstance();
    if (!pData) return nullptr;
    if (!EnsureRepresentation(CRepresentation{CRepresentation::Image, CRepresentation::NonPrint})) return nullptr;
    const int nCommand = fUpload ? DC_STOR : DC_RETR;
    const bool fOpened =
        fPassive ? OpenPassiveData(nCommand, strPath, *pData) : OpenActiveData(nCommand, strPath, *pData);
    if (!fOpened)
    {
        pData->CloseQuietly();
        return nullptr;
    }
    m_fTransferRunning = true;
    return pData;
}

bool CFTPClient::ReadTransfer(nsSocket::IBlockingSocket& data, char* pBuffer, int nSize, int& nReceived)
{
    nReceived = 0;
    if (nSize <= 0) return true;
    try
    {
        nReceived = data.Receive(pBuffer, nSize, m_nTimeout);
    }
    catch (const CBlockingSocketException& e)
    {
        return FailDataTransfer(data, e.GetErrorText());
    }
    return true;
}

bool CFTPClient::WriteTransfer(nsSocket::IBlockingSocket& data, const char* pBuffer, int nSize, int& nSent)
{
    nSent = 0;
    if (nSize <= 0) return true;
    try
    {
        nSent = data.Write(pBuffer, nSize, m_nTimeout);
    }
    catch (const CBlockingSocketException& e)
    {
        return FailDataTransfer(data, e.GetErrorText());
    }
    return true;
}

bool CFTPClient::CloseTransfer(std::unique_ptr<nsSocket::IBlockingSocket> pData)
{
    if (!pData) return true;
    m_fTransferRunning = false;
    try
    {
        pData->Close();
    }
    catch (const CBlockingSocketException&)
    {
        pData->CloseQuietly();
    }
    pData.reset();
    return ReadFinalReply();
}

bool CFTPClient::ReadFinalReply()
{
    CReply reply;
    if (ReadReply(reply, true) && reply.Class() == 2) return true;
    ReportError(reply.Value());
    return false;
}

} // namespace nsFTP

#pragma once
// The sink or source of a closed-loop data transfer, and the in-memory sink that collects a listing.

#include <cstdint>
#include <string>

namespace nsFTP
{

class ITransferNotification
{
public:
    virtual ~ITransferNotification() = default;
    // The first nCount bytes of pBuffer have arrived.
    virtual void DataReceived(const char* pBuffer, int nCount) = 0;
    // Fills at most nCapacity bytes of pBuffer with the next bytes to send and sets nCount; 0 ends the transfer.
    virtual void FillSendBuffer(char* pBuffer, int nCapacity, int& nCount) = 0;
};

// Collects a listing as text, one character per byte, and hands it out line by line.
class COutputStream : public ITransferNotification
{
public:
    explicit COutputStream(std::wstring strEol) : m_strEol(std::move(strEol)) {}

    void DataReceived(const char* pBuffer, int nCount) override;
    // A source that sends nothing.
    void FillSendBuffer(char*, int, int& nCount) override { nCount = 0; }

    // The next line without its terminator. Lines end at a line feed, with one carriage return before it
    // dropped (servers differ in what they send), and a last line without a terminator is a line too.
    bool GetNextLine(std::wstring& strLine);

    std::int64_t GetSize() const { return static_cast<std::int64_t>(m_strBuffer.size()); }

private:
    // The terminator the client asks for; a bare line feed ends a line as well.
    std::wstring m_strEol;
    // Bytes as they came; a listing of many MiB would take four times as much as wide text.
    std::string m_strBuffer;
    size_t m_nCurrentPos = 0;
};

} // namespace nsFTP

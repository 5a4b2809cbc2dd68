#pragma once
// One stored site: a fixed block of 1192 bytes, the same in memory, in the hand-over to the server connection
// and (scrambled) in the registry. Integers are 32-bit little-endian; texts are UTF-16 in 96 code units with
// their terminator, so each holds at most 95 units (a character above U+FFFF takes two).

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class CSiteRecord
{
public:
    static constexpr std::size_t kSize = 1192;
    static constexpr std::size_t kTextUnits = 96;
    static constexpr std::size_t kMaxTextLength = kTextUnits - 1;

    static constexpr std::size_t kOffsetLabel = 0;
    static constexpr std::size_t kOffsetHost = 192;
    static constexpr std::size_t kOffsetPort = 384;
    static constexpr std::size_t kOffsetPassive = 388;
    static constexpr std::size_t kOffsetLogin = 392;
    static constexpr std::size_t kOffsetPassword = 584;
    static constexpr std::size_t kOffsetAnonymous = 776;
    static constexpr std::size_t kOffsetReserved1 = 780;
    static constexpr std::size_t kOffsetReserved2 = 784;
    static constexpr std::size_t kOffsetReserved3 = 788;
    static constexpr std::size_t kOffsetReservedText = 792;
    static constexpr std::size_t kOffsetReserved4 = 984;
    static constexpr std::size_t kOffsetTimeout = 988;
    static constexpr std::size_t kOffsetFtpDirectory = 992;
    static constexpr std::size_t kOffsetKeepAlive = 1184;
    static constexpr std::size_t kOffsetReserved5 = 1188;

    // The texts, each named by its offset.
    enum class EText : std::size_t
    {
        Label = kOffsetLabel,
        Host = kOffsetHost,
        Login = kOffsetLogin,
        Password = kOffsetPassword,
        ReservedText = kOffsetReservedText,
        FtpDirectory = kOffsetFtpDirectory,
    };

    using CBytes = std::array<std::uint8_t, kSize>;

    // The default record.
    CSiteRecord() { SetDefaults(); }

    // All zero, then port 21, passive, reserved 2 = 1, timeout 10 s and keep-alive.
    void SetDefaults();

    CBytes& Bytes() { return m_vBytes; }
    const CBytes& Bytes() const { return m_vBytes; }

    bool operator==(const CSiteRecord&) const = default;

    // The text up to its terminator (all 96 units of a field that has none).
    std::wstring GetText(EText eText) const;
    // Refuses a text that does not fit, or that holds a zero or a character above U+10FFFF, and leaves the
    // record unchanged; pstrError then receives the reason for the user. A new text is written with its
    // terminator and zeros after it, so no tail of an older text (an old password) lingers; setting the text
    // the field already holds leaves the field untouched, byte for byte.
    bool SetText(EText eText, std::wstring_view str, std::wstring* pstrError = nullptr);

    std::wstring GetLabel() const { return GetText(EText::Label); }
    bool SetLabel(std::wstring_view str, std::wstring* pstrError = nullptr)
    {
        return SetText(EText::Label, str, pstrError);
    }
    std::wstring GetHost() const { return GetText(EText::Host); }
    bool SetHost(std::wstring_view str, std::wstring* pstrError = nullptr)
    {
        return SetText(EText::Host, str, pstrError);
    }
    std::wstring GetLogin() const { return GetText(EText::Login); }
    bool SetLogin(std::wstring_view str, std::wstring* pstrError = nullptr)
    {
        return SetText(EText::Login, str, pstrError);
    }
    std::wstring GetPassword() const { return GetText(EText::Password); }
    bool SetPassword(std::wstring_view str, std::wstring* pstrError = nullptr)
    {
        return SetText(EText::Password, str, pstrError);
    }
    std::wstring GetReservedText() const { return GetText(EText::ReservedText); }
    bool SetReservedText(std::wstring_view str, std::wstring* pstrError = nullptr)
    {
        return SetText(EText::ReservedText, str, pstrError);
    }
    std::wstring GetFtpDirectory() const { return GetText(EText::FtpDirectory); }
    bool SetFtpDirectory(std::wstring_view str, std::wstring* pstrError = nullptr)
    {
        return SetText(EText::FtpDirectory, str, pstrError);
    }

    // The whole stored value; the connection uses its low 16 bits.
    std::int32_t GetPort() const { return static_cast<std::int32_t>(GetUInt32(kOffsetPort)); }
    void SetPort(std::int32_t nPort) { SetUInt32(kOffsetPort, static_cast<std::uint32_t>(nPort)); }
    // Booleans read any non-zero value as set and are written as 0 or 1.
    bool GetPassive() const { return GetUInt32(kOffsetPassive) != 0; }
    void SetPassive(bool f) { SetUInt32(kOffsetPassive, f ? 1 : 0); }
    bool GetAnonymous() const { return GetUInt32(kOffsetAnonymous) != 0; }
    void SetAnonymous(bool f) { SetUInt32(kOffsetAnonymous, f ? 1 : 0); }
    std::uint32_t GetTimeout() const { return GetUInt32(kOffsetTimeout); }
    void SetTimeout(std::uint32_t nSeconds) { SetUInt32(kOffsetTimeout, nSeconds); }
    bool GetKeepAlive() const { return GetUInt32(kOffsetKeepAlive) != 0; }
    void SetKeepAlive(bool f) { SetUInt32(kOffsetKeepAlive, f ? 1 : 0); }

    // Nothing reads the reserved fields; they are carried through every edit unchanged.
    std::int32_t GetReserved1() const { return static_cast<std::int32_t>(GetUInt32(kOffsetReserved1)); }
    void SetReserved1(std::int32_t n) { SetUInt32(kOffsetReserved1, static_cast<std::uint32_t>(n)); }
    std::int32_t GetReserved2() const { return static_cast<std::int32_t>(GetUInt32(kOffsetReserved2)); }
    void SetReserved2(std::int32_t n) { SetUInt32(kOffsetReserved2, static_cast<std::uint32_t>(n)); }
    std::int32_t GetReserved3() const { return static_cast<std::int32_t>(GetUInt32(kOffsetReserved3)); }
    void SetReserved3(std::int32_t n) { SetUInt32(kOffsetReserved3, static_cast<std::uint32_t>(n)); }
    std::int32_t GetReserved4() const { return static_cast<std::int32_t>(GetUInt32(kOffsetReserved4)); }
    void SetReserved4(std::int32_t n) { SetUInt32(kOffsetReserved4, static_cast<std::uint32_t>(n)); }
    std::int32_t GetReserved5() const { return static_cast<std::int32_t>(GetUInt32(kOffsetReserved5)); }
    void SetReserved5(std::int32_t n) { SetUInt32(kOffsetReserved5, static_cast<std::uint32_t>(n)); }

    // Little-endian 32-bit integer at an offset (at most kSize - 4).
    std::uint32_t GetUInt32(std::size_t nOffset) const;
    void SetUInt32(std::size_t nOffset, std::uint32_t nValue);

    // The user's name of a text field, as the messages use it ("host", "FTP directory").
    static std::wstring FieldName(EText eText);

private:
    CBytes m_vBytes{};
};

#pragma once
// One representation type as set with TYPE.

#include <cstdint>

namespace nsFTP
{

class CRepresentation
{
public:
    enum EType : std::int32_t
    {
        ASCII = 0,
        EBCDIC = 1,
        Image = 2,
        Local = 3,
    };
    enum EFormat : std::int32_t
    {
        NonPrint = 0,
        TelnetFormat = 1,
        CarriageControl = 2,
    };

    std::int32_t m_nType = ASCII;
    std::int32_t m_nFormat = NonPrint;

    bool operator==(const CRepresentation&) const = default;
};

} // namespace nsFTP

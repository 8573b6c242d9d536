#include "crc.h"

#include <array>

namespace quorvil {

namespace {

constexpr std::array<uint32_t, 256> MakeCrcTable()
{
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> kCrcTable = MakeCrcTable();

uint32_t crcRegister = 0;

}  // namespace

void CrcStart(uint32_t value)
{
    crcRegister = value;
}

uint32_t CrcByte(uint8_t b)
{
    crcRegister = kCrcTable[(crcRegister ^ b) & 0xFFu] ^ (crcRegister >> 8);
    return crcRegister;
}

uint32_t CrcBuffer(const void* data, std::size_t n)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (std::size_t i = 0; i < n; ++i)
        CrcByte(bytes[i]);
    return crcRegister;
}

uint32_t CrcValue()
{
    return crcRegister;
}

}  // namespace quorvil

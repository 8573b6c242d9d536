#pragma once
// A running CRC-32 (reflected polynomial hex EDB88320) in one program-wide
// register. No final inversion is applied: the register is the result.
#include <cstddef>
#include <cstdint>

namespace quorvil {

void CrcStart(uint32_t value);
// Feeds one byte; returns the register.
uint32_t CrcByte(uint8_t b);
// Feeds n bytes; returns the register.
uint32_t CrcBuffer(const void* data, std::size_t n);
uint32_t CrcValue();

}  // namespace quorvil

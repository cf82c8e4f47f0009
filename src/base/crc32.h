#pragma once
// CRC-32 (the polynomial of zip and PNG, reflected, 0xEDB88320), to tell
// whether a copy of a file is whole.
#include <cstdint>
#include <span>

namespace tavrel {

// The checksum of `bytes` continued from `crc` (0 to start): the checksum of
// a whole file is that of its pieces in order.
uint32_t Crc32(std::span<const uint8_t> bytes, uint32_t crc = 0);

}  // namespace tavrel

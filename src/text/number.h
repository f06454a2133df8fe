// Reading a whole number out of a text, as the book format does for its
// length field and record numbers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dova::text {

// Full-width forms of GBK are read as half-width first (A3 A1..A3 FE as
// 0x21..0x7E, A1 A1 as a blank, A1 AB as a tilde, A1 EE and A1 EF as an
// asterisk), then leading white space, an optional sign and the
// decimal digits up to the first other character. No digits give 0. Values
// beyond the 64-bit range saturate.
std::int64_t read_number(std::string_view t);

// The same, saturated to the 32-bit range of a record number.
std::int32_t read_number32(std::string_view t);

}  // namespace dova::text

#pragma once
#include <string>
#include <string_view>

// The administrator password's cipher: DES (FIPS 46-3) in ECB over zero-filled
// blocks, keyed by a folded key text, written as upper-case hexadecimal.
// Texts are byte strings.

// Never fails; an empty plain text gives one enciphered block (16 digits).
std::string EncryptToHex(std::string_view plain, std::string_view keyText);

// Never throws; any malformed input gives the empty string. The result is cut
// before its first zero byte.
std::string DecryptFromHex(std::string_view hex, std::string_view keyText);

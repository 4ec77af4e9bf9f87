// Any text deciphers without a fault; what EncryptToHex makes deciphers back.
#include "crypto/Unit_DESCrypt.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t split = size ? data[0] % (size + 1) : 0;
    const std::string key = input.substr(0, split);
    const std::string text = input.substr(split);
    (void)DecryptFromHex(text, key);
    const std::string plain = text.substr(0, text.find('\0'));
    const std::string hex = EncryptToHex(plain, key);
    if (DecryptFromHex(hex, key) != plain)
        std::abort();
    return 0;
}

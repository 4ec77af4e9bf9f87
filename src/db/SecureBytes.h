#pragma once
#include <cstddef>
#include <string_view>

// A growable run of bytes for copies of personal data held in memory: its
// pages are kept out of core dumps, locked against swapping where the
// process may lock that much (otherwise left as they are), and wiped before
// they are given back.
class TSecureBytes {
public:
    TSecureBytes() = default;
    ~TSecureBytes();
    TSecureBytes(TSecureBytes&& other) noexcept;
    TSecureBytes& operator=(TSecureBytes&& other) noexcept;
    TSecureBytes(const TSecureBytes&) = delete;
    TSecureBytes& operator=(const TSecureBytes&) = delete;

    // Appends `bytes`; returns where they start. Raises std::bad_alloc.
    std::size_t append(std::string_view bytes);
    // Gives back the pages beyond the bytes held.
    void shrinkToFit();
    // Overwrites bytes with zeros, as when a copy goes out of date.
    void wipe(std::size_t offset, std::size_t length);
    const char* data() const { return data_; }
    std::size_t size() const { return size_; }
    std::size_t capacity() const { return capacity_; }

private:
    void grow(std::size_t needed);
    void release();

    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

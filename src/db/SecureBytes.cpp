#include "db/SecureBytes.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <sys/mman.h>
#include <unistd.h>
#include <utility>

namespace {

std::size_t pageSize() { return static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)); }

std::size_t roundedToPages(std::size_t n)
{
    const std::size_t page = pageSize();
    return (n + page - 1) / page * page;
}

// Keeps the pages out of core dumps and, if the limit allows, out of swap.
void protect(char* pages, std::size_t length)
{
    ::madvise(pages, length, MADV_DONTDUMP);
    ::mlock(pages, length);
}

} // namespace

TSecureBytes::~TSecureBytes() { release(); }

TSecureBytes::TSecureBytes(TSecureBytes&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0))
{}

TSecureBytes& TSecureBytes::operator=(TSecureBytes&& other) noexcept
{
    if (this != &other) {
        release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

void TSecureBytes::release()
{
    if (!data_)
        return;
    explicit_bzero(data_, size_);
    ::munlock(data_, capacity_);
    ::munmap(data_, capacity_);
    data_ = nullptr;
    size_ = capacity_ = 0;
}

void TSecureBytes::grow(std::size_t needed)
{
    // An eighth more each time: the pages are locked, so room to spare is
    // memory the process holds.
    const std::size_t capacity = roundedToPages(std::max({needed, capacity_ + capacity_ / 8, std::size_t{1} << 20}));
    // Moving the pages rather than copying them leaves no copy behind.
    void* pages = data_ ? ::mremap(data_, capacity_, capacity, MREMAP_MAYMOVE)
                        : ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED)
        throw std::bad_alloc();
    data_ = static_cast<char*>(pages);
    capacity_ = capacity;
    protect(data_, capacity_);
}

std::size_t TSecureBytes::append(std::string_view bytes)
{
    if (size_ + bytes.size() > capacity_)
        grow(size_ + bytes.size());
    const std::size_t at = size_;
    if (!bytes.empty())
        std::memcpy(data_ + at, bytes.data(), bytes.size());
    size_ += bytes.size();
    return at;
}

void TSecureBytes::shrinkToFit()
{
    if (!data_)
        return;
    const std::size_t capacity = std::max(roundedToPages(size_), pageSize());
    if (capacity >= capacity_)
        return;
    // The pages past the bytes held were never written or have been wiped.
    ::munlock(data_ + capacity, capacity_ - capacity);
    ::munmap(data_ + capacity, capacity_ - capacity);
    capacity_ = capacity;
}

void TSecureBytes::wipe(std::size_t offset, std::size_t length)
{
    if (offset < size_ && length > 0)
        explicit_bzero(data_ + offset, std::min(length, size_ - offset));
}

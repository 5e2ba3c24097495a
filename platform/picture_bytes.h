#pragma once
// Memory for whole pictures. A 1080p picture is 6 MB; faulting that in one
// 4 KB page at a time costs more than decoding it on some machines (about
// 20 ms in a virtual machine), so large blocks are aligned to 2 MB and
// offered to the kernel as transparent huge pages (a few faults instead of
// some fifteen hundred). Small blocks take the ordinary allocator.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif
#ifdef _WIN32
#include <malloc.h>
#endif

namespace rs {

template <typename T>
struct PictureAllocator {
    using value_type = T;

    static constexpr std::size_t kHugePage = std::size_t{2} << 20;

    PictureAllocator() = default;
    template <typename U>
    PictureAllocator(const PictureAllocator<U>&) {}

    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T))
            throw std::bad_array_new_length();
        const std::size_t bytes = n * sizeof(T);
        if (bytes < kHugePage)
            return static_cast<T*>(::operator new(bytes));
        const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
#ifdef _WIN32
        void* p = ::_aligned_malloc(rounded, kHugePage);
#else
        void* p = std::aligned_alloc(kHugePage, rounded);
#endif
        if (!p)
            throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
        ::madvise(p, rounded, MADV_HUGEPAGE);
#endif
        return static_cast<T*>(p);
    }

    void deallocate(T* p, std::size_t n) {
        if (n * sizeof(T) < kHugePage)
            ::operator delete(p);
        else
#ifdef _WIN32
            ::_aligned_free(p);
#else
            std::free(p);
#endif
    }

    template <typename U>
    bool operator==(const PictureAllocator<U>&) const {
        return true;
    }
};

using PictureBytes = std::vector<std::uint8_t, PictureAllocator<std::uint8_t>>;

}  // namespace rs

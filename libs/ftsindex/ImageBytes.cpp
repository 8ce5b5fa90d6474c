#include "libs/ftsindex/ImageBytes.h"

#include <sys/mman.h>
#include <unistd.h>

#include <new>
#include <utility>

// AddressSanitizer sees heap memory only: it then gets the bytes from new.
#if defined(__SANITIZE_ADDRESS__)
#define FTS_HEAP_IMAGE 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FTS_HEAP_IMAGE 1
#endif
#endif

namespace fts {

#ifndef FTS_HEAP_IMAGE
namespace {

constexpr size_t kHugePage = size_t{2} << 20;

size_t RoundUp(size_t n, size_t to) {
  return (n + to - 1) / to * to;
}

}  // namespace
#endif

ImageBytes::~ImageBytes() {
  Release();
}

ImageBytes::ImageBytes(ImageBytes&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      mapped_(std::exchange(other.mapped_, 0)) {}

ImageBytes& ImageBytes::operator=(ImageBytes&& other) noexcept {
  if (this != &other) {
    Release();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    mapped_ = std::exchange(other.mapped_, 0);
  }
  return *this;
}

void ImageBytes::Release() {
  if (!data_) return;
  if (mapped_)
    ::munmap(data_, mapped_);
  else
    delete[] data_;
  data_ = nullptr;
  size_ = mapped_ = 0;
}

bool ImageBytes::Allocate(size_t size) {
  Release();
#ifndef FTS_HEAP_IMAGE
  if (size >= kHugePage) {
    const size_t length = RoundUp(size, kHugePage);
    // A huge page needs an aligned start: map one more, then give back both ends.
    const size_t asked = length + kHugePage;
    void* m = ::mmap(nullptr, asked, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (m == MAP_FAILED) return false;
    auto* p = static_cast<uint8_t*>(m);
    auto* start = reinterpret_cast<uint8_t*>(RoundUp(reinterpret_cast<uintptr_t>(p), kHugePage));
    if (start > p) ::munmap(p, static_cast<size_t>(start - p));
    const size_t tail = asked - static_cast<size_t>(start - p) - length;
    if (tail) ::munmap(start + length, tail);
    ::madvise(start, length, MADV_HUGEPAGE);  // only advice: fine when refused
    data_ = start;
    size_ = size;
    mapped_ = length;
    return true;
  }
#endif
  data_ = new (std::nothrow) uint8_t[size ? size : 1];
  if (!data_) return false;
  size_ = size;
  return true;
}

}  // namespace fts

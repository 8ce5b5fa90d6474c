#pragma once
// The bytes of an index file held in memory: anonymous memory that is not
// cleared before it is filled and, from 2 MiB on, lies on huge pages, so that
// reading a large index costs a few page faults instead of one per 4 KiB.
#include <cstddef>
#include <cstdint>

namespace fts {

class ImageBytes {
 public:
  ImageBytes() = default;
  ~ImageBytes();
  ImageBytes(ImageBytes&& other) noexcept;
  ImageBytes& operator=(ImageBytes&& other) noexcept;
  ImageBytes(const ImageBytes&) = delete;
  ImageBytes& operator=(const ImageBytes&) = delete;

  // size bytes of unspecified content; false (and empty) without memory.
  bool Allocate(size_t size);

  uint8_t* data() { return data_; }
  const uint8_t* data() const { return data_; }
  size_t size() const { return size_; }

 private:
  void Release();

  uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t mapped_ = 0;  // the length of the mapping; 0: from the heap
};

}  // namespace fts

// A growable array of plain values in large memory: the log's bytes and the
// ends of its lines.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

#include "convert/large_memory.h"

template <typename T>
class LargeVector {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  LargeVector() = default;
  LargeVector(const LargeVector&) = delete;
  LargeVector& operator=(const LargeVector&) = delete;
  LargeVector(LargeVector&& other) noexcept { Swap(other); }
  LargeVector& operator=(LargeVector&& other) noexcept {
    LargeVector moved(std::move(other));
    Swap(moved);
    return *this;
  }
  ~LargeVector() {
    if (data_ != nullptr) ReleaseLargeMemory(data_, capacity_ * sizeof(T));
  }

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T* data() { return data_; }
  const T* data() const { return data_; }
  T& operator[](size_t i) { return data_[i]; }
  const T& operator[](size_t i) const { return data_[i]; }
  T& back() { return data_[size_ - 1]; }

  void reserve(size_t count) {
    if (count <= capacity_) return;
    const size_t bytes = RoundUp(count * sizeof(T));
    void* block = data_ == nullptr ? AcquireLargeMemory(bytes)
                                   : GrowLargeMemory(data_, capacity_ * sizeof(T), bytes);
    if (block == nullptr) throw std::bad_alloc();
    data_ = static_cast<T*>(block);
    capacity_ = bytes / sizeof(T);
  }
  void push_back(const T& value) {
    if (size_ == capacity_) reserve(capacity_ < 4096 ? 4096 : capacity_ * 2);
    data_[size_++] = value;
  }
  void append(const T* values, size_t count) {
    if (size_ + count > capacity_) reserve(std::max(size_ + count, capacity_ * 2));
    std::memcpy(data_ + size_, values, count * sizeof(T));
    size_ += count;
  }
  // Only ever shrinks: the reader drops lines it does not keep.
  void truncate(size_t count) {
    if (count < size_) size_ = count;
  }

 private:
  static size_t RoundUp(size_t bytes) {
    constexpr size_t kPage = 1 << 21;  // whole large pages
    return (bytes + kPage - 1) / kPage * kPage;
  }
  void Swap(LargeVector& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    std::swap(capacity_, other.capacity_);
  }

  T* data_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

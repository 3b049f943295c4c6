// A shape's pixels. A recovery snapshot shares the blocks of the document
// while a worker thread writes them out; whoever then writes into a shared
// block first gets a copy of its own, so the snapshot never sees a change
// and taking one costs a counter per shape, not a copy of the document.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace qshe {

class PixelBlock {
 public:
  PixelBlock() = default;
  PixelBlock(std::nullptr_t) {}  // NOLINT: reads like the pointer it replaces
  PixelBlock(PixelBlock&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
  PixelBlock& operator=(PixelBlock&& other) noexcept {
    if (this != &other) {
      reset();
      block_ = std::exchange(other.block_, nullptr);
    }
    return *this;
  }
  PixelBlock& operator=(std::nullptr_t) {
    reset();
    return *this;
  }
  PixelBlock(const PixelBlock&) = delete;
  PixelBlock& operator=(const PixelBlock&) = delete;
  ~PixelBlock() { reset(); }

  // Replaces the block by an uninitialised one of n bytes (n >= 1). False,
  // and no block, when the memory cannot be had.
  bool Allocate(size_t n);
  void reset();
  // Another owner of the same bytes, for a snapshot.
  PixelBlock Share() const;

  // Writable bytes: a block shared with a snapshot is copied first.
  uint8_t* get();
  const uint8_t* get() const { return block_ ? block_->data() : nullptr; }
  uint8_t& operator[](size_t i) { return get()[i]; }
  uint8_t operator[](size_t i) const { return get()[i]; }
  explicit operator bool() const { return block_ != nullptr; }
  friend bool operator==(const PixelBlock& b, std::nullptr_t) { return b.block_ == nullptr; }

  size_t size() const { return block_ ? block_->size : 0; }
  // Whether a snapshot holds these bytes too.
  bool shared() const { return block_ && block_->refs.load(std::memory_order_acquire) > 1; }

 private:
  struct Block {
    std::atomic<uint32_t> refs{1};
    size_t size = 0;
    uint8_t* data() { return reinterpret_cast<uint8_t*>(this + 1); }
  };
  static Block* Obtain(size_t n);
  Block* block_ = nullptr;
};

}  // namespace qshe

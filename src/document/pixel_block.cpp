#include "document/pixel_block.h"

#include <cstring>
#include <new>

namespace qshe {

PixelBlock::Block* PixelBlock::Obtain(size_t n) {
  void* raw = ::operator new(sizeof(Block) + n, std::nothrow);
  if (!raw) return nullptr;
  Block* b = new (raw) Block;
  b->size = n;
  return b;
}

bool PixelBlock::Allocate(size_t n) {
  reset();
  block_ = n > 0 ? Obtain(n) : nullptr;
  return block_ != nullptr;
}

void PixelBlock::reset() {
  Block* b = std::exchange(block_, nullptr);
  // The last owner frees it; acq_rel so that every read another owner made
  // of it happens before the bytes go.
  if (b && b->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    b->~Block();
    ::operator delete(b);
  }
}

PixelBlock PixelBlock::Share() const {
  PixelBlock other;
  if (block_) {
    block_->refs.fetch_add(1, std::memory_order_relaxed);
    other.block_ = block_;
  }
  return other;
}

uint8_t* PixelBlock::get() {
  if (!block_) return nullptr;
  if (shared()) {
    // Only this thread hands out shares, so a count of 1 read here stays 1.
    // Should the copy's memory not be there, the snapshot would see this
    // change; that is better than ending the editor with its work.
    if (Block* own = Obtain(block_->size)) {
      std::memcpy(own->data(), block_->data(), block_->size);
      reset();
      block_ = own;
    }
  }
  return block_->data();
}

}  // namespace qshe

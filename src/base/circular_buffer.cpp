#include "base/circular_buffer.h"

#include <cstring>

#include "base/debug_output.h"

using Guard = std::lock_guard<std::recursive_mutex>;

CCircularBuffer::CCircularBuffer() = default;

CCircularBuffer::CCircularBuffer(int32_t slotCount, int32_t slotSize) {
    Init(slotCount, slotSize);
}

CCircularBuffer::~CCircularBuffer() = default;

void CCircularBuffer::Init(int32_t slotCount, int32_t slotSize) {
    Guard guard(lock_);
    // A non-positive size would make every index computation meaningless: keep no storage then,
    // so the buffer stays empty and full pushes are refused by IsFull.
    if (slotCount <= 0 || slotSize <= 0) {
        storage_.reset();
        slotCount_ = slotSize_ = 0;
    } else {
        storage_ = std::make_unique<uint8_t[]>(static_cast<size_t>(slotCount) * slotSize);
        slotCount_ = slotCount;
        slotSize_ = slotSize;
    }
    readIndex_ = writeIndex_ = count_ = 0;
}

int CCircularBuffer::IsEmpty() {
    Guard guard(lock_);
    return count_ == 0 ? 1 : 0;
}

int CCircularBuffer::IsFull() {
    Guard guard(lock_);
    return count_ == slotCount_ ? 1 : 0;
}

int CCircularBuffer::Pop(void* dest) {
    Guard guard(lock_);
    if (count_ < 1) {
        odtprintf(L"fifo empty\n");
        return 0;
    }
    if (dest != nullptr) std::memcpy(dest, Slot(readIndex_), slotSize_);
    readIndex_ = Next(readIndex_);
    --count_;
    return 1;
}

int CCircularBuffer::Push(const void* src) {
    Guard guard(lock_);
    if (slotCount_ == 0) return 1;  // unsized: nothing can be stored
    if (count_ >= slotCount_) {
        odtprintf(L"Circular BUFF fifo full\n");
        // Both indices coincide: the write lands on the oldest entry, which is lost.
        std::memcpy(Slot(writeIndex_), src, slotSize_);
        writeIndex_ = Next(writeIndex_);
        readIndex_ = Next(readIndex_);
        return 1;
    }
    std::memcpy(Slot(writeIndex_), src, slotSize_);
    writeIndex_ = Next(writeIndex_);
    ++count_;
    queued_.notify_all();
    return 1;
}

bool CCircularBuffer::WaitNotEmpty(std::chrono::steady_clock::time_point deadline) {
    std::unique_lock<std::recursive_mutex> guard(lock_);
    return queued_.wait_until(guard, deadline, [this] { return count_ > 0; });
}

uint8_t* CCircularBuffer::GetWriteSlot() {
    Guard guard(lock_);
    return count_ >= slotCount_ ? nullptr : Slot(writeIndex_);
}

uint8_t* CCircularBuffer::GetReadSlot() {
    Guard guard(lock_);
    return count_ == 0 ? nullptr : Slot(readIndex_);
}

bool CCircularBuffer::CommitWrite() {
    Guard guard(lock_);
    if (count_ >= slotCount_) return false;
    writeIndex_ = Next(writeIndex_);
    ++count_;
    return true;
}

bool CCircularBuffer::CommitRead() {
    Guard guard(lock_);
    if (count_ == 0) return false;
    readIndex_ = Next(readIndex_);
    --count_;
    return true;
}

int32_t CCircularBuffer::ReadIndex() {
    Guard guard(lock_);
    return readIndex_;
}

int32_t CCircularBuffer::WriteIndex() {
    Guard guard(lock_);
    return writeIndex_;
}

int32_t CCircularBuffer::Count() {
    Guard guard(lock_);
    return count_;
}

// Bounded first-in first-out queue of fixed-size slots, shared by one producer and one consumer.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

class CCircularBuffer {
  public:
    CCircularBuffer();
    CCircularBuffer(int32_t slotCount, int32_t slotSize);
    virtual ~CCircularBuffer();

    CCircularBuffer(const CCircularBuffer&) = delete;
    CCircularBuffer& operator=(const CCircularBuffer&) = delete;

    // Sizes a default-constructed buffer. A second call drops the queued entries and the old
    // storage, so the buffer never holds slots of two sizes.
    void Init(int32_t slotCount, int32_t slotSize);

    int IsEmpty();
    int IsFull();
    // Takes the oldest entry into dest (slot size bytes), or discards it when dest is null.
    int Pop(void* dest);
    // Queues slot size bytes from src; when full, the oldest entry is overwritten.
    int Push(const void* src);
    // Blocks until an entry is queued or the deadline passes; true when one is there.
    bool WaitNotEmpty(std::chrono::steady_clock::time_point deadline);

    // Zero-copy access; the caller fills or reads the slot between Get and Commit.
    uint8_t* GetWriteSlot();
    uint8_t* GetReadSlot();
    bool CommitWrite();
    bool CommitRead();

    int32_t SlotSize() const { return slotSize_; }
    int32_t SlotCount() const { return slotCount_; }
    int32_t ReadIndex();
    int32_t WriteIndex();
    int32_t Count();

  private:
    uint8_t* Slot(int32_t index) const { return storage_.get() + int64_t{index} * slotSize_; }
    int32_t Next(int32_t index) const { return (index + 1) % slotCount_; }

    std::unique_ptr<uint8_t[]> storage_;
    int32_t readIndex_ = 0;
    int32_t writeIndex_ = 0;
    int32_t slotSize_ = 0;
    int32_t slotCount_ = 0;
    int32_t count_ = 0;
    std::recursive_mutex lock_;
    std::condition_variable_any queued_;
};

#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>
#include <type_traits>

// Memory for large working buffers: aligned to 2 MiB and marked for huge
// pages where the system offers them, so that a full-size computation takes
// hundreds of page faults instead of a hundred thousand. Not cleared.
void* AllocateWorkMemory(std::size_t bytes);
void FreeWorkMemory(void* memory);

// A working buffer that keeps its memory when it is sized again: it grows only
// when a larger size is asked for, so a preview that recomputes on every
// slider move allocates once. New memory is not cleared (the steps overwrite
// it), which also leaves untouched pages of a large buffer unmapped.
template <class T>
class TWorkBuffer {
    static_assert(std::is_trivial_v<T>);

public:
    void Resize(std::size_t size)
    {
        if (size > capacity_) {
            data_.reset();
            data_.reset(static_cast<T*>(AllocateWorkMemory(size * sizeof(T))));
            capacity_ = size;
        }
        size_ = size;
    }
    void Release()
    {
        data_.reset();
        size_ = capacity_ = 0;
    }
    T* Data() { return data_.get(); }
    const T* Data() const { return data_.get(); }
    std::size_t Size() const { return size_; }

private:
    struct TFree {
        void operator()(T* p) const { FreeWorkMemory(p); }
    };
    std::unique_ptr<T, TFree> data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

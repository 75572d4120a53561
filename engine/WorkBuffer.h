#pragma once

#include <cstddef>
#include <memory>

// A working buffer that keeps its memory when it is sized again: it grows only
// when a larger size is asked for, so a preview that recomputes on every
// slider move allocates once. New memory is not cleared (the steps overwrite
// it), which also leaves untouched pages of a large buffer unmapped.
template <class T>
class TWorkBuffer {
public:
    void Resize(std::size_t size)
    {
        if (size > capacity_) {
            data_.reset();
            data_.reset(new T[size]);
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
    std::unique_ptr<T[]> data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

#include "document/StateBytes.h"

#include "document/StateFile.h"
#include "picture/FileError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <thread>

#include <unistd.h>

std::uint64_t Fnv1a(const std::uint8_t* p, std::size_t size)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (std::size_t i = 0; i < size; ++i)
        hash = (hash ^ p[i]) * 1099511628211ull;
    return hash;
}

void FilterRow(const std::uint8_t* row, const std::uint8_t* up, std::uint8_t* vertical, std::uint8_t* out,
               std::size_t bytes)
{
    for (std::size_t i = 0; i < bytes; ++i)
        vertical[i] = std::uint8_t(row[i] - (up ? up[i] : 0));
    for (std::size_t i = 0; i < bytes && i < 3; ++i)
        out[i] = vertical[i];
    for (std::size_t i = 3; i < bytes; ++i)
        out[i] = std::uint8_t(vertical[i] - vertical[i - 3]);
}

void UnfilterRow(std::uint8_t* row, const std::uint8_t* up, std::size_t bytes)
{
    for (std::size_t i = 3; i < bytes; ++i)
        row[i] = std::uint8_t(row[i] + row[i - 3]);
    if (up)
        for (std::size_t i = 0; i < bytes; ++i)
            row[i] = std::uint8_t(row[i] + up[i]);
}

void WriteAll(int fd, const void* data, std::size_t size, const std::string& name)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t done = ::write(fd, p, size);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            throw TFileError("Cannot write " + name + ": " + (done < 0 ? std::strerror(errno) : "the disk is full"));
        p += done;
        size -= std::size_t(done);
    }
}

const TBitmap& PictureOf(const THistoryState& state, int i)
{
    return i == 0 ? state.Sketch : i == 1 ? state.Color : state.Source;
}

TBitmap& PictureOf(THistoryState& state, int i) { return i == 0 ? state.Sketch : i == 1 ? state.Color : state.Source; }

void ForEachPictureAtOnce(const std::function<void(int picture)>& part)
{
    std::exception_ptr failed[3];
    auto run = [&](int i) {
        try {
            part(i);
        } catch (...) {
            failed[i] = std::current_exception();
        }
    };
    std::thread second(run, 1);
    std::thread third(run, 2);
    run(0);
    second.join();
    third.join();
    for (const std::exception_ptr& failure : failed)
        if (failure)
            std::rethrow_exception(failure);
}

void PutLayerBytes(std::uint8_t* at, const TLayerState& layers)
{
    at[0] = std::uint8_t(layers.BlendingMode);
    at[1] = std::uint8_t(layers.Opacity);
    at[2] = layers.SketchVisible;
    at[3] = layers.ColorVisible;
    at[4] = layers.SketchDrawable;
    at[5] = layers.ColorDrawable;
}

TLayerState LayersFromBytes(const std::uint8_t* at)
{
    TLayerState layers;
    layers.BlendingMode = at[0] == BlendOpacity ? BlendOpacity : BlendMultiply;
    layers.Opacity = std::clamp<int>(at[1], MinOpacity, MaxOpacity);
    layers.SketchVisible = at[2] == 1;
    layers.ColorVisible = at[3] == 1;
    layers.SketchDrawable = at[4] == 1;
    layers.ColorDrawable = at[5] == 1;
    return layers;
}

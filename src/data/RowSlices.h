#pragma once

#include <algorithm>
#include <cstddef>
#include <thread>
#include <vector>

// How many slices a loop over `rows` rows is cut into: one per core (at most
// eight) once there are `minRows` rows or more, else one.
inline std::size_t rowSliceCount(std::size_t rows, std::size_t minRows) {
    return rows < minRows ? 1 : std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 8);
}

// Runs `work(slice, begin, end)` over [0, rows) cut into `slices` slices at
// once, the first on the calling thread; the slices must touch disjoint data.
template <typename Work>
void forEachRowSlice(std::size_t rows, std::size_t slices, Work work) {
    const std::size_t length = (rows + slices - 1) / slices;
    std::vector<std::jthread> workers;
    for (std::size_t slice = 1; slice < slices; ++slice) {
        const std::size_t begin = std::min(rows, slice * length);
        workers.emplace_back(work, slice, begin, std::min(rows, begin + length));
    }
    work(std::size_t{0}, std::size_t{0}, std::min(rows, length));
}

// Asks the system to back a large array with huge pages.
#pragma once

#include <cstddef>
#include <iterator>
#include <vector>

// For an array written once from end to end as soon as it is made (a file read into memory):
// a page fault every 4 KiB then costs more than the writing. Only the whole 2 MiB pages
// inside [data, data + bytes) are advised; without support for it nothing changes.
void AdviseHugePages(const void* data, std::size_t bytes);

// The same for the capacity a vector has reserved.
template <typename T> void AdviseHugePages(const std::vector<T>& array) {
    AdviseHugePages(array.data(), array.capacity() * sizeof(T));
}

// Room for `count` elements and an eighth more, for an array that grows by a few at a time:
// the larger array is advised before the elements move in, since moving them faults its pages.
template <typename T> void ReserveAdvised(std::vector<T>& array, std::size_t count) {
    if (count <= array.capacity())
        return;
    std::vector<T> grown;
    grown.reserve(count + count / 8);
    AdviseHugePages(grown);
    grown.insert(grown.end(), std::make_move_iterator(array.begin()),
                 std::make_move_iterator(array.end()));
    array.swap(grown);
}

// Asks the system to back a large array with huge pages.
#pragma once

#include <cstddef>
#include <vector>

// For an array written once from end to end as soon as it is made (a file read into memory):
// a page fault every 4 KiB then costs more than the writing. Only the whole 2 MiB pages
// inside [data, data + bytes) are advised; without support for it nothing changes.
void AdviseHugePages(const void* data, std::size_t bytes);

// The same for the capacity a vector has reserved.
template <typename T> void AdviseHugePages(const std::vector<T>& array) {
    AdviseHugePages(array.data(), array.capacity() * sizeof(T));
}

// Queue<T>: the 3D layer's growable array. Appending to a full queue grows
// it to 512 elements the first time and by 128 after that. The storage is
// a std::vector; the queue adds only that growth, appends that report
// running out of memory instead of throwing, and the two ways of emptying.
#pragma once

#include <cstdint>
#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

template <typename T>
class Queue {
public:
    // Appends one element; false (and nothing appended) when memory runs out.
    bool Add(const T& item)
    {
        if (!RoomForOneMore()) return false;
        items.push_back(item);
        return true;
    }
    bool Add(T&& item)
    {
        if (!RoomForOneMore()) return false;
        items.push_back(std::move(item));
        return true;
    }

    // Makes room for at least wanted elements in one step, so a loader that
    // knows its counts does not grow the queue 128 elements at a time.
    bool Reserve(std::int32_t wanted)
    {
        if (wanted <= Capacity()) return true;
        try {
            items.reserve(static_cast<std::size_t>(wanted));
        } catch (const std::bad_alloc&) {
            return false;
        } catch (const std::length_error&) {
            return false;
        }
        return true;
    }

    // Empties the queue and frees its storage.
    void Clear() { std::vector<T>().swap(items); }

    // Empties the queue and keeps its storage for the next fill.
    void Empty() { items.clear(); }

    std::int32_t Count() const { return static_cast<std::int32_t>(items.size()); }
    std::int32_t Capacity() const { return static_cast<std::int32_t>(items.capacity()); }
    T* Data() { return items.data(); }
    const T* Data() const { return items.data(); }
    T& operator[](std::int32_t i) { return items[static_cast<std::size_t>(i)]; }
    const T& operator[](std::int32_t i) const { return items[static_cast<std::size_t>(i)]; }
    T& Last() { return items.back(); }

private:
    bool RoomForOneMore()
    {
        if (items.size() < items.capacity()) return true;
        const std::int64_t grown = items.capacity() == 0 ? 512 : std::int64_t{Capacity()} + 128;
        return grown <= INT32_MAX && Reserve(static_cast<std::int32_t>(grown));
    }

    std::vector<T> items;
};

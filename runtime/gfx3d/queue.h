// Queue<T>: the 3D layer's growable array. Appending to a full queue grows
// it to 512 elements the first time and by 128 after that; growing copies
// the elements into the new array and frees the old one.
#pragma once

#include <cstdint>
#include <new>
#include <utility>

template <typename T>
class Queue {
public:
    Queue() = default;
    ~Queue() { delete[] items; }

    Queue(const Queue& other) { *this = other; }
    Queue(Queue&& other) noexcept { Swap(other); }
    Queue& operator=(Queue&& other) noexcept
    {
        if (this != &other) {
            Clear();
            Swap(other);
        }
        return *this;
    }
    Queue& operator=(const Queue& other)
    {
        if (this == &other) return *this;
        Empty();
        if (!Reserve(other.count)) return *this;
        for (std::int32_t i = 0; i < other.count; ++i) items[i] = other.items[i];
        count = other.count;
        return *this;
    }

    // Appends one element; false (and nothing appended) when memory runs out.
    bool Add(const T& item)
    {
        if (count >= capacity) {
            const std::int64_t grown = capacity == 0 ? 512 : std::int64_t{capacity} + 128;
            if (grown > INT32_MAX || !Reserve(static_cast<std::int32_t>(grown))) return false;
        }
        items[count++] = item;
        return true;
    }
    bool Add(T&& item)
    {
        if (count >= capacity) {
            const std::int64_t grown = capacity == 0 ? 512 : std::int64_t{capacity} + 128;
            if (grown > INT32_MAX || !Reserve(static_cast<std::int32_t>(grown))) return false;
        }
        items[count++] = std::move(item);
        return true;
    }

    // Makes room for at least wanted elements in one step, so a loader that
    // knows its counts does not grow the queue 128 elements at a time.
    bool Reserve(std::int32_t wanted)
    {
        if (wanted <= capacity) return true;
        T* grown = new (std::nothrow) T[static_cast<std::size_t>(wanted)];
        if (grown == nullptr) return false;
        for (std::int32_t i = 0; i < count && i < wanted; ++i) grown[i] = std::move(items[i]);
        delete[] items;
        items = grown;
        capacity = wanted;
        return true;
    }

    // Empties the queue and frees its storage.
    void Clear()
    {
        delete[] items;
        items = nullptr;
        count = 0;
        capacity = 0;
    }

    // Empties the queue and keeps its storage for the next fill.
    void Empty() { count = 0; }

    std::int32_t Count() const { return count; }
    std::int32_t Capacity() const { return capacity; }
    T* Data() { return items; }
    const T* Data() const { return items; }
    T& operator[](std::int32_t i) { return items[i]; }
    const T& operator[](std::int32_t i) const { return items[i]; }
    T& Last() { return items[count - 1]; }

private:
    void Swap(Queue& other) noexcept
    {
        std::swap(items, other.items);
        std::swap(count, other.count);
        std::swap(capacity, other.capacity);
    }

    T* items = nullptr;
    std::int32_t count = 0;
    std::int32_t capacity = 0;
};

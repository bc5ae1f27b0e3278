// A ring buffer of fixed capacity that supports insertion and removal at any
// position. Element i counts from the front: items[(head + i) mod capacity].
// Insertion in the middle copies the elements, in their new order, into a
// second array of the same capacity and swaps the two, so it is one pass.
#pragma once

#include <cstdint>
#include <new>
#include <utility>

template <typename T>
class FixedDeque {
public:
    FixedDeque() = default;
    FixedDeque(const FixedDeque&) = delete;
    FixedDeque& operator=(const FixedDeque&) = delete;
    ~FixedDeque() { release(); }

    // Empties the deque and gives it room for capacity elements. False when
    // the memory is not there; the capacity is then 0.
    bool allocate(std::uint32_t newCapacity)
    {
        release();
        if (newCapacity == 0) return true;
        items = new (std::nothrow) T[newCapacity];
        scratch = new (std::nothrow) T[newCapacity];
        if (items == nullptr || scratch == nullptr) {
            release();
            return false;
        }
        capacity = newCapacity;
        return true;
    }

    bool pushBack(const T& value)
    {
        if (isFull()) return false;
        items[tail] = value;
        tail = (tail + 1) % capacity;
        empty = false;
        return true;
    }

    bool popBack()
    {
        if (empty) return false;
        tail = (tail + capacity - 1) % capacity;
        empty = tail == head;
        return true;
    }

    // The last element; only valid when the deque is not empty.
    T& back() { return items[(tail + capacity - 1) % capacity]; }

    // Puts value at position index (0 = front, size() = back), moving the
    // elements from index on one place back.
    bool insert(std::uint32_t index, const T& value)
    {
        const std::uint32_t count = size();
        if (isFull() || index > count) return false;
        if (index == count) return pushBack(value);
        if (index == 0) {
            head = (head + capacity - 1) % capacity;
            items[head] = value;
            empty = false;
            return true;
        }
        for (std::uint32_t i = 0; i < index; ++i) scratch[i] = (*this)[i];
        scratch[index] = value;
        for (std::uint32_t i = index; i < count; ++i) scratch[i + 1] = (*this)[i];
        std::swap(items, scratch);
        head = 0;
        tail = (count + 1) % capacity;
        empty = false;
        return true;
    }

    // Removes the element at index; the elements behind it move up.
    bool remove(std::uint32_t index)
    {
        const std::uint32_t count = size();
        if (index >= count) return false;
        for (std::uint32_t i = index; i + 1 < count; ++i) (*this)[i] = (*this)[i + 1];
        return popBack();
    }

    void clear()
    {
        head = 0;
        tail = 0;
        empty = true;
    }

    bool isEmpty() const { return empty; }
    bool isFull() const { return capacity == 0 || (!empty && head == tail); }

    std::uint32_t size() const
    {
        if (empty) return 0;
        return tail > head ? tail - head : capacity - head + tail;
    }

    T& operator[](std::uint32_t i) { return items[(head + i) % capacity]; }
    const T& operator[](std::uint32_t i) const { return items[(head + i) % capacity]; }

private:
    void release()
    {
        delete[] items;
        delete[] scratch;
        items = nullptr;
        scratch = nullptr;
        capacity = 0;
        clear();
    }

    T* items = nullptr;
    T* scratch = nullptr;  // the second array used by insertion in the middle
    std::uint32_t capacity = 0;
    std::uint32_t head = 0;  // index of the front
    std::uint32_t tail = 0;  // index one past the back
    bool empty = true;
};

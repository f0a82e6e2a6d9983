#pragma once
// An array whose storage is taken once, for a number of elements known in
// advance, and whose elements are then made one at a time at its end. They
// never move, so pointers to them stay valid and elements that can neither
// move nor copy can be held; letting go of the array destroys exactly the
// elements made, newest first. A reader makes each element in the loop that
// reads it, so a load cut partway made only what it read.

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <utility>

namespace Engine {

template <class T>
class CFixedCapacityArray {
public:
    CFixedCapacityArray() = default;
    explicit CFixedCapacityArray(size_t capacity)
        : m_items(capacity ? std::allocator<T>().allocate(capacity) : nullptr), m_capacity(capacity) {}
    ~CFixedCapacityArray() { Release(); }
    CFixedCapacityArray(CFixedCapacityArray&& other) noexcept
        : m_items(std::exchange(other.m_items, nullptr)),
          m_size(std::exchange(other.m_size, 0)),
          m_capacity(std::exchange(other.m_capacity, 0)) {}
    CFixedCapacityArray& operator=(CFixedCapacityArray&& other) noexcept {
        if (this != &other) {
            Release();
            m_items = std::exchange(other.m_items, nullptr);
            m_size = std::exchange(other.m_size, 0);
            m_capacity = std::exchange(other.m_capacity, 0);
        }
        return *this;
    }

    // Makes the next element; the array must have room for it.
    template <class... Args>
    T& Add(Args&&... args) {
        if (m_size == m_capacity) throw std::length_error("CFixedCapacityArray is full");
        T* item = std::construct_at(m_items + m_size, std::forward<Args>(args)...);
        ++m_size;
        return *item;
    }

    size_t size() const { return m_size; }
    size_t capacity() const { return m_capacity; }
    bool empty() const { return m_size == 0; }
    T& operator[](size_t i) { return m_items[i]; }
    const T& operator[](size_t i) const { return m_items[i]; }
    T* begin() { return m_items; }
    T* end() { return m_items + m_size; }
    const T* begin() const { return m_items; }
    const T* end() const { return m_items + m_size; }

private:
    void Release() {
        while (m_size > 0) std::destroy_at(m_items + --m_size);
        if (m_items) std::allocator<T>().deallocate(m_items, m_capacity);
        m_items = nullptr;
        m_capacity = 0;
    }

    T* m_items = nullptr;
    size_t m_size = 0;
    size_t m_capacity = 0;
};

} // namespace Engine

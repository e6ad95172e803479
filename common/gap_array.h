#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <span>

namespace scrivlet {

// A sequence of trivially copyable values with a gap at its editing point. Inserting or erasing
// at the gap costs what is inserted or erased; moving the gap costs the distance it moves. So a
// run of edits near one place never moves the rest of a large sequence.
//
// Invariant: the logical elements [0, gapStart) sit at the front of the storage, the others at
// its back, after the gap.
template <typename T> class GapArray final {
  public:
    std::size_t size() const { return m_capacity - gapLength(); }
    std::size_t gapStart() const { return m_gapStart; }

    const T& operator[](std::size_t i) const { return m_store[physical(i)]; }
    T& operator[](std::size_t i) { return m_store[physical(i)]; }

    // The elements before the gap, and those after it.
    std::span<const T> front() const { return {m_store.get(), m_gapStart}; }
    std::span<const T> back() const { return {m_store.get() + m_gapEnd, m_capacity - m_gapEnd}; }

    // Replaces everything with `count` elements; the gap goes to the end.
    void assign(const T* first, std::size_t count, std::size_t spare)
    {
        m_store = std::make_unique_for_overwrite<T[]>(count + spare);
        std::copy_n(first, count, m_store.get());
        m_capacity = count + spare;
        m_gapStart = count;
        m_gapEnd = m_capacity;
    }

    // Moves the gap to start at `index`. `onMove(element, toFront)` is applied to every element
    // that changes side.
    template <typename OnMove> void moveGap(std::size_t index, OnMove onMove)
    {
        T* store = m_store.get();
        if (index < m_gapStart) {
            const std::size_t count = m_gapStart - index;
            std::copy_backward(store + index, store + m_gapStart, store + m_gapEnd);
            m_gapStart = index;
            m_gapEnd -= count;
            for (std::size_t i = m_gapEnd; i < m_gapEnd + count; ++i)
                onMove(store[i], false);
        } else if (index > m_gapStart) {
            const std::size_t count = index - m_gapStart;
            std::copy(store + m_gapEnd, store + m_gapEnd + count, store + m_gapStart);
            for (std::size_t i = m_gapStart; i < index; ++i)
                onMove(store[i], true);
            m_gapStart = index;
            m_gapEnd += count;
        }
    }
    void moveGap(std::size_t index)
    {
        moveGap(index, [](T&, bool) {});
    }

    // Inserts at the gap; the gap moves past the new elements.
    void insertAtGap(const T* first, std::size_t count)
    {
        reserveGap(count);
        std::copy_n(first, count, m_store.get() + m_gapStart);
        m_gapStart += count;
    }
    void insertAtGap(T value) { insertAtGap(&value, 1); }

    // Erases the `count` elements that follow the gap.
    void eraseAfterGap(std::size_t count) { m_gapEnd += std::min(count, m_capacity - m_gapEnd); }

    // Copies elements [from, to) to `out`.
    void copy(std::size_t from, std::size_t to, T* out) const
    {
        const T* store = m_store.get();
        if (from < m_gapStart) {
            const std::size_t end = std::min(to, m_gapStart);
            out = std::copy(store + from, store + end, out);
            from = end;
        }
        if (from < to)
            std::copy(store + physical(from), store + physical(to - 1) + 1, out);
    }

    // Elements [from, to) as one span when the gap does not split them; empty otherwise (and
    // for an empty range).
    std::span<const T> contiguous(std::size_t from, std::size_t to) const
    {
        if (from >= to || (from < m_gapStart && to > m_gapStart))
            return {};
        return {m_store.get() + physical(from), to - from};
    }

  private:
    std::size_t gapLength() const { return m_gapEnd - m_gapStart; }
    std::size_t physical(std::size_t i) const { return i < m_gapStart ? i : i + gapLength(); }

    // Grows the storage so that the gap holds at least `count` elements, with room to spare in
    // proportion to the size, so that growing costs a constant per element on average.
    void reserveGap(std::size_t count)
    {
        if (gapLength() >= count)
            return;
        const std::size_t backLength = m_capacity - m_gapEnd;
        const std::size_t capacity = size() + count + size() / 4 + 64;
        auto store = std::make_unique_for_overwrite<T[]>(capacity);
        std::copy_n(m_store.get(), m_gapStart, store.get());
        std::copy_n(m_store.get() + m_gapEnd, backLength, store.get() + capacity - backLength);
        m_store = std::move(store);
        m_capacity = capacity;
        m_gapEnd = capacity - backLength;
    }

    std::unique_ptr<T[]> m_store;
    std::size_t m_capacity = 0;
    std::size_t m_gapStart = 0;
    std::size_t m_gapEnd = 0;
};

} // namespace scrivlet

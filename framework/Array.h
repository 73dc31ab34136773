#pragma once
// Growable arrays and a map in the shape the catalogue classes expect, over the standard library.
// Free of Win32 so the catalogue model builds and is tested natively too.

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

template <class T>
class CArray {
public:
    CArray() = default;
    CArray(const CArray&) = default;
    CArray& operator=(const CArray&) = default;
    virtual ~CArray() = default;

    int GetSize() const { return static_cast<int>(m_items.size()); }
    int GetCount() const { return GetSize(); }
    bool IsEmpty() const { return m_items.empty(); }

    T& operator[](int index) { return m_items[static_cast<size_t>(index)]; }
    const T& operator[](int index) const { return m_items[static_cast<size_t>(index)]; }
    T& GetAt(int index) { return (*this)[index]; }
    const T& GetAt(int index) const { return (*this)[index]; }
    void SetAt(int index, T value) { (*this)[index] = std::move(value); }

    // Returns the index of the new element.
    int Add(T value)
    {
        m_items.push_back(std::move(value));
        return GetSize() - 1;
    }
    void InsertAt(int index, T value) { m_items.insert(m_items.begin() + index, std::move(value)); }
    void SetSize(int size) { m_items.resize(static_cast<size_t>(size)); }

    // Removes slots only; the caller passes a range inside the array.
    virtual void RemoveAt(int index, int count = 1)
    {
        m_items.erase(m_items.begin() + index, m_items.begin() + index + count);
    }
    virtual void RemoveAll() { m_items.clear(); }

    std::vector<T>& Items() { return m_items; }
    const std::vector<T>& Items() const { return m_items; }
    typename std::vector<T>::const_iterator begin() const { return m_items.begin(); }
    typename std::vector<T>::const_iterator end() const { return m_items.end(); }

protected:
    std::vector<T> m_items;
};

using CStringArray = CArray<std::wstring>;

template <class Key, class Value>
class CMap {
public:
    bool Lookup(const Key& key, Value& value) const
    {
        auto found = m_map.find(key);
        if (found == m_map.end())
            return false;
        value = found->second;
        return true;
    }
    void SetAt(const Key& key, Value value) { m_map[key] = std::move(value); }
    bool RemoveKey(const Key& key) { return m_map.erase(key) != 0; }
    void RemoveAll() { m_map.clear(); }
    int GetCount() const { return static_cast<int>(m_map.size()); }

private:
    std::unordered_map<Key, Value> m_map;
};

#pragma once
// Block edits of the grid's per-row lists (modified, enabled and selected flags), each one pass
// over the list. The lists grow lazily, so they may be shorter than the row count: an edit only
// touches the entries the list has.
#include <algorithm>
#include <vector>

namespace controls::grid::rowlists {

// first, first + 1 .. first + count - 1.
inline std::vector<int> range(int first, int count)
{
    std::vector<int> out;
    out.reserve(size_t(std::max(0, count)));
    for (int k = 0; k < count; ++k)
        out.push_back(first + k);
    return out;
}

// Drops the entries at the listed indexes (ascending).
template <typename T>
void erase(std::vector<T>& v, const std::vector<int>& rows)
{
    if (rows.empty() || size_t(rows.front()) >= v.size())
        return;
    size_t j = 0;
    size_t write = size_t(rows.front());
    for (size_t i = write; i < v.size(); ++i) {
        if (j < rows.size() && size_t(rows[j]) == i) {
            ++j;
            continue;
        }
        v[write++] = std::move(v[i]);
    }
    v.resize(write);
}

// Drops entries first .. first + count - 1.
template <typename T>
void eraseRange(std::vector<T>& v, int first, int count)
{
    if (size_t(first) >= v.size() || count <= 0)
        return;
    v.erase(v.begin() + first, v.begin() + std::min<std::ptrdiff_t>(std::ptrdiff_t(v.size()), first + count));
}

// Inserts count entries of `value` at first, when the list reaches that far.
template <typename T>
void insertRange(std::vector<T>& v, int first, int count, const T& value)
{
    if (size_t(first) > v.size() || count <= 0)
        return;
    v.insert(v.begin() + first, size_t(count), value);
}

// Inserts `value` at the listed final places (ascending); places beyond the list's end are left
// out.
template <typename T>
void insert(std::vector<T>& v, const std::vector<int>& positions, const T& value)
{
    if (positions.empty() || size_t(positions.front()) > v.size())
        return;
    std::vector<T> out;
    out.reserve(v.size() + positions.size());
    out.insert(out.end(), v.begin(), v.begin() + positions.front());
    size_t i = size_t(positions.front());
    size_t j = 0;
    for (size_t dst = out.size();; ++dst) {
        if (j < positions.size() && size_t(positions[j]) == dst) {
            out.push_back(value);
            ++j;
        } else if (i < v.size()) {
            out.push_back(std::move(v[i++]));
        } else {
            break;
        }
    }
    v.swap(out);
}

// Entries middle..last-1 to first.., first..middle-1 after them (as far as the list reaches).
template <typename T>
void rotate(std::vector<T>& v, int first, int middle, int last, const T& fill)
{
    if (size_t(first) >= v.size() || first == middle || middle == last)
        return;
    if (v.size() < size_t(last))
        v.resize(size_t(last), fill);
    std::rotate(v.begin() + first, v.begin() + middle, v.begin() + last);
}

// Entry first + i takes the entry first + order[i].
template <typename T>
void permute(std::vector<T>& v, int first, const std::vector<int>& order, const T& fill)
{
    if (size_t(first) >= v.size() || order.empty())
        return;
    if (v.size() < size_t(first) + order.size())
        v.resize(size_t(first) + order.size(), fill);
    std::vector<T> before(v.begin() + first, v.begin() + first + std::ptrdiff_t(order.size()));
    for (size_t i = 0; i < order.size(); ++i)
        v[size_t(first) + i] = before[size_t(order[i])];
}

} // namespace controls::grid::rowlists

// A list in most-recently-used order with an ordered index of its elements, so
// that finding, moving to the front and removing an element take logarithmic time.
#pragma once

#include <cstddef>
#include <list>
#include <map>

namespace tovarineGameSDK3rd {
namespace VTL {

template <class T>
class fast_list {
public:
    using const_iterator = typename std::list<T>::const_iterator;

    // Puts e at the front: true when it was already in the list (and moved).
    bool touch(const T& e) {
        auto it = index_.find(e);
        if (it != index_.end()) {
            items_.splice(items_.begin(), items_, it->second);
            return true;
        }
        items_.push_front(e);
        index_.emplace(e, items_.begin());
        return false;
    }
    bool contains(const T& e) const { return index_.count(e) != 0; }
    // True when e was in the list.
    bool erase(const T& e) {
        auto it = index_.find(e);
        if (it == index_.end()) return false;
        items_.erase(it->second);
        index_.erase(it);
        return true;
    }
    // The least recently used element; the list must not be empty.
    const T& back() const { return items_.back(); }
    void pop_back() {
        index_.erase(items_.back());
        items_.pop_back();
    }
    bool empty() const { return items_.empty(); }
    size_t size() const { return items_.size(); }
    // Front (most recent) to back.
    const_iterator begin() const { return items_.begin(); }
    const_iterator end() const { return items_.end(); }

private:
    std::list<T> items_;
    std::map<T, typename std::list<T>::iterator> index_;
};

}  // namespace VTL
}  // namespace tovarineGameSDK3rd

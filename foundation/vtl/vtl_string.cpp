#include "foundation/vtl/vtl_string.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

namespace tovarineGameSDK3rd {
namespace VTL {

int memcompare(const void* a, const void* b, std::size_t n) noexcept {
    if (n == 0) return 0;
    const int r = std::memcmp(a, b, n);  // memcmp orders as unsigned char
    return (r > 0) - (r < 0);
}

template <class CharT>
basic_string<CharT>::basic_string(std::basic_string_view<CharT> v) {
    if (v.size() >= max_needed) throw std::length_error("in VTL::VTLstring::basic_string(string_view)");
    if (!v.empty()) assign(v.data(), static_cast<size_type>(v.size()));
}

template <class CharT>
basic_string<CharT>& basic_string<CharT>::operator=(basic_string&& other) noexcept {
    if (&other != this) {
        clear();
        buffer_ = other.buffer_;
        size_ = other.size_;
        capacity_ = other.capacity_;
        other.buffer_ = nullptr;
        other.size_ = other.capacity_ = 0;
    }
    return *this;
}

// P(x): the smallest power of two strictly greater than x.
template <class CharT>
typename basic_string<CharT>::size_type basic_string<CharT>::RoomFor(std::uint64_t needed) {
    if (needed > max_needed) throw std::length_error("in VTL::VTLstring: string too long");
    size_type p = 1;
    while (p <= needed) p <<= 1;
    return p;
}

template <class CharT>
CharT* basic_string<CharT>::Allocate(std::uint64_t needed, size_type& capacity) {
    capacity = RoomFor(needed);
    return static_cast<CharT*>(::operator new(capacity));
}

template <class CharT>
void basic_string<CharT>::clear() noexcept {
    if (buffer_) ::operator delete(buffer_);
    buffer_ = nullptr;
    size_ = capacity_ = 0;
}

template <class CharT>
basic_string<CharT>& basic_string<CharT>::assign(const char_type* s) {
    if (!s) throw null_pointer_exception("in VTL::VTLstring::basic_string::assign(const char_type* s)");
    const std::size_t n = std::strlen(s);
    if (n >= max_needed) throw std::length_error("in VTL::VTLstring::basic_string::assign(const char_type* s)");
    return assign(s, static_cast<size_type>(n));
}

// The result matches "free when not empty, then insert at 0": capacity P(n + 1),
// except that an empty string keeps a buffer that already has room. The new buffer
// is filled before the old one goes, so s may point into this string.
template <class CharT>
basic_string<CharT>& basic_string<CharT>::assign(const char_type* s, size_type n) {
    if (n == 0) {
        clear();
        return *this;
    }
    if (!s) throw null_pointer_exception("in VTL::VTLstring::basic_string::assign(const char_type* s, size_type n)");
    if (buffer_ && size_ == 0 && capacity_ >= static_cast<std::uint64_t>(n) + 1) {
        std::memmove(buffer_, s, n);
        buffer_[n] = 0;
        size_ = n;
        return *this;
    }
    size_type cap;
    char_type* nb = Allocate(static_cast<std::uint64_t>(n) + 1, cap);
    std::memcpy(nb, s, n);
    nb[n] = 0;
    clear();
    buffer_ = nb;
    size_ = n;
    capacity_ = cap;
    return *this;
}

namespace {

// Calls f(p) with p pointing at n copies of c.
template <class CharT, class F>
decltype(auto) WithRepeated(std::uint32_t n, CharT c, F f) {
    CharT small[16];
    std::unique_ptr<CharT[]> large;
    CharT* p = small;
    if (n > sizeof small / sizeof small[0]) {
        if (n >= 0x7FFFFFFFu) throw std::length_error("in VTL::VTLstring: string too long");
        large.reset(new CharT[n]);
        p = large.get();
    }
    std::fill(p, p + n, c);
    return f(p);
}

}  // namespace

template <class CharT>
basic_string<CharT>& basic_string<CharT>::assign(size_type n, char_type c) {
    return WithRepeated(n, c, [&](const char_type* p) -> basic_string& { return assign(p, n); });
}

template <class CharT>
basic_string<CharT>& basic_string<CharT>::assign(const self_type& s, size_type pos, size_type n) {
    if (pos > s.size_) {
        throw std::out_of_range(
            "in VTL::VTLstring::basic_string::assign(const self_type& s, size_type pos, size_type n)");
    }
    const size_type rest = s.size_ - pos;
    return assign(s.data() + pos, n < rest ? n : rest);
}

// Inserts n characters at pos (npos or beyond the size meaning the end). The
// source may lie inside this string: the in-place path copies it out first.
template <class CharT>
basic_string<CharT>& basic_string<CharT>::insert(size_type pos, const char_type* s, size_type n) {
    if (n == 0) return *this;
    if (!s) {
        throw null_pointer_exception(
            "in VTL::VTLstring::basic_string::insert(size_type pos, const char_type* s, size_type n)");
    }
    if (pos > size_) pos = size_;
    const std::uint64_t needed = static_cast<std::uint64_t>(size_) + 1 + n;
    if (!buffer_ || needed > capacity_) {
        size_type cap;
        char_type* nb = Allocate(needed, cap);  // P(n + 1) for a string without buffer
        const char_type* old = data();
        std::memcpy(nb, old, pos);
        std::memcpy(nb + pos, s, n);
        std::memcpy(nb + pos + n, old + pos, size_ - pos + 1);
        if (buffer_) ::operator delete(buffer_);
        buffer_ = nb;
        capacity_ = cap;
    } else {
        std::unique_ptr<char_type[]> copy;
        if (Inside(s)) {
            copy.reset(new char_type[n]);
            std::memcpy(copy.get(), s, n);
            s = copy.get();
        }
        std::memmove(buffer_ + pos + n, buffer_ + pos, size_ - pos + 1);
        std::memcpy(buffer_ + pos, s, n);
    }
    size_ += n;
    return *this;
}

template <class CharT>
basic_string<CharT>& basic_string<CharT>::insert(size_type pos, size_type n, char_type c) {
    return WithRepeated(n, c, [&](const char_type* p) -> basic_string& { return insert(pos, p, n); });
}

template <class CharT>
basic_string<CharT>& basic_string<CharT>::append(const char_type* s) {
    if (!s) throw null_pointer_exception("in VTL::VTLstring::basic_string::append(const char_type* s)");
    const std::size_t n = std::strlen(s);
    if (n >= max_needed) throw std::length_error("in VTL::VTLstring::basic_string::append(const char_type* s)");
    return insert(npos, s, static_cast<size_type>(n));
}

template <class CharT>
basic_string<CharT>& basic_string<CharT>::erase(size_type pos, size_type n) noexcept {
    if (pos >= size_) return *this;
    size_type count = n;
    if (n == npos || n > size_ || static_cast<std::uint64_t>(pos) + n > size_) {
        count = size_ - pos;
        if (pos == 0) {
            clear();
            return *this;
        }
    }
    std::memmove(buffer_ + pos, buffer_ + pos + count, size_ - pos - count + 1);
    size_ -= count;
    return *this;
}

template <class CharT>
void basic_string<CharT>::Reserve(size_type n) {
    const std::uint64_t needed = static_cast<std::uint64_t>(n) + 1;
    if (!buffer_) {
        size_type cap;
        buffer_ = Allocate(needed, cap);
        buffer_[0] = 0;
        capacity_ = cap;
        return;
    }
    if (n >= capacity_) {
        size_type cap;
        char_type* nb = Allocate(needed, cap);
        std::memcpy(nb, buffer_, size_ + 1);
        ::operator delete(buffer_);
        buffer_ = nb;
        capacity_ = cap;
    }
}

template <class CharT>
void basic_string<CharT>::ToLower() noexcept {
    for (size_type i = 0; i < size_; ++i) {
        const unsigned char c = static_cast<unsigned char>(buffer_[i]);
        if (IsSJISLeadByte(c)) {
            ++i;  // the trail byte may look like a letter; it is not one
        } else if (c >= 'A' && c <= 'Z') {
            buffer_[i] = static_cast<char_type>(c - 'A' + 'a');
        }
    }
}

template <class CharT>
int basic_string<CharT>::compare(const char_type* s) const {
    if (!s) throw null_pointer_exception("in VTL::VTLstring::basic_string::compare(const char_type* s) const");
    const std::size_t len = std::strlen(s);
    const std::size_t common = size_ < len ? size_ : len;
    if (const int r = memcompare(data(), s, common)) return r;
    if (size_ == len) return 0;
    return size_ < len ? -1 : 1;
}

template <class CharT>
int basic_string<CharT>::compare(const self_type& s) const noexcept {
    const size_type common = size_ < s.size_ ? size_ : s.size_;
    if (const int r = memcompare(data(), s.data(), common)) return r;
    if (size_ == s.size_) return 0;
    return size_ < s.size_ ? -1 : 1;
}

template <class CharT>
basic_string<CharT> basic_string<CharT>::substr(size_type pos, size_type n) const {
    if (pos >= size_) {
        throw std::out_of_range("in VTL::VTLstring::basic_string::substr(size_type pos = 0,size_type n = npos) const");
    }
    const size_type rest = size_ - pos;
    return basic_string(buffer_ + pos, n < rest ? n : rest);
}

template class basic_string<char>;

VTLstring Int64ToString(std::int64_t value) {
    if (value == 0) return VTLstring("0");
    const bool negative = value < 0;
    // Negating as unsigned keeps the most negative value exact.
    std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    char text[24];
    char* p = text + sizeof text;
    *--p = 0;
    while (magnitude != 0) {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    }
    if (negative) *--p = '-';
    return VTLstring(p);
}

namespace {

unsigned char UpperAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c; }

// Whether `from` matches at s[pos]; a match always spans flen bytes.
bool MatchAt(const unsigned char* s, std::size_t size, std::size_t pos, const unsigned char* from,
                    std::size_t flen, bool exactCase) {
    if (exactCase) return size - pos >= flen && std::memcmp(s + pos, from, flen) == 0;
    std::size_t i = pos, j = 0;
    while (j < flen) {
        if (i >= size || UpperAscii(s[i]) != UpperAscii(from[j])) return false;
        if (IsSJISLeadByte(s[i])) {  // the trail byte must match exactly
            if (i + 1 >= size || j + 1 >= flen || s[i + 1] != from[j + 1]) return false;
            i += 2;
            j += 2;
        } else {
            ++i;
            ++j;
        }
    }
    return true;
}

}  // namespace

int ReplaceString(VTLstring& s, const VTLstring& from, const VTLstring& to, bool exactCase) {
    if (s.empty() || from.empty()) return 0;
    const auto* text = reinterpret_cast<const unsigned char*>(s.data());
    const auto* pat = reinterpret_cast<const unsigned char*>(from.data());
    const std::size_t size = s.size(), flen = from.size();

    // Start offsets of the matches, in order; matches never overlap and never
    // start on the trail byte of a double-byte character.
    std::vector<std::size_t> starts;
    std::size_t pos = 0;
    while (pos < size) {
        if (MatchAt(text, size, pos, pat, flen, exactCase)) {
            starts.push_back(pos);
            pos += flen;
        } else {
            pos += IsSJISLeadByte(text[pos]) ? 2 : 1;
        }
    }
    if (starts.empty()) return 0;

    const std::uint64_t total = size + starts.size() * (static_cast<std::uint64_t>(to.size())) - starts.size() * flen;
    if (total + 1 > VTLstring::max_needed) throw std::length_error("in VTL::ReplaceString: result too long");

    VTLstring result;
    result.Reserve(static_cast<VTLstring::size_type>(total));
    std::size_t from_pos = 0;
    for (std::size_t k = 0; k < starts.size(); ++k) {
        result.append(s.data() + from_pos, static_cast<VTLstring::size_type>(starts[k] - from_pos));
        result.append(to);
        from_pos = starts[k] + flen;
    }
    result.append(s.data() + from_pos, static_cast<VTLstring::size_type>(size - from_pos));
    if (result.empty()) {
        s.clear();  // as an assignment of the empty text: no buffer kept
    } else {
        s = std::move(result);
    }
    return static_cast<int>(starts.size());
}

}  // namespace VTL
}  // namespace tovarineGameSDK3rd

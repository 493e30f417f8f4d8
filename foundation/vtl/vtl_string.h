// VTLstring: the SDK's counted byte string. Its bytes are Shift-JIS text and are
// never interpreted, except where a search has to step over double-byte characters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <functional>
#include <string_view>

#include "platform/charset.h"

namespace tovarineGameSDK3rd {
namespace VTL {

namespace detail {

// Thrown for a null text argument; what() names the operation that refused it.
class null_pointer_exception : public std::exception {
public:
    explicit null_pointer_exception(const char* where) noexcept : where_(where) {}
    const char* what() const noexcept override { return where_; }

private:
    const char* where_;  // always a string literal
};

}  // namespace detail

// Compares n bytes as unsigned bytes: -1, 0 or 1 (0 for n = 0).
int memcompare(const void* a, const void* b, std::size_t n) noexcept;

// True for the first byte of a Shift-JIS double-byte character (the platform's one test).
constexpr bool IsSJISLeadByte(unsigned char c) noexcept { return morna::platform::IsSjisLeadByte(c); }

template <class CharT>
class basic_string {
public:
    using char_type = CharT;
    using value_type = CharT;
    using size_type = std::uint32_t;
    using self_type = basic_string;
    using null_pointer_exception = detail::null_pointer_exception;
    static constexpr size_type npos = static_cast<size_type>(-1);

    // Largest byte count (NUL included) whose power-of-two room still fits 32 bits.
    static constexpr std::uint64_t max_needed = 0x7FFFFFFFu;

    // Holds its string and an index; reads the character at the index.
    template <class S, class Ref>
    class basic_iterator {
    public:
        using difference_type = std::ptrdiff_t;
        using value_type = CharT;
        using reference = Ref;

        basic_iterator() = default;
        basic_iterator(size_type index, S* str) : index_(index), str_(str) {}
        operator basic_iterator<const basic_string, const CharT&>() const { return {index_, str_}; }

        Ref operator*() const {
            if (!str_) {
                throw null_pointer_exception("in VTL::VTLstring::basic_string::iterator::operator* () const");
            }
            if (!str_->buffer_) return empty_text_[0];
            return str_->buffer_[index_];
        }
        basic_iterator& operator++() { ++index_; return *this; }
        basic_iterator operator++(int) { basic_iterator t = *this; ++index_; return t; }
        basic_iterator& operator--() { --index_; return *this; }
        basic_iterator operator--(int) { basic_iterator t = *this; --index_; return t; }
        basic_iterator& operator+=(difference_type d) { index_ = static_cast<size_type>(index_ + d); return *this; }
        basic_iterator operator+(difference_type d) const { basic_iterator t = *this; return t += d; }
        difference_type operator-(const basic_iterator& o) const {
            return static_cast<difference_type>(index_) - static_cast<difference_type>(o.index_);
        }
        bool operator==(const basic_iterator& o) const { return index_ == o.index_ && str_ == o.str_; }
        bool operator!=(const basic_iterator& o) const { return !(*this == o); }
        size_type index() const { return index_; }

    private:
        size_type index_ = 0;
        S* str_ = nullptr;
    };
    using iterator = basic_iterator<basic_string, CharT&>;
    using const_iterator = basic_iterator<const basic_string, const CharT&>;

    basic_string() noexcept = default;
    basic_string(const char_type* s) { assign(s); }  // NOLINT: implicit, as text literals are strings
    basic_string(const char_type* s, size_type n) { assign(s, n); }
    basic_string(size_type n, char_type c) { assign(n, c); }
    explicit basic_string(std::basic_string_view<CharT> v);
    basic_string(const basic_string& other) {
        if (&other != this) assign(other.data(), other.size_);
    }
    basic_string(basic_string&& other) noexcept
        : buffer_(other.buffer_), size_(other.size_), capacity_(other.capacity_) {
        other.buffer_ = nullptr;
        other.size_ = other.capacity_ = 0;
    }
    ~basic_string() { clear(); }

    basic_string& operator=(const basic_string& other) {
        if (&other != this) assign(other.data(), other.size_);
        return *this;
    }
    basic_string& operator=(basic_string&& other) noexcept;
    basic_string& operator=(const char_type* s) { return assign(s); }

    basic_string& assign(const char_type* s);
    basic_string& assign(const char_type* s, size_type n);
    basic_string& assign(size_type n, char_type c);
    basic_string& assign(const self_type& s, size_type pos, size_type n);
    void clear() noexcept;

    basic_string& insert(size_type pos, const char_type* s, size_type n);
    basic_string& insert(size_type pos, size_type n, char_type c);
    basic_string& append(const char_type* s);
    basic_string& append(const char_type* s, size_type n) { return insert(npos, s, n); }
    basic_string& append(const self_type& s) { return insert(npos, s.data(), s.size_); }
    basic_string& append(size_type n, char_type c) { return insert(npos, n, c); }
    void push_back(char_type c) { insert(npos, 1, c); }
    basic_string& operator+=(const self_type& s) { return append(s); }
    basic_string& operator+=(const char_type* s) { return append(s); }
    basic_string& operator+=(char_type c) { return insert(npos, 1, c); }
    basic_string& erase(size_type pos = 0, size_type n = npos) noexcept;
    void Reserve(size_type n);
    // Lower-cases ASCII letters in place, stepping over Shift-JIS double-byte characters.
    void ToLower() noexcept;

    int compare(const char_type* s) const;
    int compare(const self_type& s) const noexcept;
    basic_string substr(size_type pos = 0, size_type n = npos) const;

    const char_type* c_str() const noexcept { return buffer_ ? buffer_ : empty_text_; }
    const char_type* data() const noexcept { return c_str(); }
    size_type size() const noexcept { return size_; }
    size_type length() const noexcept { return size_; }
    size_type capacity() const noexcept { return capacity_; }
    bool empty() const noexcept { return size_ == 0; }
    // True while the string holds a heap buffer (a default or freed string has none).
    bool has_buffer() const noexcept { return buffer_ != nullptr; }
    std::basic_string_view<CharT> view() const noexcept { return {c_str(), size_}; }

    // Unchecked, like a C array; index size() reads the NUL.
    const char_type& operator[](size_type i) const noexcept { return buffer_ ? buffer_[i] : empty_text_[0]; }
    char_type& operator[](size_type i) noexcept { return buffer_ ? buffer_[i] : empty_text_[0]; }

    iterator begin() noexcept { return iterator(0, this); }
    iterator end() noexcept { return iterator(size_, this); }
    const_iterator begin() const noexcept { return const_iterator(0, this); }
    const_iterator end() const noexcept { return const_iterator(size_, this); }

    friend bool operator==(const basic_string& a, const basic_string& b) noexcept {
        return a.size_ == b.size_ && memcompare(a.data(), b.data(), a.size_) == 0;
    }
    friend bool operator==(const basic_string& a, const char_type* b) { return a.compare(b) == 0; }
    friend auto operator<=>(const basic_string& a, const basic_string& b) noexcept { return a.compare(b) <=> 0; }
    friend auto operator<=>(const basic_string& a, const char_type* b) { return a.compare(b) <=> 0; }

    friend basic_string operator+(const basic_string& a, const basic_string& b) {
        basic_string r;
        r.Reserve(a.size_ + b.size_ + 1);
        if (!a.empty()) r.append(a);
        if (!b.empty()) r.append(b);
        return r;
    }
    friend basic_string operator+(const basic_string& a, const char_type* b) { return a + basic_string(b); }
    friend basic_string operator+(const char_type* a, const basic_string& b) { return basic_string(a) + b; }
    friend basic_string operator+(char_type c, const basic_string& s) {
        basic_string r;
        r.Reserve(s.size_ + 2);
        r.insert(0, 1, c);
        if (!s.empty()) r.append(s);
        return r;
    }
    friend basic_string operator+(const basic_string& s, char_type c) {
        basic_string r(s);
        r.push_back(c);
        return r;
    }

private:
    // Allocates room for `needed` bytes (NUL included): P(needed), or throws before any change.
    static char_type* Allocate(std::uint64_t needed, size_type& capacity);
    static size_type RoomFor(std::uint64_t needed);
    bool Inside(const char_type* p) const noexcept {
        return buffer_ && p >= buffer_ && p < buffer_ + capacity_;
    }

    static char_type empty_text_[1];

    char_type* buffer_ = nullptr;
    size_type size_ = 0;
    size_type capacity_ = 0;
};

template <class CharT>
CharT basic_string<CharT>::empty_text_[1] = {0};

extern template class basic_string<char>;
using VTLstring = basic_string<char>;

// Decimal text of a signed 64-bit value, the most negative one included.
VTLstring Int64ToString(std::int64_t value);

// Replaces every occurrence of `from` in s by `to` and answers the count. Without
// exactCase ASCII letters match either case; a match never starts or ends inside a
// Shift-JIS double-byte character.
int ReplaceString(VTLstring& s, const VTLstring& from, const VTLstring& to, bool exactCase);

}  // namespace VTL
}  // namespace tovarineGameSDK3rd

template <>
struct std::hash<tovarineGameSDK3rd::VTL::VTLstring> {
    std::size_t operator()(const tovarineGameSDK3rd::VTL::VTLstring& s) const noexcept {
        return std::hash<std::string_view>()(s.view());
    }
};

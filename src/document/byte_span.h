#pragma once
#include <windows.h>

#include <stddef.h>
#include <string.h>

// A view of bytes held elsewhere (a file read whole, a clipboard block). The
// readers take every field through it, so that no offset or count a file
// names can reach outside the bytes there are.
class ByteSpan
{
public:
    ByteSpan() = default;
    ByteSpan(const BYTE* data, size_t size) : data_(data), size_(data ? size : 0) {}

    size_t Size() const { return size_; }
    // Whether count bytes from offset lie inside, without overflow.
    bool Holds(size_t offset, size_t count) const { return offset <= size_ && count <= size_ - offset; }
    // The bytes at offset, or null unless all count of them are there.
    const BYTE* At(size_t offset, size_t count) const { return Holds(offset, count) ? data_ + offset : nullptr; }
    // The part from offset on, at most count bytes: empty past the end.
    ByteSpan Part(size_t offset, size_t count) const
    {
        if (offset > size_)
            return ByteSpan();
        return ByteSpan(data_ + offset, count < size_ - offset ? count : size_ - offset);
    }
    // Copies count bytes from offset; false, with nothing copied, when any is missing.
    bool CopyTo(size_t offset, void* out, size_t count) const
    {
        const BYTE* from = At(offset, count);
        if (!from)
            return false;
        if (count)
            memcpy(out, from, count);
        return true;
    }

private:
    const BYTE* data_ = nullptr;
    size_t size_ = 0;
};

// Reads a span front to back, as the readers once read an open file.
class ByteReader
{
public:
    explicit ByteReader(ByteSpan bytes, size_t at = 0) : bytes_(bytes), at_(at) {}
    bool Read(void* out, size_t count)
    {
        if (!bytes_.CopyTo(at_, out, count))
            return false;
        at_ += count;
        return true;
    }
    // The next count bytes in place, or null when fewer are left.
    const BYTE* Take(size_t count)
    {
        const BYTE* from = bytes_.At(at_, count);
        if (from)
            at_ += count;
        return from;
    }

private:
    ByteSpan bytes_;
    size_t at_;
};

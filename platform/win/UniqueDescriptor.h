// The one owner of a file descriptor: it is closed when its holder goes or takes another.
#pragma once

class UniqueDescriptor {
public:
    UniqueDescriptor() = default;
    explicit UniqueDescriptor(int descriptor) : m_descriptor(descriptor) {}
    UniqueDescriptor(UniqueDescriptor&& other) noexcept : m_descriptor(other.Release()) {}
    UniqueDescriptor& operator=(UniqueDescriptor&& other) noexcept;
    ~UniqueDescriptor();

    int Get() const { return m_descriptor; }
    bool IsOpen() const { return m_descriptor >= 0; }
    // Closes the held descriptor and holds the given one (-1: none).
    void Reset(int descriptor = -1);
    // Hands the descriptor over without closing it.
    int Release();

private:
    int m_descriptor = -1;
};

#pragma once

#include <utility>

namespace vardof::db::detail {

// Owns one reference to a client interface and releases it when dropped.
// Calls that end an object on the server (detach, commit, rollback, close,
// free) release the interface themselves when they succeed: finish() runs
// such a call and lets go of the pointer after a success, or releases it
// after a failure, so no path forgets or doubles the release.
template <class T>
class Ref
{
public:
    Ref() = default;
    explicit Ref(T *p) noexcept : m_p(p) {}
    ~Ref() { reset(); }
    Ref(Ref &&o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
    Ref &operator=(Ref &&o) noexcept
    {
        if (this != &o) {
            reset();
            m_p = std::exchange(o.m_p, nullptr);
        }
        return *this;
    }
    Ref(const Ref &) = delete;
    Ref &operator=(const Ref &) = delete;

    T *get() const noexcept { return m_p; }
    T *operator->() const noexcept { return m_p; }
    explicit operator bool() const noexcept { return m_p != nullptr; }

    void reset(T *p = nullptr) noexcept
    {
        if (m_p)
            m_p->release();
        m_p = p;
    }

    // A successful call released the object (commit, close, ...).
    void forget() noexcept { m_p = nullptr; }

    // Runs call(pointer, status) (a detach, close, free, commit...). The
    // object is gone afterwards either way; the status tells whether the
    // server agreed.
    template <class Call, class St>
    void finish(Call call, St &status) noexcept
    {
        if (!m_p)
            return;
        call(m_p, &status);
        if (status.failed())
            m_p->release();
        m_p = nullptr;
    }

private:
    T *m_p = nullptr;
};

} // namespace vardof::db::detail

#pragma once

// Plain-text clipboard.

#include <QString>

#include <mutex>

namespace vardof::platform {

class IClipboard
{
public:
    virtual ~IClipboard() = default;
    virtual QString text() const = 0;
    virtual void setText(const QString &text) = 0;
};

// Keeps the text in the process: the default without a user interface, and
// the test double (what was copied can be read back).
class MemoryClipboard : public IClipboard
{
public:
    QString text() const override
    {
        std::lock_guard lock(m_mutex);
        return m_text;
    }
    void setText(const QString &text) override
    {
        std::lock_guard lock(m_mutex);
        m_text = text;
    }

private:
    mutable std::mutex m_mutex;
    QString m_text;
};

} // namespace vardof::platform

#include "platform/Services.h"

#include "platform/Clipboard.h"
#include "platform/FileDialogs.h"
#include "platform/Messages.h"
#include "platform/Process.h"
#include "platform/ScriptedFileDialogs.h"
#include "platform/ScriptedMessages.h"
#include "platform/Shell.h"

#include <mutex>

namespace vardof::platform {

namespace {

template<typename Interface>
class Slot
{
public:
    using Factory = std::shared_ptr<Interface> (*)();

    explicit Slot(Factory makeDefault) : m_makeDefault(makeDefault) {}

    Interface &get()
    {
        std::lock_guard lock(m_mutex);
        if (!m_current)
            m_current = m_makeDefault();
        return *m_current;
    }

    std::shared_ptr<Interface> set(std::shared_ptr<Interface> service)
    {
        std::lock_guard lock(m_mutex);
        std::shared_ptr<Interface> previous = std::move(m_current);
        m_current = service ? std::move(service) : m_makeDefault();
        return previous;
    }

private:
    std::mutex m_mutex;
    Factory m_makeDefault;
    std::shared_ptr<Interface> m_current;
};

// Function-local statics: services may be asked for during static
// initialisation of other translation units.
Slot<IMessages> &messageSlot()
{
    static Slot<IMessages> slot([]() -> std::shared_ptr<IMessages> {
        return std::make_shared<StderrMessages>();
    });
    return slot;
}

Slot<IFileDialogs> &fileDialogSlot()
{
    static Slot<IFileDialogs> slot([]() -> std::shared_ptr<IFileDialogs> {
        return std::make_shared<NoFileDialogs>();
    });
    return slot;
}

Slot<IClipboard> &clipboardSlot()
{
    static Slot<IClipboard> slot([]() -> std::shared_ptr<IClipboard> {
        return std::make_shared<MemoryClipboard>();
    });
    return slot;
}

Slot<IShell> &shellSlot()
{
    static Slot<IShell> slot([]() -> std::shared_ptr<IShell> {
        return std::make_shared<ProcessShell>();
    });
    return slot;
}

Slot<IProcesses> &processSlot()
{
    static Slot<IProcesses> slot([]() -> std::shared_ptr<IProcesses> {
        return std::make_shared<QtProcesses>();
    });
    return slot;
}

} // namespace

IMessages &messages() { return messageSlot().get(); }
IFileDialogs &fileDialogs() { return fileDialogSlot().get(); }
IClipboard &clipboard() { return clipboardSlot().get(); }
IShell &shell() { return shellSlot().get(); }
IProcesses &processes() { return processSlot().get(); }

std::shared_ptr<IMessages> setMessages(std::shared_ptr<IMessages> service)
{
    return messageSlot().set(std::move(service));
}

std::shared_ptr<IFileDialogs> setFileDialogs(std::shared_ptr<IFileDialogs> service)
{
    return fileDialogSlot().set(std::move(service));
}

std::shared_ptr<IClipboard> setClipboard(std::shared_ptr<IClipboard> service)
{
    return clipboardSlot().set(std::move(service));
}

std::shared_ptr<IShell> setShell(std::shared_ptr<IShell> service)
{
    return shellSlot().set(std::move(service));
}

std::shared_ptr<IProcesses> setProcesses(std::shared_ptr<IProcesses> service)
{
    return processSlot().set(std::move(service));
}

ScopedServices::ScopedServices()
    : m_messages(std::make_shared<ScriptedMessages>()),
      m_fileDialogs(std::make_shared<ScriptedFileDialogs>()),
      m_clipboard(std::make_shared<MemoryClipboard>()),
      m_shell(std::make_shared<ScriptedShell>()),
      m_processes(std::make_shared<ScriptedProcesses>())
{
    m_previousMessages = setMessages(m_messages);
    m_previousFileDialogs = setFileDialogs(m_fileDialogs);
    m_previousClipboard = setClipboard(m_clipboard);
    m_previousShell = setShell(m_shell);
    m_previousProcesses = setProcesses(m_processes);
}

ScopedServices::~ScopedServices()
{
    // A null previous (nothing was ever installed) restores the default.
    setMessages(std::move(m_previousMessages));
    setFileDialogs(std::move(m_previousFileDialogs));
    setClipboard(std::move(m_previousClipboard));
    setShell(std::move(m_previousShell));
    setProcesses(std::move(m_previousProcesses));
}

} // namespace vardof::platform

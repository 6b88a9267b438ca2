#pragma once

// Where the code finds the services that reach the user or the operating
// system. Until a user interface installs its own (installWidgetPlatform),
// the defaults never wait for anyone: messages go to stderr and take the
// default answer, file dialogs cancel, the clipboard is in memory, documents
// open through a child process.
//
// Install services at start-up, before other threads use them: a reference
// returned here stays valid only until that service is replaced.

#include <memory>

namespace vardof::platform {

class IMessages;
class IFileDialogs;
class IClipboard;
class IShell;
class IProcesses;
class ScriptedMessages;
class ScriptedFileDialogs;
class MemoryClipboard;
class ScriptedShell;
class ScriptedProcesses;

IMessages &messages();
IFileDialogs &fileDialogs();
IClipboard &clipboard();
IShell &shell();
IProcesses &processes();

// Each setter returns the service it replaces; nullptr puts back the default.
std::shared_ptr<IMessages> setMessages(std::shared_ptr<IMessages> service);
std::shared_ptr<IFileDialogs> setFileDialogs(std::shared_ptr<IFileDialogs> service);
std::shared_ptr<IClipboard> setClipboard(std::shared_ptr<IClipboard> service);
std::shared_ptr<IShell> setShell(std::shared_ptr<IShell> service);
std::shared_ptr<IProcesses> setProcesses(std::shared_ptr<IProcesses> service);

// For tests: installs fresh scripted doubles for every service and puts the
// previous ones back when it goes out of scope.
class ScopedServices
{
public:
    ScopedServices();
    ~ScopedServices();
    ScopedServices(const ScopedServices &) = delete;
    ScopedServices &operator=(const ScopedServices &) = delete;

    ScriptedMessages &messages() { return *m_messages; }
    ScriptedFileDialogs &fileDialogs() { return *m_fileDialogs; }
    MemoryClipboard &clipboard() { return *m_clipboard; }
    ScriptedShell &shell() { return *m_shell; }
    ScriptedProcesses &processes() { return *m_processes; }

private:
    std::shared_ptr<ScriptedMessages> m_messages;
    std::shared_ptr<ScriptedFileDialogs> m_fileDialogs;
    std::shared_ptr<MemoryClipboard> m_clipboard;
    std::shared_ptr<ScriptedShell> m_shell;
    std::shared_ptr<ScriptedProcesses> m_processes;

    std::shared_ptr<IMessages> m_previousMessages;
    std::shared_ptr<IFileDialogs> m_previousFileDialogs;
    std::shared_ptr<IClipboard> m_previousClipboard;
    std::shared_ptr<IShell> m_previousShell;
    std::shared_ptr<IProcesses> m_previousProcesses;
};

} // namespace vardof::platform

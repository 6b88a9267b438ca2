#include "platform/ScriptedFileDialogs.h"

namespace vardof::platform {

void ScriptedFileDialogs::queueFile(std::optional<QString> path)
{
    std::lock_guard lock(m_mutex);
    m_files.push_back(std::move(path));
}

void ScriptedFileDialogs::queueFiles(std::optional<QStringList> paths)
{
    std::lock_guard lock(m_mutex);
    m_fileLists.push_back(std::move(paths));
}

void ScriptedFileDialogs::queueFont(std::optional<FontChoice> font)
{
    std::lock_guard lock(m_mutex);
    m_fonts.push_back(std::move(font));
}

void ScriptedFileDialogs::queueColor(std::optional<Rgb> color)
{
    std::lock_guard lock(m_mutex);
    m_colors.push_back(color);
}

QList<FileDialogRequest> ScriptedFileDialogs::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

void ScriptedFileDialogs::clear()
{
    std::lock_guard lock(m_mutex);
    m_files.clear();
    m_fileLists.clear();
    m_fonts.clear();
    m_colors.clear();
    m_requests.clear();
}

std::optional<QString> ScriptedFileDialogs::openFile(const QString &caption, const QString &dir,
                                                     const QString &filter)
{
    std::lock_guard lock(m_mutex);
    m_requests.append({FileDialogRequest::OpenFile, caption, dir, filter, {}, {}, 0});
    return take(m_files);
}

std::optional<QStringList> ScriptedFileDialogs::openFiles(const QString &caption,
                                                          const QString &dir,
                                                          const QString &filter)
{
    std::lock_guard lock(m_mutex);
    m_requests.append({FileDialogRequest::OpenFiles, caption, dir, filter, {}, {}, 0});
    return take(m_fileLists);
}

std::optional<QString> ScriptedFileDialogs::saveFile(const QString &caption, const QString &dir,
                                                     const QString &filter,
                                                     const QString &defaultSuffix)
{
    std::lock_guard lock(m_mutex);
    m_requests.append({FileDialogRequest::SaveFile, caption, dir, filter, defaultSuffix, {}, 0});
    return take(m_files);
}

std::optional<QString> ScriptedFileDialogs::chooseDirectory(const QString &caption,
                                                            const QString &dir)
{
    std::lock_guard lock(m_mutex);
    m_requests.append({FileDialogRequest::ChooseDirectory, caption, dir, {}, {}, {}, 0});
    return take(m_files);
}

std::optional<FontChoice> ScriptedFileDialogs::chooseFont(const FontChoice &initial)
{
    std::lock_guard lock(m_mutex);
    FileDialogRequest request;
    request.kind = FileDialogRequest::ChooseFont;
    request.initialFont = initial;
    m_requests.append(request);
    return take(m_fonts);
}

std::optional<Rgb> ScriptedFileDialogs::chooseColor(Rgb initial)
{
    std::lock_guard lock(m_mutex);
    FileDialogRequest request;
    request.kind = FileDialogRequest::ChooseColor;
    request.initialColor = initial;
    m_requests.append(request);
    return take(m_colors);
}

} // namespace vardof::platform

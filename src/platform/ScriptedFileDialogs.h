#pragma once

// IFileDialogs for tests: each kind of dialog returns the next queued choice
// (or cancels when none is queued) and every request is recorded.

#include "platform/FileDialogs.h"

#include <QList>

#include <deque>
#include <mutex>

namespace vardof::platform {

struct FileDialogRequest
{
    enum Kind { OpenFile, OpenFiles, SaveFile, ChooseDirectory, ChooseFont, ChooseColor };
    Kind kind = OpenFile;
    QString caption;
    QString dir;
    QString filter;        // as the caller gave it, '|' form
    QString defaultSuffix;
    FontChoice initialFont; // ChooseFont
    Rgb initialColor = 0;   // ChooseColor

    bool operator==(const FileDialogRequest &) const = default;
};

class ScriptedFileDialogs : public IFileDialogs
{
public:
    // nullopt queues a Cancel.
    void queueFile(std::optional<QString> path);          // openFile, saveFile, chooseDirectory
    void queueFiles(std::optional<QStringList> paths);    // openFiles
    void queueFont(std::optional<FontChoice> font);
    void queueColor(std::optional<Rgb> color);

    QList<FileDialogRequest> requests() const;
    void clear();

    std::optional<QString> openFile(const QString &caption, const QString &dir,
                                    const QString &filter) override;
    std::optional<QStringList> openFiles(const QString &caption, const QString &dir,
                                         const QString &filter) override;
    std::optional<QString> saveFile(const QString &caption, const QString &dir,
                                    const QString &filter,
                                    const QString &defaultSuffix = QString()) override;
    std::optional<QString> chooseDirectory(const QString &caption, const QString &dir) override;
    std::optional<FontChoice> chooseFont(const FontChoice &initial) override;
    std::optional<Rgb> chooseColor(Rgb initial) override;

private:
    template<typename T>
    static std::optional<T> take(std::deque<std::optional<T>> &queue)
    {
        if (queue.empty())
            return std::nullopt;
        if (!queue.front()) {
            queue.pop_front();
            return std::nullopt;
        }
        T value = std::move(*queue.front());
        queue.pop_front();
        return value;
    }

    mutable std::mutex m_mutex;
    std::deque<std::optional<QString>> m_files;
    std::deque<std::optional<QStringList>> m_fileLists;
    std::deque<std::optional<FontChoice>> m_fonts;
    std::deque<std::optional<Rgb>> m_colors;
    QList<FileDialogRequest> m_requests;
};

} // namespace vardof::platform

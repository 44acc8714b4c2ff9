#pragma once
#include <QString>

#include <functional>

class QWidget;

// The file-open dialog behind a seam, so tests can answer it.
namespace vornel::dialogs {

// Returns the chosen file's path, or an empty text when the user cancels.
QString getOpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                        const QString& filter);

using OpenFileResponder = std::function<QString(const QString& caption, const QString& folder,
                                                const QString& filter)>;
void setOpenFileResponder(OpenFileResponder responder);

// Returns the chosen folder, or an empty text when the user cancels.
QString getExistingDirectory(QWidget* parent, const QString& caption, const QString& folder);

using FolderResponder = std::function<QString(const QString& caption, const QString& folder)>;
void setFolderResponder(FolderResponder responder);

} // namespace vornel::dialogs

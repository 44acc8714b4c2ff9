#pragma once
#include <QString>

#include <functional>

class QWidget;

// The file dialogs behind a seam, so tests can answer them.
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

// The file-save dialog: proposes 'proposed' (a full path: folder and name),
// asks before replacing an existing file, and adds 'suffix' to a name typed
// without one. Returns the chosen path, or an empty text when the user cancels.
QString getSaveFileName(QWidget* parent, const QString& caption, const QString& proposed, const QString& filter,
                        const QString& suffix);

using SaveFileResponder = std::function<QString(const QString& caption, const QString& proposed,
                                                const QString& filter)>;
void setSaveFileResponder(SaveFileResponder responder);

} // namespace vornel::dialogs

#include "app/filedialogs.h"

#include <QFileDialog>

namespace vornel::dialogs {

namespace {
OpenFileResponder& responder()
{
    static OpenFileResponder r;
    return r;
}
FolderResponder& folderResponder()
{
    static FolderResponder r;
    return r;
}
SaveFileResponder& saveResponder()
{
    static SaveFileResponder r;
    return r;
}
} // namespace

QString getOpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                        const QString& filter)
{
    if (responder())
        return responder()(caption, folder, filter);
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

void setOpenFileResponder(OpenFileResponder r)
{
    responder() = std::move(r);
}

QString getExistingDirectory(QWidget* parent, const QString& caption, const QString& folder)
{
    if (folderResponder())
        return folderResponder()(caption, folder);
    return QFileDialog::getExistingDirectory(parent, caption, folder);
}

void setFolderResponder(FolderResponder r)
{
    folderResponder() = std::move(r);
}

QString getSaveFileName(QWidget* parent, const QString& caption, const QString& proposed, const QString& filter,
                        const QString& suffix)
{
    if (saveResponder())
        return saveResponder()(caption, proposed, filter);
    QFileDialog dialog(parent, caption, proposed, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

void setSaveFileResponder(SaveFileResponder r)
{
    saveResponder() = std::move(r);
}

} // namespace vornel::dialogs

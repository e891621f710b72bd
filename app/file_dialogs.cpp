#include "app/file_dialogs.h"

#include <QFileDialog>

namespace qw {

namespace {
FileDialogs::Chooser& chooser() {
    static FileDialogs::Chooser instance;
    return instance;
}
} // namespace

void FileDialogs::setTestChooser(Chooser newChooser) {
    chooser() = std::move(newChooser);
}

QStringList FileDialogs::choose(QWidget* parent, const FileRequest& request) {
    if (chooser())
        return chooser()(request);
    QFileDialog dialog(parent, request.title, request.folder, request.filter);
    dialog.setDefaultSuffix(request.defaultSuffix);
    switch (request.kind) {
    case FileRequest::OpenOne:
        dialog.setFileMode(QFileDialog::ExistingFile);
        break;
    case FileRequest::OpenMany:
        dialog.setFileMode(QFileDialog::ExistingFiles);
        break;
    case FileRequest::Save:
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        break;
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

QString FileDialogs::chooseOne(QWidget* parent, const FileRequest& request) {
    const QStringList files = choose(parent, request);
    return files.isEmpty() ? QString() : files.first();
}

} // namespace qw

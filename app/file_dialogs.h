#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace qw {

/// One request for a file dialog: what the author is asked to choose.
struct FileRequest {
    enum Kind { OpenOne, OpenMany, Save };
    Kind kind = OpenOne;
    QString title;
    QString folder;
    QString filter; ///< Qt form: "HTMLHelp Quirewright file (*.qwr)"
    QString defaultSuffix;
};

/// The open and save dialogs of the main program. Tests install a chooser that answers
/// instead of a real dialog; an empty list means the author cancelled.
class FileDialogs {
public:
    using Chooser = std::function<QStringList(const FileRequest&)>;
    static QStringList choose(QWidget* parent, const FileRequest& request);
    static QString chooseOne(QWidget* parent, const FileRequest& request);
    static void setTestChooser(Chooser chooser);
};

} // namespace qw

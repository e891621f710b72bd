// Draws the wizard's five pages, the chapter, topic and related-topics dialogs, the pages
// of both options dialogs, the browser document's options and the window sizer into
// PNG files for the documentation: dialog_shots OUTPUT_DIR (run offscreen). Not a test.
#include "app/auto_sizer.h"
#include "app/grid_icons.h"
#include "app/message_routine.h"
#include "app/move_chapters_dialog.h"
#include "app/new_chapter_dialog.h"
#include "app/options_dialog.h"
#include "app/related_topics_dialog.h"
#include "app/tree_options_dialog.h"
#include "app/wizard.h"
#include "core/progress.h"
#include "core/project_session.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>

using namespace qw;

namespace {

bool save(QWidget& widget, const QString& path) {
    widget.show();
    QApplication::processEvents();
    const bool saved = widget.grab().save(path);
    widget.hide();
    return saved;
}

/// A session without windows: every question is answered OK.
class QuietHost : public SessionHost {
public:
    Answer showMessage(const std::string&, MessageKind, MessageButtons) override {
        return Answer::Ok;
    }
    ProgressReporter& progress() override { return m_progress; }

private:
    RecordingProgress m_progress;
};

/// One picture per page: "options-" + page component name in lower case + ".png".
bool saveOptionsPages(TfrmOptions& dialog, const QDir& out) {
    bool ok = true;
    auto* tabs = dialog.findChild<QTabWidget*>("pgcOptions");
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        const QString name = tabs->widget(i)->objectName().mid(3).toLower();
        ok &= save(dialog, out.filePath("options-" + name + ".png"));
    }
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        qWarning("usage: dialog_shots OUTPUT_DIR");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    MessageRoutine messages;
    bool ok = true;

    TfrmWizard wizard("/home/author", messages);
    wizard.findChild<QLineEdit*>("edtNewFileName")->setText("/home/author/harbour/harbour.qwr");
    wizard.findChild<QLineEdit*>("edtProjectTitle")->setText("Harbour Guide");
    wizard.findChild<QListWidget*>("lstAddedFiles")->addItems({"intro.htm", "moorings.htm"});
    for (int page = 1; page <= 5; ++page) {
        ok &= save(wizard, out.filePath(QString("wizard-page%1.png").arg(page)));
        wizard.nextClick();
    }

    TfrmNewChapter chapter("/home/author/harbour/", messages);
    chapter.findChild<QLineEdit*>("edtNewChapName")->setText("Moorings");
    chapter.findChild<QLineEdit*>("edtNewChapFilename")->setText("moorings.htm");
    chapter.findChild<QLineEdit*>("edtNumOfTopics")->setText("3");
    ok &= save(chapter, out.filePath("new-chapter-dialog.png"));

    TfrmRelatedTopics related(TfrmRelatedTopics::Mode::RelatedTopics, std::string(50, '-'),
                              messages);
    related.setChoices({"int_welcome.htm", "moo_anchoring.htm", "moo_tide_tables.htm"});
    related.load("Welcome;int_welcome.htm, Tide tables;moo_tide_tables.htm");
    related.resize(420, 291);
    ok &= save(related, out.filePath("related-topics-dialog.png"));
    TfrmRelatedTopics keywords(TfrmRelatedTopics::Mode::KeyWords, std::string(50, '-'), messages);
    keywords.load("anchorage, buoy, harbour, mooring, tide");
    ok &= save(keywords, out.filePath("keywords-dialog.png"));

    const QIcon book(GridIcons::drawnIconStrip().copy(16, 0, 16, 16)); // the book icon
    TfrmMoveChapters move(
        {{"Introduction", "intro.htm"}, {"Moorings", "moorings.htm"}, {"Tide tables", "tides.htm"}},
        book);
    move.list()->setCurrentRow(1);
    ok &= save(move, out.filePath("move-chapters-dialog.png"));

    QTemporaryDir dir;
    QuietHost host;
    ProjectSession session(host, dir.filePath("data").toStdString(),
                           dir.filePath("quirew.cfg").toStdString());
    session.newProject(dir.filePath("harbour.qwr").toStdString());
    GridIcons icons;
    TfrmOptions project(OptionsMode::Project, session, messages, &icons);
    project.findChild<QLineEdit*>("edTitleBarText")->setText("Harbour Guide");
    ok &= saveOptionsPages(project, out);
    TfrmOptions environment(OptionsMode::Environment, session, messages, &icons);
    ok &= saveOptionsPages(environment, out);

    TreeOptions tree;
    tree.treeTitle = "Harbour Guide";
    tree.bgColor = "$00E1FFFF";
    TfrmTreeOptions treeOptions(tree, "/home/author/harbour/", QW_DATA_DIR, messages);
    ok &= save(treeOptions, out.filePath("tree-options-dialog.png"));
    tree.format = TreeFormat::Applet;
    TfrmTreeOptions appletOptions(tree, "/home/author/harbour/", QW_DATA_DIR, messages);
    ok &= save(appletOptions, out.filePath("tree-options-applet-dialog.png"));

    SizerValues sizer;
    sizer.width = 800;
    sizer.height = 600;
    sizer.showSearch = true;
    TfrmAutoSizer autoSizer(sizer);
    ok &= save(autoSizer, out.filePath("auto-sizer-dialog.png"));
    return ok ? 0 : 1;
}

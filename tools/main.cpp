// qwrtools [mode [file]]: the companion tools. "SFX" starts the SFX toolbar, "TFL" the
// Topic Filenames List toolbar, anything else the Popup Text Editor.
#include "core/tool_settings.h"
#include "tools/key_typer.h"
#include "tools/popup_text_editor.h"
#include "tools/sfx_toolbar.h"
#include "tools/tfl_toolbar.h"
#include "tools/tool_close_server.h"
#include "tools/tool_environment.h"
#include "tools/tool_messages.h"
#include "tools/toolbar_glyphs.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    const qw::ToolMode mode = qw::toolModeFromArgument(arguments.value(0).toStdString());
    const std::string_view title = qw::toolTitle(mode);
    const QString windowTitle = QString::fromUtf8(title.data(), qsizetype(title.size()));
    QApplication::setApplicationName("qwrtools");
    QApplication::setApplicationDisplayName(windowTitle);

    const qw::ToolEnvironment environment = qw::ToolEnvironment::find();
    qw::BoxMessages messages;
    // The main program asks a running toolbar to close through this socket.
    qw::ToolCloseServer closeServer(windowTitle);

    if (mode == qw::ToolMode::SfxToolbar) {
        QApplication::setWindowIcon(qw::toolbarGlyph("effects", 32));
        qw::X11KeyTyper typer;
        qw::TfrmSfxToolbar toolbar(environment, messages, typer);
        QObject::connect(&closeServer, &qw::ToolCloseServer::closeRequested, &toolbar,
                         &QWidget::close);
        toolbar.startUp();
        return app.exec();
    }
    if (mode == qw::ToolMode::TflToolbar) {
        QApplication::setWindowIcon(qw::toolbarGlyph("separator", 32));
        qw::TfrmTflToolbar toolbar(environment, messages);
        QObject::connect(&closeServer, &qw::ToolCloseServer::closeRequested, &toolbar,
                         &QWidget::close);
        toolbar.startUp(arguments.value(1));
        return app.exec();
    }
    QApplication::setWindowIcon(qw::toolbarGlyph("launcher", 32));
    qw::TfrmPopupTextEd editor(environment, messages);
    QObject::connect(&closeServer, &qw::ToolCloseServer::closeRequested, &editor, &QWidget::close);
    editor.show();
    return app.exec();
}

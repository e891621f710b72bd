// QuireW: the author's program. Arguments: an optional project file to open.
#include "app/main_window.h"
#include "app/message_routine.h"
#include "app/single_instance.h"
#include "core/configuration.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("HTMLHelp Quirewright");
    QApplication::setApplicationVersion(QW_VERSION);
    const QStringList arguments = app.arguments().mid(1);

    qw::SingleInstance instance;
    if (instance.passToRunningInstance(arguments.value(0))) {
        qw::MessageRoutine().showMessage(
            "HTMLHelp Quirewright is already running.\r\nClick the 'Q' icon in the System Tray "
            "to restore it.",
            qw::MessageKind::Information, qw::MessageButtons::Ok);
        return 0;
    }
    instance.listen();

    const auto dataDir = qw::findDataDirectory(QApplication::applicationFilePath().toStdString());
    qw::TfrmVIRedivuv window(dataDir, qw::findConfigurationFile(dataDir));
    QObject::connect(&instance, &qw::SingleInstance::projectHandedOver, &window,
                     &qw::TfrmVIRedivuv::takeHandedOverArgument);
    window.show();
    window.startUp(arguments);
    return app.exec();
}

// A text-edit window for the key sender's X11 test: keysender_target CAPTION OUTFILE.
// Whatever arrives in the editor is written to OUTFILE after every change as the
// document's raw text in UTF-8 (paragraphs separated by U+2029, line breaks U+2028), so
// the test can tell a line break from a new paragraph.
#include <QApplication>
#include <QFile>
#include <QSaveFile>
#include <QTextDocument>
#include <QTextEdit>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const QString outFile = QString::fromLocal8Bit(argv[2]);
    QTextEdit edit;
    edit.setWindowTitle(QString::fromUtf8(argv[1]));
    edit.setAcceptRichText(false);
    edit.setLineWrapMode(QTextEdit::NoWrap);
    edit.resize(900, 400);
    QObject::connect(&edit, &QTextEdit::textChanged, [&] {
        QSaveFile file(outFile);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(edit.document()->toRawText().toUtf8());
            file.commit();
        }
    });
    edit.show();
    edit.setFocus();
    return app.exec();
}

// The window sizer opened from the real Project Options over a copy of the sample
// project: what it takes from the window boxes, its buttons, splitter and tab switches,
// and what OK, the close box and Cancel hand back.
#include "window_fixture.h"

#include "app/auto_sizer.h"
#include "app/options_dialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>

using namespace qw;
using namespace qw::test;

namespace {

/// Runs answer on the first modal dialog of type T as soon as it is open.
template <typename T> void answerModal(std::function<void(T*)> answer) {
    // Gives up after ten seconds, so that a dialog that never came cannot be answered
    // in a later test.
    auto* poll = new QTimer;
    auto ticks = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, answer, ticks] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog && ++*ticks < 500)
            return;
        poll->stop();
        poll->deleteLater();
        if (!dialog)
            return;
        answer(dialog);
        // A check that failed part-way must not leave the dialog waiting for ever.
        if (dialog->isVisible())
            dialog->reject();
    });
    poll->start(20);
}

template <typename T = QAbstractButton> T* child(QWidget* dialog, const char* name) {
    T* found = dialog->findChild<T*>(name);
    if (!found)
        qFatal("no control %s", name);
    return found;
}

QString field(TfrmOptions* options, const char* name) {
    return child<QLineEdit>(options, name)->text();
}

void setField(TfrmOptions* options, const char* name, const QString& text) {
    auto* box = child<QLineEdit>(options, name);
    box->setText(text);
    emit box->textEdited(text);
}

/// Distance from the splitter's handle to the sizer's controls.
int controlsGap(TfrmAutoSizer* sizer) {
    const QWidget* handle = sizer->splitter()->handle(1);
    const int handleRight = handle->mapTo(sizer, QPoint(handle->width(), 0)).x();
    return sizer->controls()->mapTo(sizer, QPoint(0, 0)).x() - handleRight;
}

} // namespace

class AutoSizerTest : public QObject {
    Q_OBJECT

    MessageRecorder messages;

    /// Opens Project Options on the sample, sets the window boxes, runs the sizer with
    /// drive, and returns the boxes as the options dialog shows them afterwards
    /// (height, width, top, left, pane width).
    QStringList runSizer(std::function<void(TfrmAutoSizer*)> drive,
                         std::function<void(TfrmOptions*)> prepare = {}) {
        WindowFixture f;
        f.window->openProjectFile(f.project);
        QStringList after;
        answerModal<TfrmOptions>([&](TfrmOptions* options) {
            setField(options, "edWindowWidth", "800");
            setField(options, "edWindowHeight", "500");
            setField(options, "edWindowLeft", "30");
            setField(options, "edWindowTop", "40");
            setField(options, "edNavPaneWidth", "220");
            if (prepare)
                prepare(options);
            answerModal<TfrmAutoSizer>(drive);
            child(options, "btnAutoSizer")->click();
            for (const char* name : {"edWindowHeight", "edWindowWidth", "edWindowTop",
                                     "edWindowLeft", "edNavPaneWidth"})
                after << field(options, name);
            options->reject();
        });
        f.trigger("mniProjectOptions");
        return after;
    }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        messages.install();
        TfrmAutoSizer::setTestScreenSize(QSize(1024, 768));
    }

    void opensWithTheWindowBoxesAndTheNavigatorLessItsBorder() {
        bool ran = false;
        const QStringList after = runSizer([&ran](TfrmAutoSizer* sizer) {
            ran = true;
            QCOMPARE(sizer->windowTitle(), QString("AutoSizer"));
            QCOMPARE(sizer->size(), QSize(800, 500));
            QCOMPARE(sizer->pos(), QPoint(30, 40));
            QCOMPARE(sizer->panelWidth(), 216);
            QCOMPARE(controlsGap(sizer), 11);
            QTabWidget* tabs = sizer->navigator();
            QCOMPARE(tabs->count(), 4);
            QCOMPARE(tabs->tabText(3), QString("Favor&ites"));
            // The sample shows the index tab but neither search nor favourites.
            QVERIFY(child<QCheckBox>(sizer, "chkShowIndex")->isChecked());
            QVERIFY(tabs->isTabVisible(1));
            QCOMPARE(tabs->isTabVisible(2), child<QCheckBox>(sizer, "chkShowSearch")->isChecked());
            QCOMPARE(tabs->isTabVisible(3),
                     child<QCheckBox>(sizer, "chkShowFavorites")->isChecked());
            child(sizer, "btnCancel")->click();
        });
        QVERIFY(ran);
        // Cancel hands nothing back.
        QCOMPARE(after, (QStringList{"500", "800", "40", "30", "220"}));
        QVERIFY(messages.shown.empty());
    }

    void sizeButtonCentreOnScreenAndOk() {
        const QStringList after = runSizer([](TfrmAutoSizer* sizer) {
            child(sizer, "btn800x600")->click();
            QCOMPARE(sizer->size(), QSize(800, 600));
            child(sizer, "btnCenterOnScreen")->click();
            QCOMPARE(sizer->pos(), QPoint(112, 84));
            child(sizer, "btnOK")->click();
        });
        QCOMPARE(after, (QStringList{"600", "800", "84", "112", "220"}));
    }

    void splitterSetsTheNavigatorWidthAndTheControlsFollowIt() {
        const QStringList after = runSizer([](TfrmAutoSizer* sizer) {
            QSplitter* splitter = sizer->splitter();
            // Dragged by its handle, as the author does.
            QWidget* handle = splitter->handle(1);
            const QPoint grip(handle->width() / 2, handle->height() / 2);
            QTest::mousePress(handle, Qt::LeftButton, {}, grip);
            QMouseEvent move(QEvent::MouseMove, QPointF(grip + QPoint(84, 0)),
                             handle->mapToGlobal(QPointF(grip + QPoint(84, 0))), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(handle, &move);
            QTest::mouseRelease(handle, Qt::LeftButton, {}, grip + QPoint(84, 0));
            QCOMPARE(sizer->panelWidth(), 300);
            QCOMPARE(controlsGap(sizer), 11);
            child(sizer, "btnOK")->click();
        });
        QCOMPARE(after.value(4), QString("304"));
    }

    void closeBoxKeepsTheNewSize() {
        const QStringList after = runSizer([](TfrmAutoSizer* sizer) {
            child(sizer, "btn1024x768")->click();
            sizer->close();
        });
        QCOMPARE(after.mid(0, 2), (QStringList{"768", "1024"}));
    }

    void tabSwitchesShowTheirTabsAndGoBackToTheOptions() {
        WindowFixture f;
        f.window->openProjectFile(f.project);
        const char* const optionBoxes[] = {"chkShowNavIndexTab", "chkShowNavSearchTab",
                                           "chkShowNavFavsTab"};
        const char* const sizerBoxes[] = {"chkShowIndex", "chkShowSearch", "chkShowFavorites"};
        bool before[3] = {}, after[3] = {};
        answerModal<TfrmOptions>([&](TfrmOptions* options) {
            for (int i = 0; i < 3; ++i)
                before[i] = child<QCheckBox>(options, optionBoxes[i])->isChecked();
            answerModal<TfrmAutoSizer>([&](TfrmAutoSizer* sizer) {
                QTabWidget* tabs = sizer->navigator();
                // Each switch turned round shows or hides its tab; Contents comes forward.
                for (int i = 0; i < 3; ++i) {
                    auto* box = child<QCheckBox>(sizer, sizerBoxes[i]);
                    QCOMPARE(box->isChecked(), before[i]);
                    QCOMPARE(tabs->isTabVisible(i + 1), before[i]);
                    tabs->setCurrentIndex(before[i] ? i + 1 : 0);
                    box->click();
                    QCOMPARE(tabs->isTabVisible(i + 1), !before[i]);
                    QCOMPARE(tabs->currentIndex(), 0);
                }
                child(sizer, "btnOK")->click();
            });
            child(options, "btnAutoSizer")->click();
            for (int i = 0; i < 3; ++i)
                after[i] = child<QCheckBox>(options, optionBoxes[i])->isChecked();
            options->reject();
        });
        f.trigger("mniProjectOptions");
        for (int i = 0; i < 3; ++i)
            QCOMPARE(after[i], !before[i]);
    }
};

QTEST_MAIN(AutoSizerTest)
#include "auto_sizer_test.moc"

#include "app/topic_grid.h"

#include "app/grid_context_menu.h"
#include "app/grid_delegate.h"
#include "app/grid_icons.h"
#include "app/icon_chooser.h"
#include "app/topic_table_model.h"
#include "core/ini_file.h"
#include "grid_test_support.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

using namespace qw;

namespace {

/// The grid with its dialogs answered by the test.
class TestGrid : public TopicGrid {
public:
    using TopicGrid::TopicGrid;
    std::optional<QColor> colourAnswer;
    QString imageAnswer;
    QString imageFolderAsked;

protected:
    std::optional<QColor> chooseColour(const QColor&) override { return colourAnswer; }
    QString chooseImage(const QString& folder) override {
        imageFolderAsked = folder;
        return imageAnswer;
    }
};

} // namespace

/// Drives the real grid over a copy of the sample. Rows of the sample: 1 chapter
/// intro.htm, 2 welcome.htm ("dw"), 3 whatsnew.htm ("n"), 4 install.htm, 5 tour.htm,
/// 6 chapter using.htm, 7 notebooks.htm ...
class TopicGridTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init() {
        m_sample = std::make_unique<test::SampleProject>();
        QVERIFY(m_sample->copied);
        QVERIFY(m_sample->session.openProject(m_sample->projectPath()));
        m_grid = std::make_unique<TestGrid>(m_sample->session, m_sample->host);
        m_grid->resize(900, 500);
        m_grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_grid.get()));
        m_grid->activateWindow();
        m_grid->setFocus();
        QCOMPARE(cell(2, ColMarker), std::string("dw"));
    }

    void cleanup() {
        m_grid.reset();
        m_sample.reset();
    }

    void refusedKeysBeepAndChangeNothing() {
        m_grid->selectCell(2, ColKeyWords);
        const std::string keywords = cell(2, ColKeyWords);
        typeText("x");
        QCOMPARE(host().beeps, 1);
        QCOMPARE(cell(2, ColKeyWords), keywords);
        QVERIFY(!session().modified());

        m_grid->selectCell(4, ColFileName);
        typeText("-");
        typeText(" ");
        QCOMPARE(host().beeps, 3);
        QCOMPARE(cell(4, ColFileName), std::string("install.htm"));
        QVERIFY(!session().modified());

        m_grid->selectCell(1, ColFileName);
        typeText("a");
        QCOMPARE(host().beeps, 4);
        QCOMPARE(cell(1, ColFileName), std::string());
    }

    void emptyProjectRefusesEveryKey() {
        session().newProject(m_sample->file("empty.qwr").toStdString());
        QCOMPARE(session().table().rowCount(), size_t(2));
        m_grid->selectCell(1, ColTitle);
        typeText("a");
        QCOMPARE(host().beeps, 1);
        QCOMPARE(cell(1, ColTitle), std::string());
    }

    void webAddressTakesAnyCharacter() {
        session().table().setCell(5, ColFileName, "WEB:");
        m_grid->selectCell(5, ColFileName);
        QTest::keyClick(m_grid.get(), Qt::Key_F2);
        QTest::keyClick(focused(), Qt::Key_End);
        typeText("http://x-y");
        QTest::keyClick(focused(), Qt::Key_Return);
        QCOMPARE(host().beeps, 0);
        QCOMPARE(cell(5, ColFileName), std::string("WEB:http://x-y"));
        QVERIFY(session().modified());
    }

    void titleTypingRecalculatesTheFileName() {
        m_grid->selectCell(4, ColTitle);
        typeText("Getting Started#Tip");
        QCOMPARE(cell(4, ColFileName), std::string("int_getting_started.htm")); // while typing
        QTest::keyClick(focused(), Qt::Key_Return);
        QCOMPARE(cell(4, ColTitle), std::string("Getting Started#Tip"));
        QCOMPARE(cell(4, ColFileName), std::string("int_getting_started.htm"));
        QVERIFY(session().modified());
        QVERIFY(!session().chaptersInSync());
        QVERIFY(host().edits > 0);
    }

    void escapePutsTitleAndFileNameBack() {
        m_grid->selectCell(4, ColTitle);
        typeText("Other");
        QCOMPARE(cell(4, ColFileName), std::string("int_other.htm"));
        QTest::keyClick(focused(), Qt::Key_Escape);
        const auto* editor = m_grid->viewport()->findChild<QLineEdit*>("gridCellEditor");
        QVERIFY(editor == nullptr || !editor->isVisible());
        QCOMPARE(cell(4, ColTitle), std::string("Installing#System requirements and setup"));
        QCOMPARE(cell(4, ColFileName), std::string("install.htm"));
    }

    void specialTopicShowsRoleLetters() {
        QSignalSpy roles(&m_grid->tableModel(), &QAbstractItemModel::dataChanged);
        m_grid->selectCell(4, ColTitle);
        m_grid->fitContextMenu();
        QAction* setDefault = m_grid->contextMenu().findChild<QAction*>("puiSetAsDefaultTopic");
        QVERIFY(setDefault && setDefault->isVisible() && !setDefault->isChecked());
        setDefault->trigger();
        QCOMPARE(cell(4, ColMarker), std::string("d"));
        QCOMPARE(cell(2, ColMarker), std::string("w"));
        QVERIFY(roles.count() > 0);
        QCOMPARE(property("DefaultPage"), std::string("install.htm"));
        QCOMPARE(host().optionRuns, 1);
        m_grid->fitContextMenu();
        QVERIFY(setDefault->isChecked());

        host().textAnswers = {"Tour"};
        m_grid->selectCell(5, ColTitle);
        m_grid->contextMenu().findChild<QAction*>("puiSetAsCustomButtonTopic")->trigger();
        QCOMPARE(host().questions.size(), size_t(1));
        QCOMPARE(host().questions[0],
                 QString("Custom Toolbar Button|Please enter a Caption for the Custom Button:|"));
        QCOMPARE(cell(5, ColMarker), std::string("c"));
        QCOMPARE(property("CustomBtnCaption"), std::string("Tour"));

        m_grid->selectCell(4, ColTitle);
        m_grid->contextMenu().findChild<QAction*>("puiSetAsCustomButtonTopic")->trigger();
        QCOMPARE(cell(5, ColMarker), std::string("c")); // cancelled: unchanged
        QCOMPARE(property("CustomBtnPage"), std::string("tour.htm"));
    }

    void markersAreDrawn() {
        const QImage shot = m_grid->viewport()->grab().toImage();
        if (qEnvironmentVariableIsSet("QW_GRID_SHOT")) // a picture to look at by eye
            m_grid->grab().save(qEnvironmentVariable("QW_GRID_SHOT"));
        const QRect chapter = m_grid->visualRect(m_grid->tableModel().index(0, ColKeyWords));
        QCOMPARE(shot.pixelColor(chapter.center()), GridDelegate::chapterColour());
        const QRect marker = m_grid->visualRect(m_grid->tableModel().index(1, ColMarker));
        QVERIFY(countInk(shot, marker) > 20);
        const QRect plain = m_grid->visualRect(m_grid->tableModel().index(3, ColMarker));
        QCOMPARE(countInk(shot, plain), 0);
        const QRect icon = m_grid->visualRect(m_grid->tableModel().index(3, ColIcon));
        QVERIFY(countInk(shot, icon) > 20);
    }

    void graphicsOffShowsPlainTextWithLines() {
        QVERIFY(!m_grid->showGrid());
        IniFile config(session().configuration().path());
        config.writeBool("ENVIRONMENT_PROPERTIES", "ShowGraphics", false);
        session().loadProjectSettings();
        m_grid->applyEnvironment();
        QVERIFY(m_grid->showGrid());
        const QImage shot = m_grid->viewport()->grab().toImage();
        const QRect chapter = m_grid->visualRect(m_grid->tableModel().index(0, ColKeyWords));
        QVERIFY(shot.pixelColor(chapter.center()) != GridDelegate::chapterColour());
        const QRect marker = m_grid->visualRect(m_grid->tableModel().index(1, ColMarker));
        QVERIFY(countInk(shot, marker) > 0); // the letters "dw" as text
    }

    void drawnStripsHaveEveryIcon() {
        const QImage icons = GridIcons::drawnIconStrip().toImage();
        QCOMPARE(icons.size(), QSize(672, 16));
        for (int i = 0; i < GridIcons::kBuiltInIconCount; ++i)
            QVERIFY2(countOpaque(icons, QRect(i * 16, 0, 16, 16)) > 30,
                     qPrintable(QString::number(i)));
        const QImage markers = GridIcons::drawnMarkerStrip().toImage();
        if (qEnvironmentVariableIsSet("QW_GRID_SHOT")) {
            icons.scaled(icons.size() * 3)
                .save(qEnvironmentVariable("QW_GRID_SHOT") + ".icons.png");
            markers.scaled(markers.size() * 3)
                .save(qEnvironmentVariable("QW_GRID_SHOT") + ".markers.png");
        }
        QCOMPARE(markers.width(), 15 * 16);
        for (int i = 0; i < GridIcons::kMarkerCount; ++i)
            QVERIFY2(countOpaque(markers, QRect(i * 16, 0, 16, 16)) > 5,
                     qPrintable(QString::number(i)));
        QCOMPARE(GridIcons::markerIndex(""), -1);
        QCOMPARE(GridIcons::markerIndex(" >"), 2);
        QCOMPARE(GridIcons::markerIndex("dw"), 7);
        QCOMPARE(GridIcons::markerIndex("dwhc"), 13);
        QCOMPARE(GridIcons::markerIndex("wn"), 14);
        GridIcons missing;
        missing.loadIconStrip({m_sample->file("no-such.bmp")});
        QCOMPARE(missing.iconCount(), 42);
    }

    void dragTopicIntoAnotherChapterAndSave() {
        QVERIFY(m_sample->read("intro.htm").contains("whatsnew.htm"));
        QVERIFY(!m_sample->read("using.htm").contains("whatsnew.htm"));
        const std::string title = cell(3, ColTitle);
        dragWithMouse(3, 8);
        QCOMPARE(host().beeps, 0);
        QCOMPARE(cell(8, ColTitle), title);
        QCOMPARE(m_grid->currentRow(), 8);
        QVERIFY(session().modified());
        session().saveProject(false);
        QVERIFY(!m_sample->read("intro.htm").contains("whatsnew.htm"));
        QVERIFY(m_sample->read("using.htm").contains("whatsnew.htm"));
        QVERIFY(m_sample->read("intro.htm").contains("install.htm"));
        QCOMPARE(cell(8, ColMainFileName), cell(5, ColMainFileName));
    }

    void refusedDragsGoBack() {
        QSignalSpy moveChapters(m_grid.get(), &TopicGrid::moveChaptersRequested);
        const std::string chapter = cell(6, ColTitle);
        dragWithMouse(6, 3);
        QCOMPARE(host().beeps, 1);
        QCOMPARE(cell(6, ColTitle), chapter);
        QCOMPARE(moveChapters.count(), 1);
        m_grid->dragRowTo(4, 1);
        QCOMPARE(host().beeps, 2);
        QCOMPARE(cell(4, ColFileName), std::string("install.htm"));
        QVERIFY(!session().modified());
    }

    void dropOnEndOfListIsRefusedWithABeep() {
        const int end = int(session().table().endRow());
        const std::string last = cell(end - 1, ColTitle);
        dragWithMouse(4, end);
        QCOMPARE(host().beeps, 1);
        QCOMPARE(cell(4, ColFileName), std::string("install.htm"));
        QCOMPARE(cell(end - 1, ColTitle), last);
        QVERIFY(!session().modified());
    }

    void copyAndPasteAColumn() {
        session().table().setCell(3, ColKeyWords, "tides, charts");
        m_grid->selectCell(3, ColKeyWords);
        QTest::keyClick(m_grid.get(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(m_grid->copiedColumn(), int(ColKeyWords));
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("tides, charts"));
        m_grid->selectCell(5, ColKeyWords);
        QTest::keyClick(m_grid.get(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(cell(5, ColKeyWords), std::string("tides, charts"));
        QVERIFY(session().modified());

        m_grid->selectCell(5, ColRelated);
        const std::string related = cell(5, ColRelated);
        m_grid->fitContextMenu();
        QVERIFY(!m_grid->contextMenu().paste->isEnabled());
        QTest::keyClick(m_grid.get(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(cell(5, ColRelated), related);

        m_grid->applicationActivated();
        QCOMPARE(m_grid->copiedColumn(), -1);
    }

    void setAllIconsSkipsChapterRows() {
        session().table().setCell(4, ColIcon, "3");
        m_grid->selectCell(4, ColIcon);
        m_grid->fitContextMenu();
        QCOMPARE(m_grid->contextMenu().setAll->text(), QString("Set ALL Icons As"));
        m_grid->contextMenu().setAll->trigger();
        for (size_t r = 1; r < session().table().endRow(); ++r)
            QCOMPARE(cell(r, ColIcon), std::string(session().table().isChapterRow(r) ? "" : "3"));
        QVERIFY(session().modified());
    }

    void iconChooserFollowsTheIconCell() {
        m_grid->selectCell(4, ColIcon);
        IconChooser& chooser = m_grid->iconChooser();
        QVERIFY(chooser.isVisible());
        QCOMPARE(chooser.currentIndex(), std::stoi(cell(4, ColIcon)));
        QCOMPARE(chooser.width(), m_grid->columnWidth(ColIcon) + 5);
        chooser.setCurrentIndex(7);
        emit chooser.activated(7);
        QCOMPARE(cell(4, ColIcon), std::string("7"));
        QVERIFY(session().modified());
        m_grid->selectCell(4, ColTitle);
        QVERIFY(!chooser.isVisible());
    }

    void doubleClickEditors() {
        m_grid->colourAnswer = QColor(255, 0, 0);
        doubleClick(4, ColBgColour);
        QCOMPARE(cell(4, ColBgColour), std::string("clRed"));
        QVERIFY(session().modified());

        m_grid->imageAnswer = "/elsewhere/bg.gif";
        doubleClick(4, ColBgImage);
        QCOMPARE(m_grid->imageFolderAsked.toStdString(), session().projectDir());
        QCOMPARE(host().messages.size(), size_t(1));
        QCOMPARE(host().messages[0].text,
                 std::string("Please select an Image in the same directory,\r\nor a "
                             "sub-directory of the Project. (i.e. in a Relative Path)."));
        QCOMPARE(host().messages[0].kind, MessageKind::Warning);
        m_grid->imageAnswer = m_sample->file("images/bg.gif");
        doubleClick(4, ColBgImage);
        QCOMPARE(cell(4, ColBgImage), std::string("images/bg.gif"));

        QSignalSpy keywords(m_grid.get(), &TopicGrid::keywordsEditorRequested);
        doubleClick(4, ColKeyWords);
        QCOMPARE(keywords.count(), 1);
        QCOMPARE(keywords.at(0).at(0).toInt(), 4);
    }

    void statusTextNamesTheCell() {
        QSignalSpy status(m_grid.get(), &TopicGrid::statusTextChanged);
        m_grid->selectCell(6, ColTitle);
        QCOMPARE(status.last().at(0).toString(),
                 QString("Press F2 To Edit. Chapter Filename: using.htm"));
        m_grid->selectCell(7, ColBgImage);
        QCOMPARE(status.last().at(0).toString(),
                 QString("Double Click To Set/Change The Background Image"));
    }

private:
    test::RecordingHost& host() { return m_sample->host; }
    ProjectSession& session() { return m_sample->session; }
    std::string cell(size_t row, int column) { return session().table().cell(row, column); }
    std::string property(const char* key) {
        return IniFile(session().projectPath()).readString(kPropertiesSection, key, "<none>");
    }
    QWidget* focused() {
        QWidget* w = QApplication::focusWidget();
        return w ? w : m_grid.get();
    }
    void typeText(const QString& text) {
        for (const QChar c : text)
            QTest::keyClick(focused(), c.toLatin1());
    }
    QPoint cellCentre(int row, int column) {
        return m_grid
            ->visualRect(m_grid->tableModel().index(TopicTableModel::modelRow(size_t(row)), column))
            .center();
    }
    void dragWithMouse(int from, int to) {
        QWidget* port = m_grid->viewport();
        QTest::mousePress(port, Qt::LeftButton, {}, cellCentre(from, ColMarker));
        QTest::mouseMove(port, cellCentre(from, ColMarker) + QPoint(0, 6));
        QTest::mouseMove(port, cellCentre(to, ColMarker));
        QTest::mouseRelease(port, Qt::LeftButton, {}, cellCentre(to, ColMarker));
    }
    void doubleClick(int row, int column) {
        m_grid->selectCell(row, column);
        QTest::mouseDClick(m_grid->viewport(), Qt::LeftButton, {}, cellCentre(row, column));
    }
    static int countOpaque(const QImage& image, const QRect& r) {
        int count = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (image.pixelColor(x, y).alpha() > 128)
                    ++count;
        return count;
    }
    static int countInk(const QImage& image, const QRect& r) {
        int ink = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (image.pixelColor(x, y).lightness() < 200)
                    ++ink;
        return ink;
    }

    std::unique_ptr<test::SampleProject> m_sample;
    std::unique_ptr<TestGrid> m_grid;
};

QTEST_MAIN(TopicGridTest)
#include "topic_grid_test.moc"

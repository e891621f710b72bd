#include "tools/tfl_toolbar.h"

#include "core/file_io.h"
#include "tools/tests/tool_test_support.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QMenu>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace qw;

class TflToolbarTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::string m_config;
    QString m_list;

    ToolEnvironment environment() const { return {m_dir.path().toStdString(), m_config}; }
    static QStringList lines(const TfrmTflToolbar& toolbar) {
        QStringList texts;
        for (int i = 0; i < toolbar.list()->count(); ++i)
            texts << toolbar.list()->itemText(i);
        return texts;
    }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        m_config = (m_dir.path() + "/quirew.cfg").toStdString();
        m_list = m_dir.path() + "/TopicLst.tfl";
        writeFileBytes(m_list.toStdString(), "-Intro\r\na.htm\r\nb.htm\r\n-More\r\nc.htm\r\n");
    }
    void init() { writeFileBytes(m_config, ""); }

    void listGivenOnTheCommandLineIsShownAndCopied() {
        test::RecordingMessages messages;
        TfrmTflToolbar toolbar(environment(), messages);
        QCOMPARE(lines(toolbar), QStringList{"No File List Open"});
        QVERIFY(!toolbar.hideAction()->isEnabled());
        toolbar.startUp(m_list);
        QCOMPARE(toolbar.windowTitle(), QString("TFL Toolbar"));
        QVERIFY(toolbar.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(toolbar.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(lines(toolbar), (QStringList{"Select Filename to Copy", "-Intro", "a.htm", "b.htm",
                                              "-More", "c.htm"}));
        QCOMPARE(toolbar.list()->currentIndex(), 0);
        QCOMPARE(toolbar.list()->itemData(0, Qt::ForegroundRole).value<QBrush>().color(),
                 QColor(Qt::red));
        QVERIFY(toolbar.list()->itemData(0, Qt::FontRole).value<QFont>().bold());
        QCOMPARE(toolbar.list()->itemData(1, Qt::ForegroundRole).value<QBrush>().color(),
                 QColor(Qt::blue));
        QVERIFY(toolbar.list()->itemData(1, Qt::FontRole).value<QFont>().underline());
        QVERIFY(!toolbar.list()->itemData(2, Qt::FontRole).value<QFont>().underline());

        QApplication::clipboard()->setText("before");
        toolbar.chooseLine(3);
        QCOMPARE(QApplication::clipboard()->text(), QString("b.htm"));
        toolbar.list()->setCurrentIndex(4);
        toolbar.chooseLine(4);
        QCOMPARE(QApplication::clipboard()->text(), QString("b.htm"));
        QCOMPARE(messages.texts, QStringList{"Please Select A Topic Filename From \r\nThe List "
                                             "To Be Copied To The Clipboard."});
        QCOMPARE(toolbar.list()->currentIndex(), 0);
        // The prompt line is not a file name.
        toolbar.chooseLine(0);
        QCOMPARE(QApplication::clipboard()->text(), QString("b.htm"));
    }

    void hideAndShowChapterTitles() {
        test::RecordingMessages messages;
        TfrmTflToolbar toolbar(environment(), messages);
        toolbar.startUp(m_list);
        QVERIFY(toolbar.hideAction()->isEnabled());
        toolbar.hideAction()->trigger();
        QCOMPARE(lines(toolbar),
                 (QStringList{"Select Filename to Copy", "a.htm", "b.htm", "c.htm"}));
        QCOMPARE(toolbar.hideAction()->text(), QString("&Show Chapter Titles"));
        toolbar.chooseLine(3);
        QCOMPARE(QApplication::clipboard()->text(), QString("c.htm"));
        toolbar.hideAction()->trigger();
        QCOMPARE(lines(toolbar).size(), 6);
        QCOMPARE(toolbar.hideAction()->text(), QString("&Hide Chapter Titles"));
    }

    void openingAskesForAListAndRefusesOtherFiles() {
        test::RecordingMessages messages;
        TfrmTflToolbar toolbar(environment(), messages);
        QString answer = m_dir.path() + "/notes.txt";
        int asked = 0;
        toolbar.setOpenDialog([&] {
            ++asked;
            return answer;
        });
        toolbar.startUp(m_dir.path() + "/quirew.cfg"); // not a list: ignored
        QCOMPARE(lines(toolbar), QStringList{"No File List Open"});
        QTest::mouseClick(toolbar.list(), Qt::LeftButton);
        QCOMPARE(asked, 1);
        QCOMPARE(messages.texts, QStringList{"File Opened must be a valid Topic Filename List."});
        answer = m_dir.path() + "/gone.TFL";
        toolbar.chooseLine(0);
        QCOMPARE(asked, 2);
        QCOMPARE(messages.texts.last(), QString("Error: File Does Not Exist Or Has Been "
                                                "Moved.\r\nPlease Recreate Filename List From "
                                                "HTMLHelp Quirewright."));
        QCOMPARE(lines(toolbar), QStringList{"No File List Open"});
        answer = m_list;
        QTest::mouseClick(toolbar.list(), Qt::LeftButton);
        QCOMPARE(lines(toolbar).size(), 6);
    }

    void recentListsFollowTheRecentProjects() {
        writeFileBytes(m_config,
                       ("[MRUFiles]\r\nMRU0=" + m_dir.path() + "/manual.qwr\r\n").toStdString());
        test::RecordingMessages messages;
        TfrmTflToolbar toolbar(environment(), messages);
        toolbar.startUp(QString());
        emit toolbar.recentMenu()->aboutToShow();
        QStringList visible;
        for (QAction* action : toolbar.recentMenu()->actions())
            if (action->isVisible())
                visible << (action->isSeparator() ? "-" : action->text());
        QCOMPARE(visible, (QStringList{"&Open Topic Filename List", "-", m_list}));
        toolbar.recentMenu()->actions().at(2)->trigger();
        QCOMPARE(lines(toolbar).size(), 6);
    }

    void listSizeAndPlaceAreKept() {
        test::RecordingMessages messages;
        TfrmTflToolbar toolbar(environment(), messages);
        QCOMPARE(toolbar.list()->maxVisibleItems(), 34);
        toolbar.setSizeDialog(
            [](int current) -> std::optional<QString> { return QString::number(current - 22); });
        toolbar.mniSetListSizeClick();
        QCOMPARE(toolbar.list()->maxVisibleItems(), 12);
        toolbar.setSizeDialog([](int) -> std::optional<QString> { return QString("many"); });
        toolbar.mniSetListSizeClick();
        QCOMPARE(toolbar.list()->maxVisibleItems(), 12);
        toolbar.startUp(QString());
        const int screenWidth = QApplication::primaryScreen()->geometry().width();
        QCOMPARE(toolbar.geometry(), QRect(screenWidth - 400, 0, 200, 29));
        QCOMPARE(toolbar.list()->width(), 188);
        toolbar.menu()->actions().last()->trigger(); // E&xit
        QVERIFY(!toolbar.isVisible());
        QCOMPARE(QString::fromStdString(readFileBytes(m_config)),
                 QString("[Topic_File_List_TB]\r\nTFL_Width=200\r\nTFL_Top=0\r\nTFL_Left=%1\r\n"
                         "TFL_ListSize=12\r\n")
                     .arg(screenWidth - 400));
    }
};

QTEST_MAIN(TflToolbarTest)
#include "tfl_toolbar_test.moc"

#include "app/topic_table_model.h"

#include "core/row_move.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

using namespace qw;

namespace {

Row chapterRow(const std::string& path) {
    Row r;
    r[ColMarker] = " >";
    r[ColTitle] = "chapter";
    r[ColMainFileName] = path;
    return r;
}

Row topicRow(const std::string& title, const std::string& path) {
    Row r;
    r[ColTitle] = title;
    r[ColFileName] = "x.htm";
    r[ColIcon] = "10";
    r[ColMainFileName] = path;
    return r;
}

} // namespace

class TopicTableModelTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void followsEveryTableChange() {
        TopicTable table;
        table.setProjectDir("/p/");
        TopicTableModel model(table);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.columnCount(), 11);
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString("Title (#Hint)"));

        table.appendChapterRows(
            {chapterRow("/p/a.htm"), topicRow("A1", "/p/a.htm"), topicRow("A2", "/p/a.htm")});
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.index(3, ColTitle).data().toString(), QString("// End Of List //"));
        table.appendChapterRows({chapterRow("/p/b.htm"), topicRow("B1", "/p/b.htm")});
        QCOMPARE(model.rowCount(), 6);

        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        table.setCell(2, ColKeyWords, "k");
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toModelIndex(), model.index(1, ColKeyWords));
        table.setCell(2, ColIcon, "3");
        QCOMPARE(changed.at(1).at(0).toModelIndex().column(), 0); // "icon change redraws the row"

        QVERIFY(dragRow(table, 2, 5).moved);
        QCOMPARE(model.index(4, ColTitle).data().toString(), QString("A1"));
        QVERIFY(dragRow(table, 5, 2).moved);
        QCOMPARE(model.index(1, ColTitle).data().toString(), QString("A1"));

        table.insertRows(4, {topicRow("new", "/p/a.htm")});
        QCOMPARE(model.index(3, ColTitle).data().toString(), QString("new"));
        table.removeRows(4, 1);
        QCOMPARE(model.rowCount(), 6);

        table.beginReset();
        table.clear();
        table.appendChapterRows({chapterRow("/p/c.htm"), topicRow("C1", "/p/c.htm")});
        table.endReset();
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.index(1, ColTitle).data().toString(), QString("C1"));
    }

    void editableCellsFollowTheRowKind() {
        TopicTable table;
        table.appendChapterRows({chapterRow("/p/a.htm"), topicRow("A1", "/p/a.htm")});
        TopicTableModel model(table);
        const auto editable = [&](int row, int column) {
            return bool(model.flags(model.index(row, column)) & Qt::ItemIsEditable);
        };
        QVERIFY(editable(0, ColTitle));
        QVERIFY(!editable(0, ColFileName));
        QVERIFY(editable(1, ColTitle));
        QVERIFY(editable(1, ColFileName));
        QVERIFY(editable(1, ColBgImage));
        QVERIFY(!editable(1, ColKeyWords));
        QVERIFY(!editable(1, ColMarker));
        QVERIFY(!editable(2, ColTitle)); // "end-of-list row"
    }

    void keepsTheCellsEncoding() {
        TopicTable table;
        table.appendChapterRows({chapterRow("/p/a.htm"), topicRow("Caf\xE9", "/p/a.htm")});
        TopicTableModel model(table);
        const QModelIndex title = model.index(1, ColTitle);
        QCOMPARE(title.data().toString(), QString::fromUtf8("Caf\xC3\xA9"));
        QVERIFY(model.setData(title, QString::fromUtf8("Caf\xC3\xA9s")));
        QCOMPARE(table.cell(2, ColTitle), std::string("Caf\xE9s")); // "Windows-1252 stays"
        QVERIFY(model.setData(title, QString::fromUtf8("\xE2\x98\x83")));
        QCOMPARE(table.cell(2, ColTitle), std::string("\xE2\x98\x83")); // "no 1252 form: UTF-8"
        table.setCell(2, ColKeyWords, "\xC3\xBC");
        QVERIFY(model.setData(model.index(1, ColKeyWords), QString::fromUtf8("\xC3\xBC\xC3\xBC")));
        QCOMPARE(table.cell(2, ColKeyWords), std::string("\xC3\xBC\xC3\xBC"));
    }

    void stopsObservingWhenDestroyed() {
        TopicTable table;
        { TopicTableModel model(table); }
        table.appendChapterRows({chapterRow("/p/a.htm"), topicRow("A1", "/p/a.htm")});
        QCOMPARE(table.rowCount(), size_t(4));
    }
};

QTEST_MAIN(TopicTableModelTest)
#include "topic_table_model_test.moc"

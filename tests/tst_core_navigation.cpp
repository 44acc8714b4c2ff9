#include "app/core/navigation.h"

#include <QTest>

using namespace vornel::nav;

Q_DECLARE_METATYPE(vornel::nav::Button)

class TestNavigation : public QObject {
    Q_OBJECT
private slots:
    void steps_data()
    {
        QTest::addColumn<Button>("button");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<int>("kind");
        QTest::addColumn<qint64>("position");
        QTest::addColumn<bool>("clears");
        const int none = Step::Nothing, empty = Step::EmptyArchive, load = Step::Load;
        QTest::newRow("first, empty archive") << Button::First << "" << qint64(0) << empty << qint64(0) << false;
        QTest::newRow("first") << Button::First << "7" << qint64(9) << load << qint64(1) << false;
        QTest::newRow("last") << Button::Last << "" << qint64(9) << load << qint64(9) << false;
        QTest::newRow("last, empty archive") << Button::Last << "3" << qint64(0) << empty << qint64(0) << false;
        QTest::newRow("next from blank card") << Button::Next << "" << qint64(5) << load << qint64(1) << false;
        QTest::newRow("next") << Button::Next << "3" << qint64(5) << load << qint64(4) << false;
        QTest::newRow("next on the last") << Button::Next << "5" << qint64(5) << none << qint64(0) << false;
        QTest::newRow("next past the end") << Button::Next << "8" << qint64(5) << none << qint64(0) << false;
        QTest::newRow("next, empty archive") << Button::Next << "2" << qint64(0) << empty << qint64(0) << true;
        QTest::newRow("previous on record 1") << Button::Previous << " 1 " << qint64(5) << none << qint64(0) << false;
        QTest::newRow("previous on 1, empty archive") << Button::Previous << "1" << qint64(0) << none << qint64(0) << false;
        QTest::newRow("previous from blank card") << Button::Previous << "" << qint64(5) << load << qint64(1) << false;
        QTest::newRow("previous from 2") << Button::Previous << "2" << qint64(5) << load << qint64(1) << false;
        QTest::newRow("previous") << Button::Previous << "4" << qint64(5) << load << qint64(3) << false;
        QTest::newRow("previous, empty archive") << Button::Previous << "4" << qint64(0) << empty << qint64(0) << false;
    }
    void steps()
    {
        QFETCH(Button, button);
        QFETCH(QString, shown);
        QFETCH(qint64, count);
        QFETCH(int, kind);
        QFETCH(qint64, position);
        QFETCH(bool, clears);
        const Step s = step(button, shown, count);
        QCOMPARE(int(s.kind), kind);
        QCOMPARE(s.position, position);
        QCOMPARE(s.clearPosition, clears);
    }
};

QTEST_GUILESS_MAIN(TestNavigation)
#include "tst_core_navigation.moc"

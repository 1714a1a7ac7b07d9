// How a box's state becomes its option flag, without any widget.
#include <QTest>

#include "app/window/check_state.h"

using vorskal::applyCheckState;
using vorskal::Count;

class CheckStateTest : public QObject {
    Q_OBJECT

  private slots:
    void statesMapByName_data();
    void statesMapByName();
};

void CheckStateTest::statesMapByName_data() {
    QTest::addColumn<int>("flagBefore");
    QTest::addColumn<Qt::CheckState>("state");
    QTest::addColumn<int>("flagAfter");

    QTest::newRow("checked turns an off flag on") << 0 << Qt::Checked << 1;
    QTest::newRow("checked keeps an on flag on") << 1 << Qt::Checked << 1;
    QTest::newRow("unchecked turns an on flag off") << 1 << Qt::Unchecked << 0;
    QTest::newRow("unchecked keeps an off flag off") << 0 << Qt::Unchecked << 0;
    QTest::newRow("grayed keeps an on flag") << 1 << Qt::PartiallyChecked << 1;
    QTest::newRow("grayed keeps an off flag") << 0 << Qt::PartiallyChecked << 0;
}

void CheckStateTest::statesMapByName() {
    QFETCH(int, flagBefore);
    QFETCH(Qt::CheckState, state);
    QFETCH(int, flagAfter);

    Count flag = flagBefore;
    applyCheckState(state, flag);
    QCOMPARE(flag, flagAfter);
}

QTEST_APPLESS_MAIN(CheckStateTest)
#include "check_state_test.moc"

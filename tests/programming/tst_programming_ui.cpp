#include <QTest>
class TestProgrammingUi : public QObject { Q_OBJECT };
QTEST_MAIN(TestProgrammingUi)
#include "tst_programming_ui.moc"

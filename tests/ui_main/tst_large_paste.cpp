#include "ProgramHarness.h"
#include "QtPlatform.h"

#include <QApplication>
#include <QClipboard>

using namespace varneth;

constexpr qsizetype kMebi = qsizetype(1) << 20;

class TestLargePaste : public QObject
{
    Q_OBJECT

private slots:
    void pastedMebibyteIsKeptWholeAndValued_data()
    {
        QTest::addColumn<QString>("pasted");
        QTest::newRow("zeros after the number") << "2.5" + QString(kMebi - 3, u'0');
        QTest::newRow("zeros before the number") << QString(kMebi - 3, u'0') + "2.5";
        QTest::newRow("blanks before the number") << QString(kMebi - 3, u' ') + "2.5";
        QTest::newRow("letters after the number") << "2.5" + QString(kMebi - 3, u'x');
        QTest::newRow("digits after the point")
            << "2.5" + QString(kMebi - 3, u'0').replace(kMebi - 4, 1, u'1');
    }

    void pastedMebibyteIsKeptWholeAndValued()
    {
        QFETCH(QString, pasted);
        QCOMPARE(pasted.size(), kMebi);

        ProgramHarness<QtPlatform> program;
        QVERIFY(QTest::qWaitForWindowActive(program.showWindow()));
        MainWindow& window = program.window;
        window.field(ValuationField::CurrentDollarValuation)->setText("4");
        window.field(ValuationField::ExchangeRate)->setText("0.5");

        QApplication::clipboard()->setText(pasted);
        QLineEdit* amount = window.field(ValuationField::AmountInWallet);
        amount->setFocus();
        amount->selectAll();
        QTest::keyClick(amount, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(amount->text().size(), kMebi);
        QVERIFY(amount->text() == pasted); // not QCOMPARE: its message would be 1 MiB long

        // The results follow on the next tick, and again on the one after. How fast a
        // megabyte is valued is measured by bench_valuation, not here.
        for (int tick = 0; tick < 2; ++tick) {
            program.controller.recalculate();
            QCOMPARE(window.field(ValuationField::TotalUsdValuation)->text(), QString("10"));
            QCOMPARE(window.field(ValuationField::ConvertedValuation)->text(), QString("2"));
            QCOMPARE(window.field(ValuationField::TotalValuation)->text(), QString("5"));
        }

        // The window still paints and takes input with the long text in it.
        window.repaint();
        QTest::keyClick(amount, Qt::Key_End);
        QTest::keyClick(amount, Qt::Key_Backspace);
        QCoreApplication::processEvents();
        QCOMPARE(amount->text().size(), kMebi - 1);
        QVERIFY(amount->text() == pasted.left(kMebi - 1));
    }
};

QTEST_MAIN(TestLargePaste)
#include "tst_large_paste.moc"

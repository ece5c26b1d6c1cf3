#include "ProgramHarness.h"
#include "QtPlatform.h"

#include <QCoreApplication>
#include <QFile>
#include <cstddef>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
// From <sanitizer/allocator_interface.h>, which GCC's packages do not always install.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

using namespace varneth;

namespace {

// What the process holds now. Under AddressSanitizer the resident size grows by design,
// since freed blocks wait in its quarantine (256 MB by default), so there the live heap
// is what is compared; the sanitizer's leak check at exit covers what was lost.
qint64 heldBytes()
{
#if defined(__SANITIZE_ADDRESS__)
    return static_cast<qint64>(__sanitizer_get_current_allocated_bytes());
#else
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QList<QByteArray> pages = statm.readAll().split(' ');
    return pages.size() > 1 ? pages.at(1).toLongLong() * ::sysconf(_SC_PAGESIZE) : -1;
#endif
}

} // namespace

class TestRecalculationMemory : public QObject
{
    Q_OBJECT

private slots:
    void hundredThousandRecalculationsKeepMemoryFlat()
    {
        ProgramHarness<QtPlatform> program;
        QVERIFY(QTest::qWaitForWindowExposed(program.showWindow()));
        MainWindow& window = program.window;
        QLineEdit* amount = window.field(ValuationField::AmountInWallet);
        window.field(ValuationField::CurrentDollarValuation)->setText("30000.5");
        window.field(ValuationField::ExchangeRate)->setText("0.92");

        // Each round changes the amount, so every result is a new text, and lets the
        // window paint now and then as it would between ticks.
        auto run = [&](int rounds) {
            for (int i = 0; i < rounds; ++i) {
                amount->setText(QString::number(i % 1000) + ".25");
                program.controller.recalculate();
                if (i % 1000 == 999) {
                    QCoreApplication::processEvents();
                }
            }
        };

        run(10'000); // caches, fonts and the allocator's pools settle
        const qint64 before = heldBytes();
        QVERIFY(before > 0);
        run(100'000);
        const qint64 after = heldBytes();

        // The last round valued 999.25 units at 30000.5 and 0.92.
        QCOMPARE(window.field(ValuationField::TotalUsdValuation)->text(), QString("29977999.625"));
        QCOMPARE(window.field(ValuationField::ConvertedValuation)->text(), QString("27600.46"));
        QCOMPARE(window.field(ValuationField::TotalValuation)->text(), QString("27579759.655"));

        // Even 20 bytes lost per round would be 2 MB here.
        const qint64 grown = after - before;
        qInfo("held %lld bytes before, %lld after: %+lld", before, after, grown);
        QVERIFY2(grown < 1024 * 1024, qPrintable(QString("grew by %1 bytes").arg(grown)));
    }
};

QTEST_MAIN(TestRecalculationMemory)
#include "tst_recalculation_memory.moc"

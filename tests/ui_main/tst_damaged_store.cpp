#include "IntervalTimer.h"
#include "ProgramHarness.h"
#include "QtPlatform.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSignalSpy>
#include <algorithm>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace varneth;

namespace {

// How the user's store is damaged before the program starts.
enum class Damage
{
    RandomBytes,    // the file holds garbage
    FileIsFolder,   // a folder stands where the file should be
    FolderIsFile,   // a regular file stands where the folder should be
    FileUnreadable, // mode 0000 (root reads it anyway)
    FolderReadOnly, // mode 0500 (root writes it anyway)
    DiskFull,       // a tmpfs with no block left
    ReadOnlyMount,  // a tmpfs mounted read-only
};

// The file systems of the last two are mounted over the config folder, which takes the
// right to mount (root, as on the test machines); elsewhere those rows are skipped.
bool mountTmpfs(const QString& config, Damage how)
{
    if (how != Damage::DiskFull && how != Damage::ReadOnlyMount) {
        return true;
    }
    return ::mount("tmpfs", QFile::encodeName(config).constData(), "tmpfs",
                   how == Damage::ReadOnlyMount ? MS_RDONLY : 0, "size=64k,mode=0700") == 0;
}

// A new file holding the bytes, in a folder made for it if need be.
void writeFile(const QString& path, const QByteArray& bytes)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    QCOMPARE(out.write(bytes), bytes.size());
}

void damage(const QString& config, Damage how)
{
    const QString folder = config + "/VARNETH";
    const QString file = folder + "/VARNETH.conf";
    switch (how) {
    case Damage::RandomBytes: {
        QByteArray bytes(64 * 1024, Qt::Uninitialized);
        QRandomGenerator generator(20261207); // the same garbage every run
        std::generate(bytes.begin(), bytes.end(), [&] { return char(generator.bounded(256)); });
        writeFile(file, bytes);
        break;
    }
    case Damage::FileIsFolder:
        QVERIFY(QDir().mkpath(file));
        break;
    case Damage::FolderIsFile:
        writeFile(folder, "not a folder\n");
        break;
    case Damage::FileUnreadable:
    case Damage::FolderReadOnly: {
        const bool unreadable = how == Damage::FileUnreadable;
        writeFile(file, unreadable ? "[Settings]\nAMOUNT_IN_WALLET_1=5\n" : "[Settings]\n");
        QVERIFY(::chmod(QFile::encodeName(file).constData(), unreadable ? 0 : 0400) == 0);
        if (!unreadable) {
            QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0500) == 0);
        }
        break;
    }
    case Damage::DiskFull: {
        QFile filler(config + "/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
        break;
    }
    case Damage::ReadOnlyMount:
        break;
    }
}

} // namespace

class TestDamagedStore : public QObject
{
    Q_OBJECT

private slots:
    void startsOnDefaultsAndReportsAtClose_data()
    {
        QTest::addColumn<Damage>("how");
        QTest::addColumn<bool>("needsNonRoot");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QString>("reason");
        QTest::newRow("random bytes") << Damage::RandomBytes << false << true << QString();
        QTest::newRow("folder where the file should be")
            << Damage::FileIsFolder << false << false << "Is a directory";
        QTest::newRow("file where the folder should be")
            << Damage::FolderIsFile << false << false << "Not a directory";
        QTest::newRow("file mode 0000")
            << Damage::FileUnreadable << true << false << "no permission";
        QTest::newRow("folder mode 0500")
            << Damage::FolderReadOnly << true << false << "no permission";
        QTest::newRow("disk full") << Damage::DiskFull << false << false << "the disk is full";
        QTest::newRow("read-only file system")
            << Damage::ReadOnlyMount << false << false << "read-only file system";
    }

    void startsOnDefaultsAndReportsAtClose()
    {
        QFETCH(Damage, how);
        QFETCH(bool, needsNonRoot);
        QFETCH(bool, writable);
        QFETCH(QString, reason);
        if (needsNonRoot && ::geteuid() == 0) {
            QSKIP("root reads and writes whatever the mode says");
        }
        // A fresh folder for every row: each damages its own store.
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString config = dir.path();
        // QTemporaryDir cannot remove what it may not write into, nor what is mounted on it.
        const auto repair = qScopeGuard([&] {
            ::chmod(QFile::encodeName(config + "/VARNETH").constData(), 0700);
            ::chmod(QFile::encodeName(config + "/VARNETH/VARNETH.conf").constData(), 0600);
            ::umount2(QFile::encodeName(config).constData(), MNT_DETACH);
        });
        if (!mountTmpfs(config, how)) {
            QSKIP("no right to mount a file system here");
        }
        damage(config, how);
        if (QTest::currentTestFailed()) {
            return;
        }

        ProgramHarness<QtPlatform> program({}, config + "/VARNETH/VARNETH.conf");
        QVERIFY(QTest::qWaitForWindowExposed(program.showWindow()));

        // Every input, timer and tick box as on a first run.
        MainWindow& window = program.window;
        QCOMPARE(window.field(ValuationField::ExchangeRate)->text(), QString("Exchange Rate"));
        QCOMPARE(window.field(ValuationField::AmountInWallet)->text(), QString("0"));
        QCOMPARE(window.field(ValuationField::CurrentDollarValuation)->text(), QString("0"));
        QCOMPARE(window.pos(), QPoint(67, 67));
        QVERIFY(window.recalculateTimer()->isRunning());
        QVERIFY(!window.autosaveTimer()->isRunning());
        QVERIFY(!window.alwaysOnTopTimer()->isRunning());
        const SettingsWindow* settings = program.prepareSettings();
        QVERIFY(!settings->alwaysOnTopBox()->isChecked());
        QVERIFY(!settings->autosaveBox()->isChecked());

        // The program works as usual on its defaults.
        window.field(ValuationField::AmountInWallet)->setText("2");
        window.field(ValuationField::CurrentDollarValuation)->setText("3");
        window.field(ValuationField::ExchangeRate)->setText("0.5");
        program.controller.recalculate();
        QCOMPARE(window.field(ValuationField::TotalValuation)->text(), QString("3"));
        QVERIFY(program.shown.isEmpty()); // nothing is written before the close

        QSignalSpy closed(&program.controller, &MainWindowController::closed);
        QVERIFY(window.close());
        QCOMPARE(closed.count(), 1);

        if (writable) {
            // The damaged file was replaced by a good one holding this run's inputs.
            QVERIFY(program.shown.isEmpty());
            QCOMPARE(program.store.read(u"Settings", u"AMOUNT_IN_WALLET_1", "?"), QString("2"));
            return;
        }
        // One message for the whole close, naming the file and why it failed.
        QCOMPARE(program.shown.size(), 1);
        const QString message = program.shown.first();
        for (const QString& part : {QDir::toNativeSeparators(program.store.filePath()), reason}) {
            QVERIFY2(message.contains(part), qPrintable(message));
        }
    }
};

QTEST_MAIN(TestDamagedStore)
#include "tst_damaged_store.moc"

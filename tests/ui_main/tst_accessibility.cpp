#include "ProgramHarness.h"
#include "QtPlatform.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>

using namespace varneth;

namespace {

// The role an assistive tool should announce for each kind of control.
QAccessible::Role expectedRole(const QWidget* widget)
{
    const std::pair<const QMetaObject&, QAccessible::Role> kinds[] = {
        {QLineEdit::staticMetaObject, QAccessible::EditableText},
        {QLabel::staticMetaObject, QAccessible::StaticText},
        {QPushButton::staticMetaObject, QAccessible::PushButton},
        {QCheckBox::staticMetaObject, QAccessible::CheckBox},
        {QStatusBar::staticMetaObject, QAccessible::StatusBar}};
    for (const auto& [kind, role] : kinds) {
        if (kind.cast(widget)) {
            return role;
        }
    }
    return QAccessible::NoRole;
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void everyControlHasNameAndRole_data()
    {
        QTest::addColumn<bool>("settings");
        QTest::addColumn<QAccessible::Role>("windowRole");
        QTest::addColumn<QString>("windowName");
        QTest::addColumn<int>("controls"); // labels, fields, buttons, tick boxes, status bar
        // 7 captions, 3 status panels, 6 fields, 2 buttons, the status bar.
        QTest::newRow("main window") << false << QAccessible::Window << "HOLBRECK - VARNETH" << 19;
        // 4 display labels, 3 tick boxes, 2 buttons.
        QTest::newRow("settings window") << true << QAccessible::Dialog << "VARNETH settings" << 9;
    }

    void everyControlHasNameAndRole()
    {
        QFETCH(bool, settings);
        QFETCH(QAccessible::Role, windowRole);
        QFETCH(QString, windowName);
        QFETCH(int, controls);

        ProgramHarness<QtPlatform> program;
        QWidget* window = program.showWindow(settings);
        QVERIFY(QTest::qWaitForWindowExposed(window));

        QAccessibleInterface* self = QAccessible::queryAccessibleInterface(window);
        QVERIFY(self);
        // A plain top-level widget would be a Client, which readers do not take for a window.
        QCOMPARE(self->role(), windowRole);
        QCOMPARE(self->text(QAccessible::Name), windowName);
        QCOMPARE(window->windowTitle(), QString("HOLBRECK - VARNETH"));

        int seen = 0;
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            const QAccessible::Role role = expectedRole(widget);
            if (widget->window() != window || role == QAccessible::NoRole) {
                continue;
            }
            ++seen;
            QAccessibleInterface* control = QAccessible::queryAccessibleInterface(widget);
            QVERIFY2(control, qPrintable(widget->objectName()));
            QVERIFY2(control->role() == role, qPrintable(QString("%1 has role 0x%2, expected 0x%3")
                                                             .arg(widget->objectName())
                                                             .arg(control->role(), 0, 16)
                                                             .arg(role, 0, 16)));
            QVERIFY2(!control->text(QAccessible::Name).trimmed().isEmpty(),
                     qPrintable(widget->objectName() + " has no accessible name"));
        }
        QCOMPARE(seen, controls);
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"

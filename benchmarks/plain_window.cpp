// The yardstick for VARNETH's start-up and memory: a plain Qt 6 window with about the
// same controls as VARNETH's main window (six line edits, seven labels, two buttons and
// a status bar with three panels), built the plainest way Qt offers, with no settings,
// timers or platform work of its own.
#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);

    QWidget window;
    window.setWindowTitle(QStringLiteral("PLAIN QT WINDOW"));
    window.setFixedSize(688, 178);

    const char* captions[] = {"HOLBRECK",          "VARNETH",         "Amount",
                              "Current USD Value", "Total USD Value", "CONVERTED Value",
                              "TOTAL Value"};
    for (int i = 0; i < 7; ++i) {
        auto* label = new QLabel(QString::fromLatin1(captions[i]), &window);
        label->setGeometry(i < 2 ? 8 + i * 160 : 8 + (i - 2) * 136, i < 2 ? 8 : 40, 129, 17);
    }
    auto* settings = new QPushButton(QStringLiteral("SETTINGS"), &window);
    settings->setGeometry(344, 8, 81, 25);
    auto* calc = new QPushButton(QStringLiteral("CALC"), &window);
    calc->setGeometry(432, 8, 57, 25);
    auto* rate = new QLineEdit(QStringLiteral("Exchange Rate"), &window);
    rate->setGeometry(496, 8, 185, 23);
    for (int i = 0; i < 5; ++i) {
        auto* edit = new QLineEdit(QStringLiteral("00000000.00000000"), &window);
        edit->setGeometry(8 + i * 136, 64, 129, 21);
    }

    auto* status = new QStatusBar(&window);
    status->setGeometry(0, 160, 688, 18);
    status->addWidget(new QLabel(QStringLiteral("Status")), 1);
    const QDateTime now = QDateTime::currentDateTime();
    status->addPermanentWidget(new QLabel(now.date().toString()));
    status->addPermanentWidget(new QLabel(now.time().toString()));

    window.show();
    return QApplication::exec();
}

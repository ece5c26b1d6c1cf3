#include "CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <initializer_list>
#include <vector>

namespace varneth {

namespace {

// The options Qt's application objects and its X11 platform take out of the command line
// themselves. They are known here only so that they are not refused; --help-all lists them.
struct QtOption
{
    const char* name;
    const char* value; // nullptr for a switch
    const char* description;
};

constexpr std::initializer_list<QtOption> kQtOptions = {
    {"platform", "name", "The Qt platform plugin: xcb, wayland, offscreen, ..."},
    {"platformpluginpath", "path", "Where to look for platform plugins."},
    {"platformtheme", "name", "The Qt platform theme plugin."},
    {"plugin", "name", "An input plugin to load."},
    {"qwindowgeometry", "geometry", "The first window's geometry."},
    {"qwindowicon", "file", "The windows' icon."},
    {"qwindowtitle", "title", "The first window's title."},
    {"reverse", nullptr, "Right-to-left layout."},
    {"session", "id", "The session to restore (given by the session manager)."},
    {"display", "display", "The X display to use."},
    {"geometry", "geometry", "The main window's geometry (X11)."},
    {"name", "name", "The application name in WM_CLASS (X11)."},
    {"title", "title", "The application title (X11)."},
    {"visual", "id", "The X visual to use."},
    {"sync", nullptr, "Synchronous X11 requests, for debugging."},
    {"nograb", nullptr, "Never grab the pointer or keyboard (X11)."},
    {"dograb", nullptr, "Grab as usual, even under a debugger (X11)."},
    {"style", "style", "The widget style: Fusion, ..."},
    {"stylesheet", "file", "A style sheet to apply."},
    {"widgetcount", nullptr, "Print the number of widgets left at exit."},
};

const QString kVersionText = QStringLiteral("VARNETH " VARNETH_VERSION "\n");

// The Qt option with a value that an argument names, with one or two dashes, or none.
const QtOption* qtOptionWithValue(QStringView name)
{
    for (const QtOption& qt : kQtOptions) {
        if (qt.value && name == QLatin1StringView(qt.name)) {
            return &qt;
        }
    }
    return nullptr;
}

} // namespace

std::optional<CommandLine::Answer> CommandLine::answer(const QStringList& arguments)
{
    QCommandLineParser parser;
    // Qt's own options are single words after one dash (-platform, -style).
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Values a crypto-currency holding in US dollars and a second currency.\n"
                       "Started again in the same session, it brings the window it already "
                       "shows to the front.\nQt's own options, such as -platform, -style and "
                       "-display, apply (--help-all lists them)."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const bool all = arguments.contains(QLatin1String("--help-all"));
    for (const QtOption& qt : kQtOptions) {
        QCommandLineOption option(QString::fromLatin1(qt.name), QString::fromLatin1(qt.description),
                                  QString::fromLatin1(qt.value));
        if (!all) {
            option.setFlags(QCommandLineOption::HiddenFromHelp);
        }
        parser.addOption(option);
    }

    const bool parsed = parser.parse(arguments);
    if (parser.isSet(help) || all) {
        // Qt's usage line names the program by the path it was started with; a menu entry
        // or a script may use any, and the user types "varneth".
        QString text = parser.helpText();
        text.replace(0, text.indexOf(u'\n'), QStringLiteral("Usage: varneth [options]"));
        return Answer{0, text, {}};
    }
    if (parser.isSet(version)) {
        return Answer{0, kVersionText, {}};
    }
    if (!parsed || !parser.positionalArguments().isEmpty()) {
        const QString reason = parsed ? QStringLiteral("Unexpected argument '%1'.")
                                            .arg(parser.positionalArguments().constFirst())
                                      : parser.errorText();
        return Answer{2,
                      {},
                      QStringLiteral("varneth: %1\nTry 'varneth --help' for more information.\n")
                          .arg(reason)};
    }
    return std::nullopt;
}

QStringList CommandLine::qtArguments(const QStringList& arguments)
{
    QStringList result;
    for (const QString& argument : arguments) {
        QStringView option(argument);
        const qsizetype dashes = option.startsWith(u"--") ? 2 : option.startsWith(u'-') ? 1 : 0;
        const qsizetype equals = option.indexOf(u'=');
        const QStringView name = option.mid(dashes, equals < 0 ? -1 : equals - dashes);
        if (dashes == 0 || equals < 0 || !qtOptionWithValue(name)) {
            result.append(argument);
            continue;
        }
        result.append(QLatin1Char('-') + name.toString());
        result.append(option.mid(equals + 1).toString());
    }
    return result;
}

std::optional<int> CommandLine::handle(int& argc, char**& argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    if (!answer(arguments)) {
        const QStringList forQt = qtArguments(arguments);
        if (forQt != arguments) {
            // The application object keeps argc and argv for as long as it lives.
            static std::vector<QByteArray> texts;
            static std::vector<char*> pointers;
            for (const QString& argument : forQt) {
                texts.push_back(argument.toLocal8Bit());
            }
            for (QByteArray& text : texts) {
                pointers.push_back(text.data());
            }
            pointers.push_back(nullptr);
            argc = static_cast<int>(texts.size());
            argv = pointers.data();
        }
        return std::nullopt;
    }
    // The help text is made with an application object at hand; a core one needs no display.
    QCoreApplication application(argc, argv);
    const Answer told = *answer(arguments);
    std::fputs(told.output.toLocal8Bit().constData(), stdout);
    std::fputs(told.error.toLocal8Bit().constData(), stderr);
    return told.status;
}

} // namespace varneth

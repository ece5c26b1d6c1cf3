#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace varneth {

// The program's command line: --help and --version, which answer without a display, and
// the options of Qt itself (-platform, -style, -display and the rest), which Qt takes
// when the application starts. Anything else is refused before any window or display.
class CommandLine
{
public:
    // What a command line that the program does not run for prints, and its exit status.
    struct Answer
    {
        int status = 0;
        QString output; // standard output
        QString error;  // standard error
    };

    // Empty when the program is to run. The first argument is the program's name.
    static std::optional<Answer> answer(const QStringList& arguments);

    // The arguments of a command line the program runs for, as Qt's application object is
    // to read them. Qt reads the value of most of its options only as the next argument,
    // so -platform=NAME (and --platform=NAME, which the parser here takes alike) would be
    // accepted and then silently not applied: each such option becomes -NAME VALUE.
    static QStringList qtArguments(const QStringList& arguments);

    // For main(), before the application object: prints the answer, if there is one, and
    // returns its exit status. Otherwise argc and argv become qtArguments(), for the
    // application object; they stay valid until the process ends.
    static std::optional<int> handle(int& argc, char**& argv);
};

} // namespace varneth

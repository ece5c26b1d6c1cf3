// Writes whole values to a store in a loop, for the crash and concurrency tests:
//   settings_writer <file> <id> <rounds, -1 for ever> <letters> <key>...
// Round r writes every key as 1024 times letters[r % letters.size()], prints "ready"
// after the first round, and after the last round writes done_<id> = "yes".

#include "SettingsStore.h"

#include <QString>
#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

int main(int argc, char** argv)
{
    if (argc < 6) {
        std::fprintf(stderr, "usage: settings_writer file id rounds letters key...\n");
        return 2;
    }
    varneth::SettingsStore store(QString::fromLocal8Bit(argv[1]));
    const QString id = QString::fromLocal8Bit(argv[2]);
    const long rounds = std::strtol(argv[3], nullptr, 10);
    const QString letters = QString::fromLocal8Bit(argv[4]);

    const auto write = [&](const QString& key, const QString& value) {
        if (const auto result = store.write(u"Settings", key, value); !result) {
            std::fprintf(stderr, "%s\n", qPrintable(result.error));
            std::exit(1);
        }
    };

    for (long round = 0; rounds < 0 || round < rounds; ++round) {
        const QString value(1024, letters.at(round % letters.size()));
        for (int i = 5; i < argc; ++i)
            write(QString::fromLocal8Bit(argv[i]), value);
        if (round == 0) {
            std::printf("ready\n");
            std::fflush(stdout);
        }
    }
    write(u"done_"_s + id, u"yes"_s);
    return 0;
}

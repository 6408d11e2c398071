// SPDX-License-Identifier: GPL-3.0-or-later
// writefreq-cli: the radio programming of writefreq from scripts and terminals, with complete
// radio images, snapshots before every write and a verify after it.
#include "tools/cli/clicommon.h"
#include "tools/cli/commands.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <array>
#include <cstdio>
#include <memory>

using namespace wf::cli;

namespace {

struct Command
{
    const char *name;
    const char *synopsis;
    int (*run)(const QStringList &);
};

constexpr std::array<Command, 9> kCommands = {{
    {"ports", "ports                                   serial ports, and why one cannot be opened",
     runPorts},
    {"read", "read --port P [--out F.wh] [--image F]  read the radio into a data file or image",
     runRead},
    {"write", "write --port P F.wh                     snapshot, write and verify a data file",
     runWrite},
    {"restore", "restore --port P IMAGE                  write a complete image back, verified",
     runRestore},
    {"diff", "diff A B [--format F]                   what differs, field by field", runDiff},
    {"show", "show FILE [--table T] [--format F]      the channel table and settings, or any table",
     runShow},
    {"import",
     "import PLAN.csv --out F.wh              a spreadsheet's channel plan as a data file",
     runImport},
    {"export", "export FILE --format csv|pdf [--out F]  the plan as CSV, or a PDF of everything",
     runExport},
    {"fleet", "fleet --port P [--port P...] F.wh       radio after radio, on every cable at once",
     runFleet},
}};

void printUsage(std::FILE *out)
{
    std::fprintf(out, "Usage: writefreq-cli COMMAND [options]\n\n"
                      "Programs the 16-channel radio over a serial cable, without windows.\n\n"
                      "Commands:\n");
    for (const Command &command : kCommands)
        std::fprintf(out, "  %s\n", command.synopsis);
    std::fprintf(out,
                 "\n'writefreq-cli COMMAND --help' describes a command's options.\n\n"
                 "Exit codes: 0 success; 1 diff found differences; 2 usage error; 3 port error;\n"
                 "4 no answer from the radio; 5 verify mismatch; 6 bad file; 130 interrupted.\n");
}

} // namespace

int main(int argc, char *argv[])
{
    // A document is painted with fonts, which only a GUI application has. The tool never shows
    // a window, so the offscreen platform serves everywhere, a machine without display too.
    std::unique_ptr<QCoreApplication> app;
    if (argc > 1 && qstrcmp(argv[1], "export") == 0) {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("writefreq"));
    QCoreApplication::setApplicationVersion(QStringLiteral(WRITEFREQ_VERSION));

    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.isEmpty()) {
        printUsage(stderr);
        return kUsageError;
    }
    const QString name = arguments.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") ||
        name == QLatin1String("help")) {
        printUsage(stdout);
        return kSuccess;
    }
    if (name == QLatin1String("--version")) {
        std::printf("writefreq-cli %s\n", WRITEFREQ_VERSION);
        return kSuccess;
    }
    for (const Command &command : kCommands) {
        if (name == QLatin1String(command.name))
            return command.run(arguments);
    }
    complain(QStringLiteral("unknown command '%1' (see writefreq-cli --help)").arg(name));
    return kUsageError;
}

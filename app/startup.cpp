// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup.h"

#include "app/serialports.h"

#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>

using namespace Qt::StringLiterals;

void initialiseApplication()
{
    // No display name: Qt would append it to the title of every window on the desktop. The
    // application's title, which messages are titled with, is wf::applicationTitle().
    QApplication::setApplicationName(QStringLiteral("writefreq"));
    QApplication::setApplicationVersion(QStringLiteral(WRITEFREQ_VERSION));
    // The desktop matches the windows to the launcher, and so to its icon, by the launcher's
    // name (packaging/).
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.writefreq.writefreq"));
}

namespace wf {

ParsedArguments parseArguments(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Reads, edits and writes the channels, settings and signalling tables of a 16-channel "
        u"handheld radio over a serial cable."_s);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption port(
        u"port"_s,
        u"Choose the serial port NAME (a device path such as /dev/ttyUSB0) in the port list."_s,
        u"NAME"_s);
    parser.addOption(port);
    parser.addPositionalArgument(u"file"_s, u"A data file (.wh) to open."_s, u"[FILE]"_s);

    ParsedArguments parsed;
    const auto fail = [&parsed](const QString &message) {
        parsed.exit = true;
        parsed.exitCode = 2;
        parsed.output = u"%1: %2\n"_s.arg(QCoreApplication::applicationName(), message);
        return parsed;
    };
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (parser.isSet(help)) {
        parsed.exit = true;
        parsed.output = parser.helpText();
        return parsed;
    }
    if (parser.isSet(version)) {
        parsed.exit = true;
        parsed.output = u"%1 %2\n"_s.arg(QCoreApplication::applicationName(),
                                         QCoreApplication::applicationVersion());
        return parsed;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        return fail(u"one data file at a time"_s);
    if (parser.isSet(port) && parser.value(port).isEmpty())
        return fail(u"--port wants the name of a serial port"_s);
    parsed.options.port = parser.value(port);
    parsed.options.dataFile = files.value(0);
    return parsed;
}

void selectPort(QComboBox *ports, const QString &port)
{
    if (port.isEmpty())
        return;
    int index = ports->findText(port, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        QStringList items;
        for (int i = 0; i < ports->count(); ++i)
            items << ports->itemText(i);
        // The list is in the order the window sorts ports in; the new one takes its place there.
        index = int(sortedPortList(items << port, {}, u':').indexOf(port));
        ports->insertItem(index, port);
    }
    ports->setCurrentIndex(index);
}

} // namespace wf

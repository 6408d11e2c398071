// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/cli/sheettext.h"

#include "channels/sheetimage.h"
#include "compare/radiodiff.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace wf::cli {

const std::array<QStringView, column::kCount> &fieldNames()
{
    static const std::array<QStringView, column::kCount> names = {
        u"channel",     u"receive frequency", u"transmit frequency",
        u"decode tone", u"encode tone",       u"power",
        u"bandwidth",   u"scan add",          u"step",
        u"DTMF key 1",  u"DTMF key 2",        u"PTT ID",
        u"scrambler",   u"signalling",        u"signalling info",
        u"compander",
    };
    return names;
}

const std::array<QStringView, setting::kCount> &settingNames()
{
    static const std::array<QStringView, setting::kCount> names = {
        u"VOX level", u"VOX delay", u"squelch", u"time-out timer", u"voice prompt",
        u"PF1 key",   u"PF2 key",   u"scan",    u"battery save",   u"beep",
    };
    return names;
}

namespace {

using compare::csvField;

// A channel's cell as the radio will have it: the channel is the row the write puts it in,
// whatever number the file's first column holds.
QString shownCell(const ChannelSheet &sheet, int row, int c)
{
    return c == column::Number ? QString::number(row)
                               : sheet.rows[std::size_t(row)][std::size_t(c)].trimmed();
}

// Lines of cells, each column as wide as its widest cell, two blanks between.
QString alignedLines(const QList<QStringList> &lines)
{
    QList<int> widths;
    for (const QStringList &line : lines) {
        for (qsizetype c = 0; c < line.size(); ++c) {
            if (c >= widths.size())
                widths << 0;
            widths[c] = std::max(widths[c], int(line[c].size()));
        }
    }
    QString text;
    for (const QStringList &line : lines) {
        QStringList cells;
        for (qsizetype c = 0; c < line.size(); ++c)
            cells << line[c].leftJustified(widths[c]);
        text += cells.join(QStringLiteral("  ")).trimmed() + QLatin1Char('\n');
    }
    return text;
}

QString csvLines(const QList<QStringList> &lines)
{
    QString text;
    for (const QStringList &line : lines) {
        QStringList cells;
        for (const QString &cell : line)
            cells << csvField(cell);
        text += cells.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    return text;
}

QList<QStringList> channelLines(const ChannelSheet &sheet)
{
    QList<QStringList> lines;
    QStringList header;
    for (QStringView name : fieldNames())
        header << name.toString();
    lines << header;
    for (int row = 1; row <= kChannelCount; ++row) {
        QStringList cells;
        for (int c = 0; c < column::kCount; ++c)
            cells << shownCell(sheet, row, c);
        lines << cells;
    }
    return lines;
}

QList<QStringList> settingLines(const ChannelSheet &sheet)
{
    QList<QStringList> lines;
    for (int i = 0; i < setting::kCount; ++i)
        lines << QStringList{settingNames()[std::size_t(i)].toString(),
                             sheet.settings[std::size_t(i)]};
    return lines;
}

QJsonArray channelsJson(const ChannelSheet &sheet)
{
    QJsonArray channels;
    for (int row = 1; row <= kChannelCount; ++row) {
        QJsonObject channel;
        channel.insert(QStringLiteral("channel"), row);
        for (int c = 1; c < column::kCount; ++c) {
            channel.insert(fieldNames()[std::size_t(c)].toString(),
                           sheet.rows[std::size_t(row)][std::size_t(c)].trimmed());
        }
        channels.append(channel);
    }
    return channels;
}

QJsonObject settingsJson(const ChannelSheet &sheet)
{
    QJsonObject settings;
    for (int i = 0; i < setting::kCount; ++i)
        settings.insert(settingNames()[std::size_t(i)].toString(), sheet.settings[std::size_t(i)]);
    return settings;
}

// A signalling window as a script reads it: its controls as caption and value, then each grid
// as a header of captions over its rows, the first column naming the row.
struct WindowTable
{
    QList<QStringList> controls;
    struct Grid
    {
        QString rowWord;
        QList<QStringList> lines; ///< the header first
    };
    QList<Grid> grids;
};

WindowTable windowTable(compare::Window window, const RadioImage &image)
{
    constexpr Language language = Language::English;
    WindowTable table;
    QStringView grid;
    int row = 0;
    for (const compare::ShownField &field : compare::shownFields(window, image, language)) {
        if (!field.isCell()) {
            table.controls << QStringList{compare::captionOf(field, language), field.text};
            continue;
        }
        if (field.control != grid) {
            grid = field.control;
            row = 0;
            table.grids.append({compare::rowWordOf(window, grid).in(language).toString(),
                                {{compare::rowWordOf(window, grid).in(language).toString()}}});
        }
        WindowTable::Grid &current = table.grids.last();
        if (field.row != row) {
            row = field.row;
            // A row is named as the window's messages name it, less the window's name.
            const QString place = compare::placeOf(field, language);
            current.lines << QStringList{place.mid(place.lastIndexOf(QLatin1Char(' ')) + 1)};
        }
        if (row == 1)
            current.lines.first() << compare::captionOf(field, language);
        current.lines.last() << field.text;
    }
    return table;
}

QString windowText(compare::Window window, const RadioImage &image, SheetFormat format)
{
    const WindowTable table = windowTable(window, image);
    const QString title = compare::nameOf(window).english.toString() + QLatin1Char('\n');
    QString text = title + (format == SheetFormat::Csv ? csvLines(table.controls)
                                                       : alignedLines(table.controls));
    for (const WindowTable::Grid &grid : table.grids)
        text += QLatin1Char('\n') +
                (format == SheetFormat::Csv ? csvLines(grid.lines) : alignedLines(grid.lines));
    return text;
}

QJsonObject windowJson(compare::Window window, const RadioImage &image)
{
    const WindowTable table = windowTable(window, image);
    QJsonObject object;
    for (const QStringList &control : table.controls)
        object.insert(control[0], control[1]);
    for (const WindowTable::Grid &grid : table.grids) {
        QJsonArray rows;
        const QStringList &header = grid.lines.first();
        for (qsizetype r = 1; r < grid.lines.size(); ++r) {
            const QStringList &line = grid.lines[r];
            QJsonObject row;
            bool number = false;
            const int n = line[0].toInt(&number);
            row.insert(header[0], number ? QJsonValue(n) : QJsonValue(line[0]));
            for (qsizetype c = 1; c < line.size(); ++c)
                row.insert(header[c], line[c]);
            rows.append(row);
        }
        object.insert(grid.rowWord, rows);
    }
    return object;
}

} // namespace

QString formatSheet(const ChannelSheet &sheet, SheetFormat format)
{
    Source source;
    source.sheet = sheet;
    return formatTables(source, {compare::Window::Channels, compare::Window::Settings}, format);
}

QString formatTables(const Source &source, const QList<compare::Window> &windows,
                     SheetFormat format)
{
    if (format == SheetFormat::Json) {
        QJsonObject root;
        for (compare::Window window : windows) {
            const QString key = compare::keyOf(window).toString();
            if (window == compare::Window::Channels)
                root.insert(key, channelsJson(source.sheet));
            else if (window == compare::Window::Settings)
                root.insert(key, settingsJson(source.sheet));
            else if (source.image)
                root.insert(key, windowJson(window, *source.image));
        }
        return QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented));
    }
    // One block a table, a blank line between; the settings follow the channels as name,value
    // pairs, so a spreadsheet shows both.
    QStringList blocks;
    for (compare::Window window : windows) {
        const auto lines = [format](const QList<QStringList> &cells) {
            return format == SheetFormat::Csv ? csvLines(cells) : alignedLines(cells);
        };
        if (window == compare::Window::Channels)
            blocks << lines(channelLines(source.sheet));
        else if (window == compare::Window::Settings)
            blocks << lines(settingLines(source.sheet));
        else if (source.image)
            blocks << windowText(window, *source.image, format);
    }
    return blocks.join(QLatin1Char('\n'));
}

} // namespace wf::cli

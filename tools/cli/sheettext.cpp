// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/cli/sheettext.h"

#include "channels/sheetimage.h"

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

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

namespace {

// A channel's cell as the radio will have it: the channel is the row the write puts it in,
// whatever number the file's first column holds.
QString shownCell(const ChannelSheet &sheet, int row, int c)
{
    return c == column::Number ? QString::number(row)
                               : sheet.rows[std::size_t(row)][std::size_t(c)].trimmed();
}

} // namespace

QString formatText(const ChannelSheet &sheet)
{
    std::array<int, column::kCount> widths{};
    for (int c = 0; c < column::kCount; ++c) {
        widths[std::size_t(c)] = int(fieldNames()[std::size_t(c)].size());
        for (int row = 1; row <= kChannelCount; ++row) {
            widths[std::size_t(c)] =
                std::max(widths[std::size_t(c)], int(shownCell(sheet, row, c).size()));
        }
    }
    QString text;
    const auto line = [&](const auto &cellAt) {
        QStringList cells;
        for (int c = 0; c < column::kCount; ++c)
            cells << cellAt(c).leftJustified(widths[std::size_t(c)]);
        text += cells.join(QStringLiteral("  ")).trimmed() + QLatin1Char('\n');
    };
    line([](int c) { return fieldNames()[std::size_t(c)].toString(); });
    for (int row = 1; row <= kChannelCount; ++row)
        line([&](int c) { return shownCell(sheet, row, c); });
    text += QLatin1Char('\n');
    int nameWidth = 0;
    for (QStringView name : settingNames())
        nameWidth = std::max(nameWidth, int(name.size()));
    for (int i = 0; i < setting::kCount; ++i) {
        text += QStringLiteral("%1  %2\n")
                    .arg(settingNames()[std::size_t(i)].toString().leftJustified(nameWidth),
                         sheet.settings[std::size_t(i)]);
    }
    return text;
}

QString formatCsv(const ChannelSheet &sheet)
{
    QString text;
    QStringList header;
    for (QStringView name : fieldNames())
        header << csvField(name.toString());
    text += header.join(QLatin1Char(',')) + QLatin1Char('\n');
    for (int row = 1; row <= kChannelCount; ++row) {
        QStringList cells;
        for (int c = 0; c < column::kCount; ++c)
            cells << csvField(shownCell(sheet, row, c));
        text += cells.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    // The settings follow as name,value pairs after a blank line, so a spreadsheet shows both.
    text += QLatin1Char('\n');
    for (int i = 0; i < setting::kCount; ++i) {
        text += csvField(settingNames()[std::size_t(i)].toString()) + QLatin1Char(',') +
                csvField(sheet.settings[std::size_t(i)]) + QLatin1Char('\n');
    }
    return text;
}

QString formatJson(const ChannelSheet &sheet)
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
    QJsonObject settings;
    for (int i = 0; i < setting::kCount; ++i)
        settings.insert(settingNames()[std::size_t(i)].toString(), sheet.settings[std::size_t(i)]);
    QJsonObject root;
    root.insert(QStringLiteral("channels"), channels);
    root.insert(QStringLiteral("settings"), settings);
    return QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented));
}

QString hexByte(quint8 value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0'));
}

QString blockName(const BlockAddress &address)
{
    if (address.bank == Bank::Channels)
        return QStringLiteral("channel %1 block").arg(address.block);
    if (address.bank == Bank::Settings)
        return QStringLiteral("settings block");
    return QStringLiteral("%1 block %2").arg(bankName(address.bank)).arg(address.block);
}

} // namespace

QString formatSheet(const ChannelSheet &sheet, SheetFormat format)
{
    switch (format) {
    case SheetFormat::Text:
        return formatText(sheet);
    case SheetFormat::Csv:
        return formatCsv(sheet);
    case SheetFormat::Json:
        return formatJson(sheet);
    }
    return {};
}

QStringList describeDifferences(const Source &a, const Source &b)
{
    QStringList lines;
    const ChannelSheet left = sheetIn(a.sheet, Language::English);
    const ChannelSheet right = sheetIn(b.sheet, Language::English);
    const QString arrow = QStringLiteral(" \u2192 ");
    const auto shown = [](const QString &text) {
        const QString trimmed = text.trimmed();
        return trimmed.isEmpty() ? QStringLiteral("(empty)") : trimmed;
    };
    QList<int> channelsWithTextChanges;
    for (int row = 1; row <= kChannelCount; ++row) {
        for (int c = 1; c < column::kCount; ++c) {
            const QString &x = left.rows[std::size_t(row)][std::size_t(c)];
            const QString &y = right.rows[std::size_t(row)][std::size_t(c)];
            if (x.trimmed() == y.trimmed())
                continue;
            lines << QStringLiteral("channel %1 %2 %3%4%5")
                         .arg(row)
                         .arg(fieldNames()[std::size_t(c)].toString(), shown(x), arrow, shown(y));
            channelsWithTextChanges << row;
        }
    }
    bool settingsChanged = false;
    for (int i = 0; i < setting::kCount; ++i) {
        const QString &x = left.settings[std::size_t(i)];
        const QString &y = right.settings[std::size_t(i)];
        if (x.trimmed() == y.trimmed())
            continue;
        settingsChanged = true;
        lines << QStringLiteral("settings %1 %2%3%4")
                     .arg(settingNames()[std::size_t(i)].toString(), shown(x), arrow, shown(y));
    }
    if (!a.image || !b.image)
        return lines;

    // Both sides are memory: bytes no text shows (and the signalling banks) count as well.
    for (const BlockAddress &address : RadioImage::addresses()) {
        if (!a.image->holds(address.bank) || !b.image->holds(address.bank))
            continue;
        if (address.bank == Bank::Channels && channelsWithTextChanges.contains(address.block))
            continue;
        if (address.bank == Bank::Settings && settingsChanged)
            continue;
        const QList<ByteMismatch> bytes = compareBlocks(*a.image, *b.image, {address});
        if (bytes.isEmpty())
            continue;
        QStringList changes;
        for (const ByteMismatch &m : bytes) {
            changes << QStringLiteral("byte %1: %2%3%4")
                           .arg(m.byte)
                           .arg(hexByte(m.expected), arrow, hexByte(m.actual));
        }
        lines << QStringLiteral("%1 %2").arg(blockName(address),
                                             changes.join(QStringLiteral(", ")));
    }
    return lines;
}

} // namespace wf::cli

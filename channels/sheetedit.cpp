// SPDX-License-Identifier: GPL-3.0-or-later
#include "channels/sheetedit.h"

#include "channels/cellchecks.h"
#include "channels/channeltable.h"
#include "channels/refusals.h"

#include <algorithm>
#include <optional>

namespace wf::sheetedit {

namespace {

using namespace Qt::StringLiterals;

constexpr WordPair kNothingToPaste{u"剪贴板中没有可粘贴的文字。",
                                   u"The clipboard holds no text to paste."};
constexpr WordPair kNoRoom{u"未粘贴：%1行%2列的内容从%3起超出表格。",
                           u"Nothing was pasted: %1 rows of %2 cells do not fit in the table "
                           u"from %3 on."};
constexpr WordPair kRefusedCell{u"未粘贴：%1 不能接受“%2”。",
                                u"Nothing was pasted: %1 cannot take \"%2\"."};
constexpr WordPair kTableFull{u"无法插入信道：信道16已有信道，请先删除它。",
                              u"Cannot insert a channel: channel 16 holds one. Delete it first."};

const table::ChannelColumn &columnOf(int col)
{
    return table::channelColumns()[std::size_t(col)];
}

QString fieldName(int channel, int col, Language language)
{
    return channelFieldName(channel, columnOf(col).caption, language);
}

bool holdsChannel(const ChannelRow &row)
{
    return !isBlankCell(row[column::RxFrequency]);
}

// Moves the cells of a channel, never its number.
void moveCells(ChannelRow &to, const ChannelRow &from)
{
    std::copy(from.begin() + 1, from.end(), to.begin() + 1);
}

void emptyCells(ChannelRow &row)
{
    std::fill(row.begin() + 1, row.end(), QString());
}

// The word of the column's list that `text` is, in either language, as `language` writes it.
std::optional<QString> listWord(table::ValueList list, const QString &text, Language language)
{
    for (Language from :
         {language, language == Language::English ? Language::Chinese : Language::English}) {
        const QStringList words = table::items(list, from);
        const qsizetype index = words.indexOf(text);
        if (index >= 0)
            return table::items(list, language).value(index);
    }
    return std::nullopt;
}

// Splits one line of comma-separated values, with double quotes around fields that hold commas
// or quotes and doubled quotes inside them.
QStringList commaFields(const QString &line)
{
    QStringList fields{QString()};
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == u'"' && i + 1 < line.size() && line[i + 1] == u'"')
                fields.last() += line[++i];
            else if (c == u'"')
                quoted = false;
            else
                fields.last() += c;
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            fields << QString();
        } else {
            fields.last() += c;
        }
    }
    return fields;
}

// Takes one pasted cell into `row` as a committed edit; the empty text, or why it is refused.
bool takeCell(ChannelRow &row, int col, const QString &cell, Language language)
{
    const table::ChannelColumn &described = columnOf(col);
    const QString previous = row[std::size_t(col)];
    QString text = cell.trimmed();
    if (described.editor == table::EditorKind::DropDownList) {
        if (text.isEmpty()) {
            // The radio has no empty word: a channel keeps the value a new one holds.
            text = described.freshValue.in(language).toString();
        } else {
            const std::optional<QString> word = listWord(described.list, text, language);
            if (!word)
                return false;
            text = *word;
        }
    }
    const bool frequency = col == column::RxFrequency || col == column::TxFrequency;
    if (frequency && !text.isEmpty() && CheckFrequencyText(text).text.isEmpty())
        return false;
    row[std::size_t(col)] = text;
    return checkCommittedCell(row, col, language, previous).ok();
}

} // namespace

QList<QStringList> clipboardCells(const QString &text)
{
    QStringList lines = QString(text).remove(u'\r').split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QList<QStringList> rows;
    for (const QString &line : lines)
        rows << (line.contains(u'\t') ? line.split(u'\t') : commaFields(line));
    return rows;
}

Edited paste(const ChannelSheet &sheet, int col, int channel, const QString &text,
             Language language)
{
    col = std::max(col, int(column::RxFrequency));
    const QList<QStringList> rows = clipboardCells(text);
    if (rows.isEmpty())
        return {sheet, kNothingToPaste.in(language).toString()};
    qsizetype width = 0;
    for (const QStringList &cells : rows)
        width = std::max(width, cells.size());
    if (channel + rows.size() - 1 > kChannelCount || col + width - 1 >= column::kCount) {
        return {sheet, kNoRoom.in(language)
                           .toString()
                           .arg(rows.size())
                           .arg(width)
                           .arg(fieldName(channel, col, language))};
    }
    Edited result{sheet, {}};
    for (qsizetype r = 0; r < rows.size(); ++r) {
        ChannelRow &row = result.sheet.rows[std::size_t(channel + r)];
        for (qsizetype i = 0; i < rows[r].size(); ++i) {
            if (!takeCell(row, col + int(i), rows[r][i], language)) {
                return {sheet, kRefusedCell.in(language).toString().arg(
                                   fieldName(channel + int(r), col + int(i), language),
                                   rows[r][i].trimmed())};
            }
        }
    }
    return result;
}

ChannelSheet clearCells(const ChannelSheet &sheet, const QRect &range, Language language)
{
    ChannelSheet result = sheet;
    for (int channel = range.top(); channel <= range.bottom(); ++channel) {
        ChannelRow &row = result.rows[std::size_t(channel)];
        for (int col = std::max(range.left(), 1); col <= range.right(); ++col) {
            if (!holdsChannel(row)) {
                emptyCells(row);
                break;
            }
            // Emptying is always taken; the text it leaves is the check's.
            (void)takeCell(row, col, QString(), language);
        }
    }
    return result;
}

Edited insertChannel(const ChannelSheet &sheet, int channel, Language language)
{
    if (holdsChannel(sheet.rows[kChannelCount]))
        return {sheet, kTableFull.in(language).toString()};
    Edited result{sheet, {}};
    for (int row = kChannelCount; row > channel; --row)
        moveCells(result.sheet.rows[std::size_t(row)], sheet.rows[std::size_t(row - 1)]);
    emptyCells(result.sheet.rows[std::size_t(channel)]);
    return result;
}

ChannelSheet deleteChannels(const ChannelSheet &sheet, int first, int last)
{
    ChannelSheet result = sheet;
    const int count = last - first + 1;
    for (int row = first; row <= kChannelCount; ++row) {
        ChannelRow &to = result.rows[std::size_t(row)];
        if (row + count <= kChannelCount)
            moveCells(to, sheet.rows[std::size_t(row + count)]);
        else
            emptyCells(to);
    }
    return result;
}

ChannelSheet moveChannels(const ChannelSheet &sheet, int first, int last, int by)
{
    if (first + by < 1 || last + by > kChannelCount)
        return sheet;
    ChannelSheet result = sheet;
    for (int row = first; row <= last; ++row)
        moveCells(result.rows[std::size_t(row + by)], sheet.rows[std::size_t(row)]);
    // The channel passed over takes the place the moved ones leave.
    const int passed = by < 0 ? first - 1 : last + 1;
    const int freed = by < 0 ? last : first;
    moveCells(result.rows[std::size_t(freed)], sheet.rows[std::size_t(passed)]);
    return result;
}

} // namespace wf::sheetedit

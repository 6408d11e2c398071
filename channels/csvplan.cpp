// SPDX-License-Identifier: GPL-3.0-or-later
#include "channels/csvplan.h"

#include "channels/cellchecks.h"
#include "channels/channeltable.h"
#include "channels/datafile.h"
#include "channels/numbertext.h"
#include "channels/refusals.h"
#include "i18n/words.h"
#include "protocol/regularfile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTextCodec>

#include <algorithm>
#include <optional>
#include <vector>

namespace wf::csvplan {

using namespace Qt::StringLiterals;

namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";

// The messages of a refused plan: where, then what. Each names the line, the column and the text.
constexpr WordPair kLine{u"第%1行", u"line %1"};
constexpr WordPair kLineColumn{u"第%1行 %2", u"line %1, %2"};
constexpr WordPair kLineColumnNumber{u"第%1行 第%2列", u"line %1, column %2"};
constexpr WordPair kNotText{u"%1：字节既不是 UTF-8 也不是 GBK 文本",
                            u"%1: bytes that are neither UTF-8 nor GBK text"};
constexpr WordPair kTooLarge{u"文件大于信道计划可有的大小（%1 KiB）",
                             u"the file is larger than a channel plan can be (%1 KiB)"};
constexpr WordPair kNoHeader{u"文件没有列名的标题行",
                             u"the file has no header row of column names"};
constexpr WordPair kUnclosedQuote{u"%1：'%2' 的引号没有结束",
                                  u"%1: '%2' opens a quote that is never closed"};
constexpr WordPair kAfterQuote{u"%1：'%2' 的结束引号后还有文字",
                               u"%1: '%2' has text after its closing quote"};
constexpr WordPair kUnknownColumn{u"%1：'%2' 不是信道表的列（%3）",
                                  u"%1: '%2' is no column of the channel table (%3)"};
constexpr WordPair kColumnTwice{u"%1：'%2' 已是第%3列", u"%1: '%2' is already column %3"};
constexpr WordPair kNoRxColumn{u"%1：标题行没有“%2”列", u"%1: the header row has no %2 column"};
constexpr WordPair kPastHeader{u"%1：'%2' 不在标题行的任何一列下",
                               u"%1: '%2' stands under no column of the header row"};
constexpr WordPair kNotChannel{u"%1：'%2' 不是信道编号（1 至 16）",
                               u"%1: '%2' is not a channel number (1 to 16)"};
constexpr WordPair kTooManyRows{u"%1：行数多于对讲机的信道数（16）",
                                u"%1: more rows than the radio has channels (16)"};
constexpr WordPair kChannelTwice{u"%1：信道%2 已在第%3行给出",
                                 u"%1: channel %2 was already given on line %3"};
constexpr WordPair kNoChannel{u"%1：'%2' 不属于任何信道：该行没有接收频率",
                              u"%1: '%2' belongs to no channel: the row has no receive frequency"};
constexpr WordPair kBadFrequency{
    u"%1：'%2' 不是对讲机可用的频率（MHz，大于 0，至多 999.99999）",
    u"%1: '%2' is not a frequency the radio takes (MHz, above 0, at most 999.99999)"};
constexpr WordPair kBadTone{
    u"%1：'%2' 不是对讲机可用的亚音（CTCSS 至多 300.0，DCS 如 023N、023I，或 无）",
    u"%1: '%2' is not a tone the radio takes (CTCSS up to 300.0, DCS as 023N or 023I, or NONE)"};
constexpr WordPair kUnknownSetting{u"%1：'%2' 不是设置项（%3）", u"%1: '%2' is no setting (%3)"};
constexpr WordPair kSettingTwice{u"%1：'%2' 已在第%3行给出",
                                 u"%1: '%2' was already given on line %3"};
constexpr WordPair kInFile{u"%1：%2", u"%1: %2"};
constexpr WordPair kSummary{u"按%1读入，字段以%2分隔；信道：%3，设置：%4。",
                            u"Read as %1, fields separated by %2; channels: %3, settings: %4."};
constexpr WordPair kUtf8{u"UTF-8 文本", u"UTF-8 text"};
constexpr WordPair kUtf8WithBom{u"带字节顺序标记的 UTF-8 文本",
                                u"UTF-8 text with a byte-order mark"};
constexpr WordPair kGbk{u"GBK 文本", u"GBK text"};
constexpr WordPair kCommas{u"逗号", u"commas"};
constexpr WordPair kSemicolons{u"分号", u"semicolons"};

QString text(WordPair pattern, Language language)
{
    return pattern.in(language).toString();
}

QTextCodec &gbk()
{
    static QTextCodec *const codec = QTextCodec::codecForName("GBK");
    if (!codec)
        qFatal("The GBK code page is missing from this Qt installation");
    return *codec;
}

QString caption(int column, Language language)
{
    return table::channelColumns()[std::size_t(column)].caption.in(language).trimmed().toString();
}

QString settingLabel(int box, Language language)
{
    return settingName(table::settingsBoxes()[std::size_t(box)].caption, language);
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Whether a cell can go into a spreadsheet as it is; a blank at either end is quoted too, or
// the single space a loaded data file keeps in an empty cell would not come back.
QString quoted(const QString &cell, QChar separator)
{
    const bool plain = !cell.contains(separator) && !cell.contains(u'"') && !cell.contains(u'\n') &&
                       !cell.contains(u'\r') && cell.trimmed().size() == cell.size();
    if (plain)
        return cell;
    QString inner = cell;
    inner.replace(u"\""_s, u"\"\""_s);
    return u'"' + inner + u'"';
}

// ---- Reading the text ----------------------------------------------------------------------

struct Decoded
{
    QString text;
    Encoding encoding = Encoding::Utf8;
    int badLine = 0; ///< the first line that is neither UTF-8 nor GBK, or 0
};

Decoded decodeText(const QByteArray &bytes)
{
    if (bytes.startsWith(kBom)) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        Decoded decoded{utf8(bytes.mid(3)), Encoding::Utf8WithBom};
        if (!utf8.hasError())
            return decoded;
    } else {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        Decoded decoded{utf8(bytes), Encoding::Utf8};
        if (!utf8.hasError())
            return decoded;
    }
    // Spreadsheets on Chinese systems save in the system's code page. A byte that is no GBK
    // text would come back as a "?" the plan never held, and a stray 0xFF as a character of the
    // code page's private area, which no spreadsheet writes: the file is refused at its line.
    const QList<QByteArray> lines = bytes.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = gbk().toUnicode(lines[i]);
        const bool privateUse = std::any_of(line.begin(), line.end(), [](QChar c) {
            return c.category() == QChar::Other_PrivateUse;
        });
        if (privateUse || gbk().fromUnicode(line) != lines[i])
            return {{}, Encoding::Gbk, i + 1};
    }
    return {gbk().toUnicode(bytes), Encoding::Gbk};
}

// The separator the header row uses: semicolons when it has more of them than commas.
QChar separatorOf(QStringView text)
{
    int commas = 0;
    int semicolons = 0;
    bool inQuotes = false;
    for (QChar c : text) {
        if (c == u'"')
            inQuotes = !inQuotes;
        else if (!inQuotes && (c == u'\n' || c == u'\r') && commas + semicolons > 0)
            break;
        else if (!inQuotes && c == u',')
            ++commas;
        else if (!inQuotes && c == u';')
            ++semicolons;
    }
    return semicolons > commas ? u';' : u',';
}

// One line of the file split into fields: quoted fields may hold separators, doubled quotes and
// line breaks.
struct Record
{
    int line = 0;
    QStringList fields;
    bool blank() const
    {
        return std::all_of(fields.begin(), fields.end(),
                           [](const QString &f) { return f.trimmed().isEmpty(); });
    }
};

// A field the splitting cannot take, with the pattern of its message.
struct BadField
{
    int line = 0;
    int field = 0;
    QString text;
    WordPair why;
};

class RecordReader
{
public:
    RecordReader(QStringView text, QChar separator)
        : m_text(text)
        , m_separator(separator)
    {}

    bool atEnd() const { return m_pos >= m_text.size(); }

    // The next record; false with `bad` set when a field is malformed.
    bool next(Record *record, BadField *bad)
    {
        record->line = m_line;
        record->fields.clear();
        const qsizetype n = m_text.size();
        for (;;) {
            QString field;
            if (m_pos < n && m_text[m_pos] == u'"') {
                const qsizetype open = m_pos;
                bool closed = false;
                for (++m_pos; m_pos < n; ++m_pos) {
                    const QChar c = m_text[m_pos];
                    if (c == u'"') {
                        if (m_pos + 1 < n && m_text[m_pos + 1] == u'"') {
                            field += u'"';
                            ++m_pos;
                            continue;
                        }
                        ++m_pos;
                        closed = true;
                        break;
                    }
                    if (c == u'\n' ||
                        (c == u'\r' && (m_pos + 1 >= n || m_text[m_pos + 1] != u'\n')))
                        ++m_line;
                    field += c;
                }
                if (!closed) {
                    *bad = {record->line, int(record->fields.size()),
                            m_text.mid(open).left(40).toString(), kUnclosedQuote};
                    return false;
                }
                if (m_pos < n && !endsField(m_text[m_pos])) {
                    qsizetype end = m_pos;
                    while (end < n && !endsField(m_text[end]))
                        ++end;
                    *bad = {record->line, int(record->fields.size()),
                            m_text.mid(open, end - open).toString(), kAfterQuote};
                    return false;
                }
            } else {
                const qsizetype start = m_pos;
                while (m_pos < n && !endsField(m_text[m_pos]))
                    ++m_pos;
                field = m_text.mid(start, m_pos - start).toString();
            }
            record->fields << field;
            if (m_pos >= n)
                return true;
            if (m_text[m_pos] == m_separator) {
                ++m_pos;
                continue;
            }
            if (m_text[m_pos] == u'\r' && m_pos + 1 < n && m_text[m_pos + 1] == u'\n')
                ++m_pos;
            ++m_pos;
            ++m_line;
            return true;
        }
    }

private:
    bool endsField(QChar c) const { return c == m_separator || c == u'\n' || c == u'\r'; }

    QStringView m_text;
    QChar m_separator;
    qsizetype m_pos = 0;
    int m_line = 1;
};

// ---- Taking the cells ----------------------------------------------------------------------

// A cell as the table's editor would have received it typed: the keyboard lets only digits, the
// point and the letters E, I, N and O through (lowercase ones as uppercase), so "D023N" arrives
// as 023N and "67 Hz" as 67. A decimal comma, as spreadsheets of many locales write numbers,
// stands for the point.
QString asTyped(QStringView cell)
{
    const bool commaIsPoint = !cell.contains(u'.');
    QString typed;
    for (QChar c : cell) {
        if (c == u',' && commaIsPoint)
            c = u'.';
        const QChar upper = c.toUpper();
        if ((c >= u'0' && c <= u'9') || c == u'.')
            typed += c;
        else if (upper == u'E' || upper == u'I' || upper == u'N' || upper == u'O')
            typed += upper;
    }
    return typed;
}

bool isNoneWord(const QString &cell)
{
    return sameName(cell, words::kNone.english.toString()) || cell == words::kNone.chinese;
}

// Whether the tone check kept what was typed: the same number with one decimal, the same DCS
// code with its leading zeros, or no tone for a cell that said none. "350" held at 300.0, or a
// text replaced by 62.5 or 023N, would put another tone into the radio than the plan says.
bool toneKept(const QString &cell, const QString &typed, const QString &stored, Language language)
{
    if (stored == words::kNone.in(language))
        return isNoneWord(cell);
    if (stored.endsWith(u'N') || stored.endsWith(u'I')) {
        const QStringView padding = QStringView(stored).left(stored.size() - typed.size());
        return stored.endsWith(typed) &&
               std::all_of(padding.begin(), padding.end(), [](QChar c) { return c == u'0'; });
    }
    const std::optional<double> value = readDecimal(typed);
    return value && formatDecimal(*value, 1) == stored;
}

// The index of `cell` among the items of a list, in either language, case aside.
std::optional<int> itemIndex(table::ValueList list, const QString &cell)
{
    for (Language language : {Language::English, Language::Chinese}) {
        const QStringList items = table::items(list, language);
        for (int i = 0; i < items.size(); ++i) {
            if (sameName(items[i], cell))
                return i;
        }
    }
    return std::nullopt;
}

QString joined(const QStringList &names, Language language)
{
    return names.join(language == Language::English ? u", "_s : u"、"_s);
}

class PlanReader
{
public:
    PlanReader(const ChannelSheet &base, Language language)
        : m_language(language)
    {
        m_result.sheet = base;
        for (int row = 1; row <= kChannelCount; ++row) {
            m_result.sheet.rows[std::size_t(row)] = ChannelRow();
            m_result.sheet.rows[std::size_t(row)][column::Number] = QString::number(row);
        }
    }

    Imported read(const QByteArray &bytes)
    {
        if (bytes.size() > kMaxFileSize)
            return fail(text(kTooLarge, m_language).arg(kMaxFileSize / 1024));
        const Decoded decoded = decodeText(bytes);
        if (decoded.badLine > 0)
            return fail(text(kNotText, m_language).arg(lineName(decoded.badLine)));
        m_result.encoding = decoded.encoding;
        m_result.separator = separatorOf(decoded.text);
        RecordReader reader(decoded.text, m_result.separator);

        enum class Section { Header, Channels, Settings } section = Section::Header;
        Record record;
        BadField bad;
        while (!reader.atEnd()) {
            if (!reader.next(&record, &bad))
                return fail(text(bad.why, m_language).arg(where(bad.line, bad.field), bad.text));
            if (record.blank()) {
                // The blank line after the channels opens the settings; blank lines before the
                // header or among the settings stand for nothing.
                if (section == Section::Channels)
                    section = Section::Settings;
                continue;
            }
            QString error;
            switch (section) {
            case Section::Header:
                error = takeHeader(record);
                section = Section::Channels;
                break;
            case Section::Channels:
                error = takeChannel(record);
                break;
            case Section::Settings:
                error = takeSetting(record);
                break;
            }
            if (!error.isEmpty())
                return fail(error);
        }
        if (section == Section::Header)
            return fail(text(kNoHeader, m_language));
        return m_result;
    }

private:
    Imported fail(const QString &message)
    {
        Imported failed;
        failed.error = message;
        return failed;
    }

    QString lineName(int line) const { return text(kLine, m_language).arg(line); }

    // "line 5, TX Power" under a column the header names, "line 5, column 17" elsewhere.
    QString where(int line, int field) const
    {
        if (field >= 0 && field < int(m_columns.size()) && m_columns[std::size_t(field)] >= 0)
            return text(kLineColumn, m_language)
                .arg(QString::number(line), caption(m_columns[std::size_t(field)], m_language));
        return text(kLineColumnNumber, m_language).arg(line).arg(field + 1);
    }

    // Where the header puts a table column; -1 when it has none.
    int fieldOf(int column) const
    {
        const auto found = std::find(m_columns.begin(), m_columns.end(), column);
        return found == m_columns.end() ? -1 : int(found - m_columns.begin());
    }

    QString takeHeader(const Record &record)
    {
        QStringList known;
        for (int c = 0; c < column::kCount; ++c)
            known << caption(c, m_language);
        bool chinese = false;
        for (int i = 0; i < record.fields.size(); ++i) {
            const QString name = record.fields[i].trimmed();
            int found = -1;
            for (int c = 0; c < column::kCount && !name.isEmpty(); ++c) {
                const WordPair &pair = table::channelColumns()[std::size_t(c)].caption;
                const bool english = sameName(name, pair.english.trimmed().toString());
                if (english || sameName(name, pair.chinese.trimmed().toString())) {
                    found = c;
                    chinese = chinese || !english;
                }
            }
            if (!name.isEmpty() && found < 0) {
                return text(kUnknownColumn, m_language)
                    .arg(where(record.line, i), name, joined(known, m_language));
            }
            const auto twice = std::find(m_columns.begin(), m_columns.end(), found);
            if (found >= 0 && twice != m_columns.end()) {
                return text(kColumnTwice, m_language)
                    .arg(where(record.line, i), name,
                         QString::number(twice - m_columns.begin() + 1));
            }
            m_columns.push_back(found);
        }
        if (fieldOf(column::RxFrequency) < 0) {
            return text(kNoRxColumn, m_language)
                .arg(lineName(record.line), caption(column::RxFrequency, m_language));
        }
        m_result.headerLanguage = chinese ? Language::Chinese : Language::English;
        return {};
    }

    QString takeChannel(const Record &record)
    {
        // The cells by column, as the file has them; a short line has none for its last columns.
        std::array<std::optional<QString>, column::kCount> cells;
        for (int i = 0; i < record.fields.size(); ++i) {
            const int c = i < int(m_columns.size()) ? m_columns[std::size_t(i)] : -1;
            if (c < 0) {
                if (!record.fields[i].trimmed().isEmpty())
                    return text(kPastHeader, m_language)
                        .arg(where(record.line, i), record.fields[i]);
                continue;
            }
            cells[std::size_t(c)] = record.fields[i];
        }
        const auto cellText = [&](int c) {
            return cells[std::size_t(c)].value_or(QString()).trimmed();
        };

        int channel = ++m_rowsRead;
        if (fieldOf(column::Number) >= 0) {
            const QString number = cellText(column::Number);
            const bool digits =
                !number.isEmpty() && std::all_of(number.begin(), number.end(),
                                                 [](QChar c) { return c >= u'0' && c <= u'9'; });
            channel = digits && number.size() <= 2 ? number.toInt() : 0;
            if (channel < 1 || channel > kChannelCount)
                return text(kNotChannel, m_language)
                    .arg(where(record.line, fieldOf(column::Number)), number);
        } else if (channel > kChannelCount) {
            return text(kTooManyRows, m_language).arg(lineName(record.line));
        }
        if (const int earlier = m_lineOfChannel[std::size_t(channel)]; earlier > 0) {
            return text(kChannelTwice, m_language)
                .arg(lineName(record.line), QString::number(channel), QString::number(earlier));
        }
        m_lineOfChannel[std::size_t(channel)] = record.line;

        ChannelRow &row = m_result.sheet.rows[std::size_t(channel)];
        const auto at = [&](int c) {
            return where(record.line, fieldOf(c));
        };
        // An empty cell keeps the single space a loaded data file leaves, so such a table comes
        // back as it went out.
        const auto blankAsGiven = [&](int c) {
            return cells[std::size_t(c)] == u" "_s ? u" "_s : QString();
        };

        if (cellText(column::RxFrequency).isEmpty()) {
            for (int c = column::RxFrequency; c < column::kCount; ++c) {
                if (!cellText(c).isEmpty())
                    return text(kNoChannel, m_language).arg(at(c), cellText(c));
                row[std::size_t(c)] = blankAsGiven(c);
            }
            return {};
        }
        ++m_result.channels;

        // The receive frequency first, as a technician types a new channel: it brings the
        // values every new channel gets, which the plan's other cells then change.
        for (int c = column::RxFrequency; c < column::kCount; ++c) {
            const QString cell = cellText(c);
            if (cell.isEmpty()) {
                if (c == column::TxFrequency && cells[column::TxFrequency])
                    row[column::TxFrequency] = blankAsGiven(c);
                continue;
            }
            const table::ChannelColumn &col = table::channelColumns()[std::size_t(c)];
            if (col.editor == table::EditorKind::DropDownList) {
                const std::optional<int> index = itemIndex(col.list, cell);
                if (!index) {
                    return notOneOfText(at(c), cell, table::items(col.list, m_language),
                                        m_language);
                }
                row[std::size_t(c)] = table::items(col.list, m_language)[*index];
                continue;
            }
            const QString typed = asTyped(cell);
            const QString previous = row[std::size_t(c)];
            row[std::size_t(c)] = typed;
            const Conversion checked = checkCommittedCell(row, c, m_language, previous);
            const QString &stored = row[std::size_t(c)];
            const bool tone = col.list == table::ValueList::Tones;
            const bool kept = checked.ok() && (tone ? toneKept(cell, typed, stored, m_language)
                                                    : !isBlankCell(stored));
            if (!kept)
                return text(tone ? kBadTone : kBadFrequency, m_language).arg(at(c), cell);
        }
        return {};
    }

    QString takeSetting(const Record &record)
    {
        for (int i = 2; i < record.fields.size(); ++i) {
            if (!record.fields[i].trimmed().isEmpty()) {
                const QString place =
                    text(kLineColumnNumber, m_language).arg(record.line).arg(i + 1);
                return text(kPastHeader, m_language).arg(place, record.fields[i]);
            }
        }
        QString name = record.fields[0].trimmed();
        while (name.endsWith(u'：') || name.endsWith(u':'))
            name.chop(1);
        QStringList known;
        int box = -1;
        for (int b = 0; b < setting::kCount; ++b) {
            known << settingLabel(b, m_language);
            if (sameName(name, settingLabel(b, Language::English)) ||
                sameName(name, settingLabel(b, Language::Chinese)))
                box = b;
        }
        const QString place = text(kLineColumnNumber, m_language).arg(record.line).arg(1);
        if (box < 0)
            return text(kUnknownSetting, m_language).arg(place, name, joined(known, m_language));
        if (const int earlier = m_lineOfSetting[std::size_t(box)]; earlier > 0) {
            return text(kSettingTwice, m_language)
                .arg(lineName(record.line), name, QString::number(earlier));
        }
        m_lineOfSetting[std::size_t(box)] = record.line;

        const QString value = record.fields.value(1).trimmed();
        const table::ValueList list = table::settingsBoxes()[std::size_t(box)].list;
        const std::optional<int> index = itemIndex(list, value);
        if (!index) {
            const QString named =
                text(kLineColumn, m_language).arg(QString::number(record.line), known[box]);
            return notOneOfText(named, value, table::items(list, m_language), m_language);
        }
        m_result.sheet.settings[std::size_t(box)] = table::items(list, m_language)[*index];
        ++m_result.settings;
        return {};
    }

    Language m_language;
    Imported m_result;
    std::vector<int> m_columns; ///< the table column of each header field, -1 for none
    int m_rowsRead = 0;
    std::array<int, kChannelCount + 1> m_lineOfChannel{};
    std::array<int, setting::kCount> m_lineOfSetting{};
};

} // namespace

QString planText(const ChannelSheet &sheet, Language language, QChar separator)
{
    QString text;
    const auto addLine = [&](const QStringList &fields) {
        QStringList cells;
        for (const QString &field : fields)
            cells << quoted(field, separator);
        text += cells.join(separator) + u"\r\n"_s;
    };
    QStringList header;
    for (int c = 0; c < column::kCount; ++c)
        header << caption(c, language);
    addLine(header);
    for (int row = 1; row <= kChannelCount; ++row) {
        QStringList cells(sheet.rows[std::size_t(row)].begin(), sheet.rows[std::size_t(row)].end());
        // The channel is the row the table shows it in, whatever column 0 holds.
        cells[column::Number] = QString::number(row);
        addLine(cells);
    }
    text += u"\r\n"_s;
    for (int box = 0; box < setting::kCount; ++box)
        addLine({settingLabel(box, language), sheet.settings[std::size_t(box)]});
    return text;
}

QByteArray planBytes(const ChannelSheet &sheet, Language language, QChar separator)
{
    return QByteArray(kBom) + planText(sheet, language, separator).toUtf8();
}

Imported importPlan(const QByteArray &bytes, const ChannelSheet &base, Language language)
{
    return PlanReader(base, language).read(bytes);
}

Imported readPlan(const QString &fileName, const ChannelSheet &base, Language language)
{
    const FileRead file = readRegularFile(fileName, kMaxFileSize);
    if (!file.ok()) {
        Imported failed;
        failed.error = datafile::cannotOpenMessage(fileName, file.error);
        return failed;
    }
    Imported imported = importPlan(file.bytes, base, language);
    if (!imported.ok())
        imported.error =
            text(kInFile, language).arg(QFileInfo(fileName).fileName(), imported.error);
    return imported;
}

QString writePlan(const QString &fileName, const ChannelSheet &sheet, Language language,
                  QChar separator)
{
    const QString shown = QDir::toNativeSeparators(fileName);
    if (const QString why = whyNotSaveable(fileName); !why.isEmpty())
        return u"Cannot create file \"%1\". %2"_s.arg(shown, why);
    QSaveFile file(fileName);
    if (file.open(QIODevice::WriteOnly)) {
        const QByteArray bytes = planBytes(sheet, language, separator);
        if (file.write(bytes) == bytes.size() && file.commit())
            return {};
    }
    return u"Cannot create file \"%1\". %2"_s.arg(shown, file.errorString());
}

QString summary(const Imported &imported, Language language)
{
    const WordPair encoding = imported.encoding == Encoding::Gbk           ? kGbk
                              : imported.encoding == Encoding::Utf8WithBom ? kUtf8WithBom
                                                                           : kUtf8;
    return text(kSummary, language)
        .arg(text(encoding, language),
             text(imported.separator == u';' ? kSemicolons : kCommas, language),
             QString::number(imported.channels), QString::number(imported.settings));
}

ChannelSheet freshSheet(Language language)
{
    ChannelSheet sheet;
    for (int c = 0; c < column::kCount; ++c)
        sheet.rows[0][std::size_t(c)] =
            table::channelColumns()[std::size_t(c)].caption.in(language).toString();
    for (int row = 1; row <= kChannelCount; ++row)
        sheet.rows[std::size_t(row)][column::Number] = QString::number(row);
    sheet.settings = table::initialSettings(language);
    return sheet;
}

} // namespace wf::csvplan

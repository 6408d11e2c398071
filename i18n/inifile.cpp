// SPDX-License-Identifier: GPL-3.0-or-later
#include "i18n/inifile.h"

#include "protocol/regularfile.h"

#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>
#include <QTextCodec>

#include <utility>

namespace wf {

using namespace Qt::StringLiterals;

namespace {

// The file is GBK text like every Chinese string of the radio's software; Unicode exists only
// inside the program.
QTextCodec *gbk()
{
    static QTextCodec *const codec = QTextCodec::codecForName("GBK");
    return codec;
}

#ifdef Q_OS_WIN
const QByteArray kNativeLineEnd = QByteArrayLiteral("\r\n");
#else
const QByteArray kNativeLineEnd = QByteArrayLiteral("\n");
#endif

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

enum class LineKind { Other, Section, Key };

// One line of the file as byte offsets: the text [begin, end), its line end [end, next), and
// for a section header or a key line the name and the value, blanks around them left out.
struct Line
{
    qsizetype begin = 0;
    qsizetype end = 0;
    qsizetype next = 0;
    LineKind kind = LineKind::Other;
    qsizetype nameBegin = 0;
    qsizetype nameEnd = 0;
    qsizetype valueBegin = 0;
    qsizetype valueEnd = 0;

    bool hasLineEnd() const { return next > end; }
};

// The first `wanted` (an ASCII character) that starts a character. A GBK character is a lead
// byte 0x81..0xFE and a trail byte, and a trail byte may well be "[" or "]": a section name in
// Chinese must not end inside a character.
qsizetype findAscii(const QByteArray &bytes, qsizetype from, qsizetype to, char wanted)
{
    for (qsizetype i = from; i < to;) {
        const auto byte = static_cast<uchar>(bytes[i]);
        if (byte == static_cast<uchar>(wanted))
            return i;
        i += byte >= 0x81 && byte <= 0xFE && i + 1 < to ? 2 : 1;
    }
    return -1;
}

void trim(const QByteArray &bytes, qsizetype &begin, qsizetype &end)
{
    while (begin < end && isBlank(bytes[begin]))
        ++begin;
    while (end > begin && isBlank(bytes[end - 1]))
        --end;
}

bool isBlankLine(const QByteArray &bytes, const Line &line)
{
    qsizetype begin = line.begin;
    qsizetype end = line.end;
    trim(bytes, begin, end);
    return begin == end;
}

Line classify(const QByteArray &bytes, Line line)
{
    qsizetype begin = line.begin;
    qsizetype end = line.end;
    trim(bytes, begin, end);
    if (begin == end || bytes[begin] == ';' || bytes[begin] == '#')
        return line;
    if (bytes[begin] == '[') {
        const qsizetype close = findAscii(bytes, begin + 1, end, ']');
        if (close < 0)
            return line;
        line.kind = LineKind::Section;
        line.nameBegin = begin + 1;
        line.nameEnd = close;
        trim(bytes, line.nameBegin, line.nameEnd);
        return line;
    }
    const qsizetype equals = findAscii(bytes, begin, end, '=');
    if (equals <= begin)
        return line;
    line.kind = LineKind::Key;
    line.nameBegin = begin;
    line.nameEnd = equals;
    trim(bytes, line.nameBegin, line.nameEnd);
    line.valueBegin = equals + 1;
    line.valueEnd = end;
    trim(bytes, line.valueBegin, line.valueEnd);
    return line;
}

QList<Line> parse(const QByteArray &bytes)
{
    QList<Line> lines;
    for (qsizetype pos = 0; pos < bytes.size();) {
        // A line ends at CR LF, LF or a CR alone, as an old editor may have left it: a CR taken
        // for part of a value would have a write replace the next line with that value.
        // Neither byte is ever part of a GBK character, so lines split on bytes.
        qsizetype end = pos;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        Line line;
        line.begin = pos;
        line.end = end;
        line.next = end;
        if (end < bytes.size())
            line.next = bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n'
                            ? end + 2
                            : end + 1;
        lines << classify(bytes, line);
        pos = line.next;
    }
    return lines;
}

QString decode(const QByteArray &bytes, qsizetype begin, qsizetype end)
{
    return gbk()->toUnicode(bytes.constData() + begin, int(end - begin));
}

bool sameName(const QByteArray &bytes, qsizetype begin, qsizetype end, QStringView name)
{
    return QStringView(decode(bytes, begin, end)).compare(name.trimmed(), Qt::CaseInsensitive) == 0;
}

bool isQuoted(QStringView text)
{
    return text.size() >= 2 && (text.front() == u'"' || text.front() == u'\'') &&
           text.back() == text.front();
}

// Where a key stands, or where it would go.
struct Place
{
    qsizetype keyLine = -1;     ///< the key's line
    qsizetype sectionLine = -1; ///< the header of the first section of that name
    qsizetype lastLine = -1;    ///< that section's last key line, or its header
};

Place find(const QByteArray &bytes, const QList<Line> &lines, QStringView section, QStringView key)
{
    Place place;
    bool inSection = false;
    bool inFirstSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Line &line = lines[i];
        if (line.kind == LineKind::Section) {
            inSection = sameName(bytes, line.nameBegin, line.nameEnd, section);
            inFirstSection = inSection && place.sectionLine < 0;
            if (inFirstSection) {
                place.sectionLine = i;
                place.lastLine = i;
            }
        } else if (line.kind == LineKind::Key && inSection) {
            if (inFirstSection)
                place.lastLine = i;
            if (sameName(bytes, line.nameBegin, line.nameEnd, key)) {
                place.keyLine = i;
                return place;
            }
        }
    }
    return place;
}

// The line end the file already uses, so that an added line matches its neighbours.
QByteArray lineEndOf(const QByteArray &bytes, const QList<Line> &lines)
{
    for (const Line &line : lines) {
        if (line.hasLineEnd())
            return bytes.mid(line.end, line.next - line.end);
    }
    return kNativeLineEnd;
}

bool hasLineBreak(QStringView text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

// Why a name or value cannot be written so that it reads back the same, or an empty text.
QString unwritable(QStringView section, QStringView key, QStringView value)
{
    if (section.trimmed().isEmpty() || section.contains(u']') || hasLineBreak(section))
        return u"the section name \"%1\" cannot stand in brackets"_s.arg(section);
    const QStringView name = key.trimmed();
    if (name.isEmpty() || key.contains(u'=') || hasLineBreak(key) || name.startsWith(u'[') ||
        name.startsWith(u';') || name.startsWith(u'#'))
        return u"\"%1\" cannot be a key"_s.arg(key);
    if (hasLineBreak(value))
        return u"a value cannot span lines"_s;
    for (QStringView text : {section, key, value}) {
        if (!gbk()->canEncode(text.toString()))
            return u"\"%1\" has characters that GBK cannot hold"_s.arg(text);
    }
    return {};
}

QByteArray valueBytes(const QString &value)
{
    // Blanks at either end or quotes around the value would be taken off when it is read back.
    const auto blank = [](QChar c) {
        return c == u' ' || c == u'\t';
    };
    const bool quote =
        !value.isEmpty() && (blank(value.front()) || blank(value.back()) || isQuoted(value));
    return gbk()->fromUnicode(quote ? u'"' + value + u'"' : value);
}

// The file's bytes, empty when there is no file, nothing (and why) when it cannot be read: a
// pipe, a device or a file far larger than any INI file of ours.
std::optional<QByteArray> load(const QString &path, QString *reason = nullptr)
{
    if (!QFileInfo::exists(path))
        return QByteArray();
    const FileRead file = readRegularFile(path, IniFile::kMaxSize);
    QString why = file.error;
    if (file.ok() && file.bytes.size() > IniFile::kMaxSize)
        why = u"the file is larger than %1 KiB"_s.arg(IniFile::kMaxSize / 1024);
    if (!why.isEmpty()) {
        if (reason)
            *reason = why;
        return std::nullopt;
    }
    return file.bytes;
}

IniWrite failure(const QString &path, const QString &reason)
{
    return {u"Unable to write to %1"_s.arg(QDir::toNativeSeparators(path)), reason};
}

IniWrite save(const QString &path, const QByteArray &bytes)
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return failure(path, u"cannot create the folder %1"_s.arg(info.absolutePath()));
    // Written beside the file and renamed over it: a crash or a full disk never leaves half a
    // file behind. Renamed over a device, it would take the device's place.
    if (const QString reason = whyNotSaveable(path); !reason.isEmpty())
        return failure(path, reason);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failure(path, file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failure(path, reason);
    }
    if (!file.commit())
        return failure(path, file.errorString());
    return {};
}

std::optional<qint32> toInteger(QStringView text)
{
    bool ok = false;
    const qint32 decimal = text.toInt(&ok, 10);
    if (ok)
        return decimal;
    QStringView digits;
    if (text.startsWith(u"0x", Qt::CaseInsensitive))
        digits = text.mid(2);
    else if (text.startsWith(u'$'))
        digits = text.mid(1);
    if (digits.isEmpty() || digits.front() == u'+' || digits.front() == u'-')
        return std::nullopt;
    const quint32 hex = digits.toUInt(&ok, 16);
    if (ok)
        return qint32(hex);
    return std::nullopt;
}

} // namespace

IniText::IniText(QByteArray bytes)
    : m_bytes(std::move(bytes))
{}

std::optional<QString> IniText::value(QStringView section, QStringView key) const
{
    const QList<Line> lines = parse(m_bytes);
    const Place place = find(m_bytes, lines, section, key);
    if (place.keyLine < 0)
        return std::nullopt;
    const Line &line = lines[place.keyLine];
    QString text = decode(m_bytes, line.valueBegin, line.valueEnd);
    if (isQuoted(text))
        text = text.mid(1, text.size() - 2);
    return text;
}

QString IniText::readString(QStringView section, QStringView key, const QString &defaultValue) const
{
    return value(section, key).value_or(defaultValue);
}

bool IniText::readBool(QStringView section, QStringView key, bool defaultValue) const
{
    const std::optional<QString> text = value(section, key);
    const std::optional<qint32> number = text ? toInteger(*text) : std::nullopt;
    return number ? *number != 0 : defaultValue;
}

IniFile::IniFile(QString path)
    : m_path(std::move(path))
{}

bool IniFile::exists() const
{
    return QFileInfo(m_path).isFile();
}

IniText IniFile::read() const
{
    return IniText(load(m_path).value_or(QByteArray()));
}

QString IniFile::readString(QStringView section, QStringView key, const QString &defaultValue) const
{
    return read().readString(section, key, defaultValue);
}

bool IniFile::readBool(QStringView section, QStringView key, bool defaultValue) const
{
    return read().readBool(section, key, defaultValue);
}

std::optional<IniText> IniText::withValue(QStringView section, QStringView key,
                                          const QString &value, QString *reason) const
{
    if (QString why = unwritable(section, key, value); !why.isEmpty()) {
        if (reason)
            *reason = std::move(why);
        return std::nullopt;
    }
    const QByteArray &bytes = m_bytes;
    const QList<Line> lines = parse(bytes);
    const Place place = find(bytes, lines, section, key);
    const QByteArray newValue = valueBytes(value);

    QByteArray result;
    if (place.keyLine >= 0) {
        const Line &line = lines[place.keyLine];
        result = bytes.left(line.valueBegin) + newValue + bytes.mid(line.valueEnd);
    } else {
        const QByteArray eol = lineEndOf(bytes, lines);
        const QByteArray keyLine = gbk()->fromUnicode(key.trimmed().toString()) + '=' + newValue;
        if (place.sectionLine >= 0) {
            // After the section's last key, ahead of any blank line or comment that leads into
            // the next section.
            const Line &after = lines[place.lastLine];
            const QByteArray inserted =
                after.hasLineEnd() ? keyLine + eol : eol + keyLine; // a last line stays last
            result = bytes.left(after.next) + inserted + bytes.mid(after.next);
        } else {
            const QByteArray header = '[' + gbk()->fromUnicode(section.trimmed().toString()) + ']';
            result = bytes;
            const bool endsOpen = !lines.isEmpty() && !lines.last().hasLineEnd();
            if (endsOpen)
                result += eol;
            if (!lines.isEmpty() && !isBlankLine(bytes, lines.last()))
                result += eol; // a blank line between the sections
            result += header + eol + keyLine;
            if (!endsOpen)
                result += eol;
        }
    }
    return IniText(std::move(result));
}

IniWrite IniFile::writeString(QStringView section, QStringView key, const QString &value)
{
    QString reason;
    const std::optional<QByteArray> loaded = load(m_path, &reason);
    // Never overwrite a file that could not be read: its other sections would be lost.
    if (!loaded)
        return failure(m_path, u"the file cannot be read: %1"_s.arg(reason));
    const std::optional<IniText> changed = IniText(*loaded).withValue(section, key, value, &reason);
    if (!changed)
        return failure(m_path, reason);
    if (changed->bytes() == *loaded)
        return {};
    return save(m_path, changed->bytes());
}

IniWrite IniFile::writeBool(QStringView section, QStringView key, bool value)
{
    return writeString(section, key, value ? u"1"_s : u"0"_s);
}

} // namespace wf

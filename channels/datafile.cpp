// SPDX-License-Identifier: GPL-3.0-or-later
#include "channels/datafile.h"

#include "protocol/regularfile.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QSaveFile>
#include <QTextCodec>

#include <algorithm>

namespace wf::datafile {

using namespace Qt::StringLiterals;

namespace {

// The radio's users run the program with Chinese texts: files carry GBK whatever the system's
// own code page, so that a file saved on one PC opens on another.
QTextCodec &gbk()
{
    static QTextCodec *const codec = QTextCodec::codecForName("GBK");
    if (!codec)
        qFatal("The GBK code page is missing from this Qt installation");
    return *codec;
}

bool isBlank(QChar c)
{
    return c.unicode() >= 1 && c.unicode() <= 32;
}

bool needsQuotes(QChar c)
{
    return isBlank(c) || c == u'"' || c == u',';
}

// The lines of a file: a line ends at CR, LF or CR LF, and a break after the last line adds
// no empty one.
QList<QByteArray> splitLines(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        lines << bytes.mid(start, i - start);
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines << bytes.mid(start);
    return lines;
}

// Why a file is no data file, or the empty text when it may be one.
QString notADataFile(const QByteArray &bytes, const QList<QByteArray> &lines)
{
    if (bytes.size() > kMaxFileSize)
        return u"The file is larger than a data file can be (%1 KiB)."_s.arg(kMaxFileSize / 1024);
    if (bytes.contains('\0'))
        return u"The file holds binary data, not the text of a data file."_s;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].size() > kMaxLineLength)
            return u"Line %1 is longer than a line of a data file can be (%2 bytes)."_s.arg(i + 1)
                .arg(kMaxLineLength);
    }
    return {};
}

std::optional<Language> languageOf(const QString &line)
{
    if (line == u"0")
        return Language::Chinese;
    if (line == u"1")
        return Language::English;
    return std::nullopt;
}

QString shownName(const QString &fileName)
{
    return QDir::toNativeSeparators(fileName);
}

} // namespace

QString quoteCell(const QString &text)
{
    if (std::none_of(text.cbegin(), text.cend(), needsQuotes))
        return text;
    QString quoted = text;
    quoted.replace(u'"', u"\"\""_s);
    return u'"' + quoted + u'"';
}

QString joinRow(const ChannelRow &row)
{
    QStringList cells;
    for (const QString &cell : row)
        cells << quoteCell(cell);
    return cells.join(u',');
}

ChannelRow splitRow(QStringView line)
{
    // A NUL ends the text, as it did for the program that first wrote these files.
    if (const qsizetype nul = line.indexOf(QChar(0)); nul >= 0)
        line = line.left(nul);

    ChannelRow row;
    int fields = 0;
    const auto add = [&row, &fields](const QString &field) {
        // A loaded empty cell holds one space; the commit check and the encoder take it for
        // an empty one.
        if (fields < column::kCount)
            row[fields] = field.isEmpty() ? u" "_s : field;
        ++fields;
    };
    const qsizetype n = line.size();
    qsizetype i = 0;
    const auto skipBlanks = [&] {
        while (i < n && isBlank(line[i]))
            ++i;
    };

    skipBlanks();
    while (i < n) {
        QString field;
        if (line[i] == u'"') {
            // To the closing quote, a doubled one standing for itself; to the end of the line
            // when the quote is never closed.
            for (++i; i < n; ++i) {
                if (line[i] != u'"') {
                    field += line[i];
                } else if (i + 1 < n && line[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
        } else {
            const qsizetype start = i;
            while (i < n && line[i].unicode() > 32 && line[i] != u',')
                ++i;
            field = line.mid(start, i - start).toString();
        }
        add(field);
        skipBlanks();
        if (i < n && line[i] == u',') {
            if (i + 1 == n)
                add({}); // a comma at the very end stands before one more, empty, field
            ++i;
            skipBlanks();
        }
    }
    return row;
}

QByteArray encode(const ChannelSheet &sheet, Language language)
{
    QString text;
    const auto addLine = [&text](const QString &line) {
        text += line;
        text += u"\r\n";
    };
    for (const ChannelRow &row : sheet.rows)
        addLine(joinRow(row));
    for (const QString &setting : sheet.settings)
        addLine(setting);
    addLine(language == Language::English ? u"1"_s : u"0"_s);
    return gbk().fromUnicode(text);
}

Decoded decode(const QByteArray &bytes, const QString &fileName)
{
    // Everything is checked before anything is taken: a file that is cut short or is not a
    // data file at all leaves the window as it was.
    const QList<QByteArray> lines =
        bytes.size() > kMaxFileSize ? QList<QByteArray>() : splitLines(bytes);
    if (const QString reason = notADataFile(bytes, lines); !reason.isEmpty())
        return {{}, cannotOpenMessage(fileName, reason)};
    if (lines.size() < kLineCount)
        return {{}, u"List index out of bounds (%1)"_s.arg(lines.size())};

    // A byte that is no GBK text would come back from a save as "?", or not at all: such a
    // file is refused rather than changed behind the user's back.
    QStringList texts;
    for (int i = 0; i < kLineCount; ++i) {
        texts << gbk().toUnicode(lines[i]);
        // ASCII is GBK as it stands: only a line with other bytes needs the way back.
        const bool ascii =
            std::all_of(lines[i].cbegin(), lines[i].cend(), [](char c) { return uchar(c) < 0x80; });
        if (!ascii && gbk().fromUnicode(texts.last()) != lines[i]) {
            return {{},
                    cannotOpenMessage(fileName, u"Line %1 holds bytes that are not GBK text; "
                                                u"saving would change them."_s.arg(i + 1))};
        }
    }

    Decoded decoded;
    int line = 0;
    for (ChannelRow &row : decoded.contents.sheet.rows)
        row = splitRow(texts[line++]);
    // Any text of 28 lines would fill the table, the settings and even the captions with its
    // words (a radio image opened by mistake): a channel table starts its channel lines with
    // channel numbers. A hand-edited file may number them otherwise; each line still stands for
    // its own channel.
    for (int channel = 1; channel <= kChannelCount; ++channel) {
        bool isNumber = false;
        const int number =
            decoded.contents.sheet.rows[channel][column::Number].trimmed().toInt(&isNumber);
        if (!isNumber || number < 1 || number > kChannelCount) {
            return {{},
                    cannotOpenMessage(
                        fileName, u"It is not a channel table: line %1 does not "
                                  u"start with a channel number (1 to 16)."_s.arg(channel + 1))};
        }
    }
    for (QString &setting : decoded.contents.sheet.settings)
        setting = texts[line++];
    decoded.contents.language = languageOf(texts[kLanguageLine]);
    return decoded;
}

Decoded read(const QString &fileName)
{
    // One byte past the limit is enough to know a file is too large, whatever it claims to be.
    const FileRead file = readRegularFile(fileName, kMaxFileSize);
    if (!file.ok())
        return {{}, cannotOpenMessage(fileName, file.error)};
    return decode(file.bytes, fileName);
}

QString write(const QString &fileName, const ChannelSheet &sheet, Language language)
{
    // A device or a pipe would be replaced by a file of that name when the new file takes it.
    if (const QString why = whyNotSaveable(fileName); !why.isEmpty())
        return u"Cannot create file \"%1\". %2"_s.arg(shownName(fileName), why);
    // The new file is written beside the old one and takes its name only when complete.
    // Unbuffered, so that a disk that fills up shows in the write itself: a buffered write
    // that fails only at the commit's flush would let a cut-off file replace the old one.
    QSaveFile file(fileName);
    QString reason;
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const QByteArray bytes = encode(sheet, language);
        qint64 written = 0;
        while (written < bytes.size()) {
            const qint64 count = file.write(bytes.constData() + written, bytes.size() - written);
            if (count <= 0)
                break;
            written += count;
        }
        if (written == bytes.size() && file.commit())
            return {};
        reason = file.errorString();
        file.cancelWriting();
    } else {
        reason = file.errorString();
    }
    return u"Cannot create file \"%1\". %2"_s.arg(shownName(fileName), reason);
}

QString cannotOpenMessage(const QString &fileName, const QString &reason)
{
    return u"Cannot open file \"%1\". %2"_s.arg(shownName(fileName), reason);
}

} // namespace wf::datafile

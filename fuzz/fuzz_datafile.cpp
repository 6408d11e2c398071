// SPDX-License-Identifier: GPL-3.0-or-later
// The ".wh" reader fed any file: one the program saved, one edited by hand, or something else
// entirely picked in the open dialog.
//
// Input: the bytes of the file.
//
// Checked: a refused file gives the open message or the missing line's index, and no contents
// at all. An accepted file saved again, in either language, keeps what it kept: every settings
// line byte for byte, every row line that was written the way the program writes it byte for
// byte, and every cell's text (an empty one as the single space a loaded empty cell holds). A
// file of exactly 28 such lines, each ended by CR LF and the last "0" or "1", saves back in its
// own language as the very same bytes.
#include "fuzzinput.h"

#include "channels/datafile.h"

using namespace wf;
using namespace Qt::StringLiterals;

namespace {

bool needsQuotes(char c)
{
    return (c >= 1 && c <= 32) || c == '"' || c == ',';
}

// Whether a row line is as the program writes one: sixteen fields separated by single commas,
// each either a bare text that needs no quotes or a quoted text that does, its quotes doubled.
// Read byte by byte: in GBK every byte below 0x40 is the ASCII character itself, never part of a
// Chinese character.
bool isWrittenForm(const QByteArray &line)
{
    int fields = 0;
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (true) {
        ++fields;
        if (i < n && line[i] == '"') {
            bool needed = false;
            for (++i;; ++i) {
                if (i == n)
                    return false; // never closed
                if (line[i] != '"') {
                    needed = needed || needsQuotes(line[i]);
                } else if (i + 1 < n && line[i + 1] == '"') {
                    needed = true;
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
            if (!needed)
                return false;
        } else {
            const qsizetype start = i;
            while (i < n && line[i] != ',') {
                if (needsQuotes(line[i]) || line[i] == 0)
                    return false;
                ++i;
            }
            if (i == start)
                return false; // an empty field is read as a space and saved as " "
        }
        if (i == n)
            return fields == column::kCount;
        if (line[i] != ',')
            return false;
        ++i;
    }
}

// The lines of a file as the format reads them: a line ends at CR, LF or CR LF.
QList<QByteArray> linesOf(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        lines << bytes.mid(start, i - start);
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines << bytes.mid(start);
    return lines;
}

// Every cell as a file read back gives it: an empty one holds a single space.
ChannelSheet asReadBack(ChannelSheet sheet)
{
    for (ChannelRow &row : sheet.rows) {
        for (QString &cell : row) {
            if (cell.isEmpty())
                cell = u" "_s;
        }
    }
    return sheet;
}

} // namespace

// The GBK conversions run in system libraries built without frame pointers, where the fast
// unwinder finds a different bogus stack for nearly every allocation: with the whole stack kept
// for each, the sanitizer's store of them grows by gigabytes in a million inputs. Two frames,
// the allocation's caller and its caller, are always real.
extern "C" const char *__asan_default_options()
{
    return "malloc_context_size=2";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString name = u"radio.wh"_s;
    const datafile::Decoded decoded = datafile::decode(bytes, name);
    const QList<QByteArray> lines = linesOf(bytes);

    if (!decoded.ok()) {
        const bool cutShort = lines.size() < datafile::kLineCount &&
                              decoded.error == u"List index out of bounds (%1)"_s.arg(lines.size());
        FUZZ_CHECK(cutShort || decoded.error.startsWith(u"Cannot open file \"radio.wh\". "_s));
        const datafile::Contents nothing;
        FUZZ_CHECK(decoded.contents.sheet.rows == nothing.sheet.rows);
        FUZZ_CHECK(decoded.contents.sheet.settings == nothing.sheet.settings);
        FUZZ_CHECK(!decoded.contents.language.has_value());
        return 0;
    }
    FUZZ_CHECK(lines.size() >= datafile::kLineCount);

    // Saved in Chinese; in English only the last line differs.
    const QByteArray saved = datafile::encode(decoded.contents.sheet, Language::Chinese);
    FUZZ_CHECK(saved.endsWith("\r\n0\r\n"));
    FUZZ_CHECK(datafile::encode(decoded.contents.sheet, Language::English) ==
               saved.chopped(3) + "1\r\n");
    // 28 lines, each ended by CR LF, and no other line break.
    FUZZ_CHECK(saved.count('\n') == datafile::kLineCount);
    FUZZ_CHECK(saved.count('\r') == datafile::kLineCount);
    const QList<QByteArray> savedLines = saved.split('\n');
    FUZZ_CHECK(savedLines.size() == datafile::kLineCount + 1 && savedLines.last().isEmpty());
    for (int i = 0; i < datafile::kLanguageLine; ++i) {
        FUZZ_CHECK(savedLines[i].endsWith('\r'));
        const QByteArray line = savedLines[i].chopped(1);
        if (i > kChannelCount)
            FUZZ_CHECK(line == lines[i]); // a settings text as it was
        else if (isWrittenForm(lines[i]))
            FUZZ_CHECK(line == lines[i]);
    }

    // What was read comes back from the saved file.
    const datafile::Decoded again = datafile::decode(saved, name);
    FUZZ_CHECK(again.ok());
    FUZZ_CHECK(again.contents.language == Language::Chinese);
    FUZZ_CHECK(again.contents.sheet.rows == asReadBack(decoded.contents.sheet).rows);
    FUZZ_CHECK(again.contents.sheet.settings == decoded.contents.sheet.settings);

    // A file exactly as the program writes one comes back byte for byte.
    bool writtenForm = decoded.contents.language.has_value() &&
                       lines.size() == datafile::kLineCount && bytes == lines.join("\r\n") + "\r\n";
    for (int i = 0; writtenForm && i <= kChannelCount; ++i)
        writtenForm = isWrittenForm(lines[i]);
    if (writtenForm) {
        const QByteArray own =
            *decoded.contents.language == Language::English ? saved.chopped(3) + "1\r\n" : saved;
        FUZZ_CHECK(own == bytes);
    }
    return 0;
}

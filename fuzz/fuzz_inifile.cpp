// SPDX-License-Identifier: GPL-3.0-or-later
// The INI file's reader and writer fed any file and any names and value: a file a user or another
// program has edited by hand, with any line ends and bytes that are no GBK text.
//
// Input: an options byte (low four bits 0001: also through a file on disk, one input in sixteen,
// as a save is slow), then the section, the key, the
// value, and a second section and key to look at, each ended by a 0xFF byte and read as UTF-8;
// the rest of the input is the file's bytes.
//
// Checked: reading never fails; a write that is refused changes nothing, on disk neither; a write
// that is taken reads back as the value written, leaves every other key as it read before, and
// changes the bytes of one value within its line or adds lines, keeping every byte of the other
// lines, their line ends included.
#include "fuzzinput.h"

#include "i18n/inifile.h"

#include <QFile>
#include <QTemporaryDir>

using namespace wf;

namespace {

bool isLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

// Before and after differ in one run of bytes: either bytes were only added, or the bytes
// replaced hold no line end and neither do the bytes that replaced them.
void checkOneValueOrAddedLines(const QByteArray &before, const QByteArray &after)
{
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype prefix = 0;
    while (prefix < shorter && before[prefix] == after[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    const QByteArray removed = before.mid(prefix, before.size() - prefix - suffix);
    const QByteArray added = after.mid(prefix, after.size() - prefix - suffix);
    if (removed.isEmpty())
        return;
    FUZZ_CHECK(std::none_of(removed.begin(), removed.end(), isLineEnd));
    FUZZ_CHECK(std::none_of(added.begin(), added.end(), isLineEnd));
}

bool sameName(const QString &a, const QString &b)
{
    return QStringView(a).trimmed().compare(QStringView(b).trimmed(), Qt::CaseInsensitive) == 0;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// The same write through the file on disk: what is saved is what the text said, and a refused
// write leaves the file as it was.
void checkOnDisk(const QByteArray &bytes, const QStringList &names,
                 const std::optional<IniText> &changed)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("inifile.ini"));
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(bytes) == bytes.size());
    }
    IniFile ini(path);
    FUZZ_CHECK(ini.read().bytes() == bytes);
    const IniWrite written = ini.writeString(names[0], names[1], names[2]);
    FUZZ_CHECK(written.ok() == changed.has_value());
    FUZZ_CHECK(contents(path) == (changed ? changed->bytes() : bytes));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::InputReader input(data, size);
    const std::uint8_t options = input.byte();
    const QStringList names = input.texts(5);
    const QByteArray bytes = input.bytes(size);
    const QString &section = names[0];
    const QString &key = names[1];
    const QString &value = names[2];

    const IniText text(bytes);
    const std::optional<QString> probe = text.value(names[3], names[4]);
    (void)text.readBool(section, key, true);

    QString reason;
    const std::optional<IniText> changed = text.withValue(section, key, value, &reason);
    if ((options & 0x0F) == 1)
        checkOnDisk(bytes, names, changed);
    if (!changed) {
        FUZZ_CHECK(!reason.isEmpty());
        return 0;
    }
    const QByteArray after = changed->bytes();
    FUZZ_CHECK(changed->value(section, key) == std::optional<QString>(value));
    if (!(sameName(names[3], section) && sameName(names[4], key)))
        FUZZ_CHECK(changed->value(names[3], names[4]) == probe);
    checkOneValueOrAddedLines(bytes, after);
    // A second write of the same value changes nothing more.
    const std::optional<IniText> again = changed->withValue(section, key, value);
    FUZZ_CHECK(again && again->bytes() == after);
    return 0;
}

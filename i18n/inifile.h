// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

namespace wf {

/** The outcome of a write: empty on success, otherwise the message for the user and the cause. */
struct [[nodiscard]] IniWrite
{
    QString error;  ///< "Unable to write to <file>", shown as it is
    QString reason; ///< why, for a log or a test
    bool ok() const { return error.isEmpty(); }
};

/** The text of an INI file in the GBK code page as read at one moment, laid out the way the
 *  program's users edit it by hand: sections in brackets, "key=value" lines, ";" or "#"
 *  comments. Names compare without regard to case and without the blanks around them; the first
 *  matching key of the first section that has it wins. A value in matching quotes loses them, so
 *  a caption can keep its trailing blanks. */
class IniText final
{
public:
    IniText() = default;
    explicit IniText(QByteArray bytes);

    /** The bytes as they are in the file. */
    QByteArray bytes() const { return m_bytes; }

    /** The value of a key, without the blanks and quotes around it, or nothing when the section
     *  or the key is missing. A key with nothing after "=" has an empty value. */
    std::optional<QString> value(QStringView section, QStringView key) const;

    /** The value of a key, or `defaultValue` when it is missing. */
    QString readString(QStringView section, QStringView key, const QString &defaultValue) const;

    /** A key read as an integer, non-zero meaning true; a missing key or a value that is not an
     *  integer (decimal, or hexadecimal after "0x" or "$") gives `defaultValue`. */
    bool readBool(QStringView section, QStringView key, bool defaultValue) const;

    /** The text with a key set, added when missing (with its section when that is missing too),
     *  every other byte as it was; nothing, and why in `reason`, when the names or the value
     *  cannot be written so that they read back the same. */
    std::optional<IniText> withValue(QStringView section, QStringView key, const QString &value,
                                     QString *reason = nullptr) const;

private:
    QByteArray m_bytes;
};

/** An INI file on disk. Every read takes the file afresh, so edits made while the program runs
 *  are kept. A write changes the bytes of one value, or adds one line (and a section header when
 *  the section is missing), and leaves every other byte as it was: foreign sections, comments,
 *  spacing, line ends, a missing final line end. The file is replaced atomically, its folder
 *  created when missing; a write that fails leaves the disk as it was. */
class IniFile final
{
public:
    /** The INI file holds a few captions; a larger file is something else, and is neither read
     *  nor replaced. */
    static constexpr qint64 kMaxSize = 1024 * 1024;

    explicit IniFile(QString path);

    QString path() const { return m_path; }

    /** True when the file is there (a folder of that name does not count). */
    bool exists() const;

    /** The file's text now; empty when the file is missing or cannot be read (a pipe or a
     *  device is not read, and never waited for). */
    IniText read() const;

    /** Shorthands for the same reads of `read()`. */
    QString readString(QStringView section, QStringView key, const QString &defaultValue) const;
    bool readBool(QStringView section, QStringView key, bool defaultValue) const;

    /** Sets a key, adding it (and its section) when missing. */
    IniWrite writeString(QStringView section, QStringView key, const QString &value);

    /** Sets a key to "1" or "0". */
    IniWrite writeBool(QStringView section, QStringView key, bool value);

private:
    QString m_path;
};

} // namespace wf

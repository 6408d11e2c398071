// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace wf::vradio {

/** The radio's end of a pseudo-terminal line; the program under test opens the other end. */
class PseudoTerminal final
{
public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    /** Creates the line in raw mode. The radio keeps the far end open too, so the line stays up
     *  while the program closes and reopens its port between transfers. */
    bool open(QString *error);

    /** Makes `path` a symbolic link to the far end; an existing link there is replaced. */
    bool makeLink(const QString &path, QString *error);

    /** Waits, up to `timeoutMs`, until the program has read everything the radio sent before.
     *  A pseudo-terminal drops unread bytes when it hangs up; a cable would have delivered them. */
    void waitUntilRead(int timeoutMs);

    /** Closes the line for good (the program sees a hang-up) and removes the link. */
    void close();

    /** The radio's end, for poll, read and write; -1 once closed. */
    int fd() const { return m_master; }

    /** The device the program opens. */
    QString devicePath() const { return m_devicePath; }

private:
    int m_master = -1;
    int m_farEnd = -1;
    QString m_devicePath;
    QString m_link;
};

} // namespace wf::vradio

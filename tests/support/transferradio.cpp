// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/transferradio.h"

#include <QDir>
#include <QFile>

#include <algorithm>

using wf::vradio::RadioMemory;

TransferRadio::TransferRadio(const QString &folder, const QString &name, const QStringList &options,
                             const QString &port)
    : m_port(port.isEmpty() ? QDir(folder).filePath(name + QStringLiteral(".tty")) : port)
    , m_imagePath(QDir(folder).filePath(name + QStringLiteral(".img")))
    , m_logPath(QDir(folder).filePath(name + QStringLiteral(".log")))
    , m_options(options)
{}

TransferRadio::~TransferRadio()
{
    stop();
}

bool TransferRadio::start(const RadioMemory &memory)
{
    if (!memory.saveFile(m_imagePath, &m_error))
        return false;
    stop();
    m_process = std::make_unique<VirtualRadioProcess>(
        QStringList{QStringLiteral("--image"), m_imagePath, QStringLiteral("--log"), m_logPath,
                    QStringLiteral("--link"), m_port} +
        m_options);
    if (!m_process->start()) {
        m_error = m_process->errorString();
        return false;
    }
    return true;
}

bool TransferRadio::stop()
{
    if (!m_process)
        return true;
    const bool clean = m_process->stop();
    m_process.reset();
    return clean;
}

RadioMemory TransferRadio::image() const
{
    RadioMemory memory;
    QString error;
    if (!memory.loadFile(m_imagePath, &error))
        qWarning("%s", qPrintable(error));
    return memory;
}

QList<TransferLogLine> TransferRadio::log() const
{
    QList<TransferLogLine> lines;
    QFile file(m_logPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return lines;
    while (!file.atEnd()) {
        // "   312.494 RX    5 5200012006  notes"; "--" lines are events, '#' lines comments.
        const QString text = QString::fromUtf8(file.readLine()).trimmed();
        const QStringList fields = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (fields.size() < 4 ||
            (fields[1] != QLatin1String("RX") && fields[1] != QLatin1String("TX")))
            continue;
        TransferLogLine line;
        line.ms = fields[0].toDouble();
        line.received = fields[1] == QLatin1String("RX");
        line.bytes = QByteArray::fromHex(fields[3].toLatin1());
        line.notes = fields.mid(4).join(QLatin1Char(' '));
        lines << line;
    }
    return lines;
}

QList<QByteArray> TransferRadio::received() const
{
    QList<QByteArray> frames;
    for (const TransferLogLine &line : log()) {
        if (line.received)
            frames << line.bytes;
    }
    return frames;
}

bool TransferRadio::logMentions(const QString &text) const
{
    for (const TransferLogLine &line : log()) {
        if (line.notes.contains(text))
            return true;
    }
    return false;
}

QList<QByteArray> withoutRepeats(const QList<QByteArray> &frames)
{
    QList<QByteArray> kept;
    for (const QByteArray &frame : frames) {
        const bool repeat =
            !kept.isEmpty() &&
            (frame == kept.last() ||
             (frame.size() == wf::frame::kBlockFrameSize &&
              frame.startsWith(kept.last().left(std::min<qsizetype>(kept.last().size(), 7)))));
        if (!repeat)
            kept << frame;
    }
    return kept;
}

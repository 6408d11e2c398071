// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/frame.h"
#include "tools/vradio/radiomemory.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace wf::vradio {

/** Which occurrences of an event a fault hits: none, the Nth one, or every one. */
class Occurrence final
{
public:
    Occurrence() = default;

    /** Hits occurrence n only, counted from 1. */
    static Occurrence nth(int n);

    /** Hits every occurrence. */
    static Occurrence every();

    /** Reads "N" (a whole number from 1) or "all"; false for anything else. */
    static bool parse(const QString &text, Occurrence *out);

    /** True unless the fault is off. */
    bool isSet() const { return m_every || m_nth > 0; }

    /** True when the fault hits occurrence `count` (counted from 1). */
    bool hits(int count) const { return m_every || (m_nth > 0 && count == m_nth); }

private:
    int m_nth = 0;
    bool m_every = false;
};

/** Deliberate misbehaviour of the radio, for tests of the program's side of the line. Counts
 *  are of frames received unless a field says otherwise; 0 turns a count off. */
struct FaultOptions
{
    int silentFirst = 0;     ///< frames 1..N are ignored as if the radio were not listening yet
    int stopAfter = 0;       ///< frames after the Nth are ignored, as by a radio that died
    int hangupAfter = 0;     ///< after frame N (and its answer) the line is closed
    Occurrence wrongBlock;   ///< these data frames (counted among data frames) carry block + 1
    Occurrence corruptReply; ///< these replies (counted among all replies) get a flipped byte
    Occurrence splitReply;   ///< these data frames (counted among data frames) come in two halves
    int splitPauseMs = 50;   ///< the pause between the two halves of a split data frame
    int splitAt = 17;        ///< how many bytes of a split data frame go before the pause
    bool foreignCrc = false; ///< data frames carry their CRC low byte first, as some radios do
    bool doubleAck = false;  ///< every 0x06 the radio sends is followed by a second 0x06
    int doubleAckGapMs = 0;  ///< the pause before that second 0x06; 0 sends both in one burst
    /** A block frame for this bank and block is acknowledged as usual, but payload byte
     *  `storeFlipByte` goes into the memory flipped (XOR 0xFF), as by a radio with a bad memory
     *  cell; -1 turns it off. */
    int storeFlipBank = -1;
    int storeFlipBlock = -1;
    int storeFlipByte = -1;
};

/** One step of the radio's answer to a frame. */
struct ReplyAction
{
    enum class Kind { Send, Pause, HangUp };

    Kind kind = Kind::Send;
    QByteArray bytes; ///< Send: the bytes, back to back on the line
    int pauseMs = 0;  ///< Pause: line silence before the next step

    /** Puts bytes on the line. */
    static ReplyAction send(const QByteArray &bytes) { return {Kind::Send, bytes, 0}; }
    /** Keeps the line silent for a while. */
    static ReplyAction pause(int ms) { return {Kind::Pause, {}, ms}; }
    /** Closes the line for good, like a pulled cable. */
    static ReplyAction hangUp() { return {Kind::HangUp, {}, 0}; }
};

/** What a received frame was taken for, judged by its leading bytes. */
enum class FrameKind {
    Handshake,       ///< "PROGRAM"
    ReadRequest,     ///< 'R', bank, block, 0x20
    BlockFrame,      ///< 'W', bank, block, 0x20, 28 payload bytes, CRC
    Acknowledgement, ///< 0x06 from the program
    Unknown,
};

/** How the radio dealt with one received frame. */
struct FrameResult
{
    FrameKind kind = FrameKind::Unknown;
    int bank = -1;              ///< for requests and block frames
    int block = -1;             ///< for requests and block frames
    bool stored = false;        ///< a block frame changed the memory
    QList<ReplyAction> actions; ///< empty: the radio stays silent
    QStringList notes;          ///< why it stays silent or which fault it played, for the log
};

/** The radio's side of the programming protocol: one received frame in, the steps of its answer
 *  out. Frames are recognised by their leading bytes; anything after a complete frame (the
 *  program resends its whole 34-byte buffer, or adds a 0x06) is ignored. */
class RadioEngine final
{
public:
    explicit RadioEngine(RadioMemory *memory, const FaultOptions &faults = {});

    /** Handles one frame as delimited by line silence. */
    FrameResult handleFrame(const QByteArray &frame);

    /** Frames handed to handleFrame so far. */
    int framesReceived() const { return m_frames; }

    /** Answers given so far (acknowledgements and data frames; a doubled 0x06 counts once). */
    int repliesSent() const { return m_replies; }

    /** The 34-byte data frame of a block: 'W', bank, block, 0x20, payload, CRC high, CRC low. */
    static QByteArray dataFrame(int bank, int block, const Payload &payload);

private:
    void classify(const QByteArray &frame, FrameResult *result) const;
    QByteArray answer(const QByteArray &frame, FrameResult *result);
    void addReplyActions(const QByteArray &reply, FrameResult *result);

    RadioMemory *m_memory;
    FaultOptions m_faults;
    int m_frames = 0;
    int m_replies = 0;
    int m_dataFrames = 0;
};

} // namespace wf::vradio

// SPDX-License-Identifier: GPL-3.0-or-later
#include "compare/shownfields.h"

#include "channels/channeltable.h"
#include "channels/mainblocks.h"
#include "signalling/dtmf/dtmfcontrols.h"
#include "signalling/fivetone/fivetonecontrols.h"
#include "signalling/fsk/fskcontrols.h"
#include "signalling/twotone/twotonecontrols.h"

#include <algorithm>

namespace wf::compare {

namespace {

struct WindowName
{
    Window window;
    QStringView key;
    WordPair name;
};

constexpr WindowName kWindowNames[] = {
    {Window::Channels, u"channels", {u"信道表", u"Channel table"}},
    {Window::Settings, u"settings", {u"设置", u"Settings"}},
    {Window::Dtmf, u"dtmf", same(u"DTMF")},
    {Window::TwoTone, u"2tone", same(u"2-Tone")},
    {Window::FiveTone, u"5tone", same(u"5-Tone")},
    {Window::Fsk, u"fsk", same(u"FSK")},
};

// The word before a grid's row number. The channel table's rows are channels; the 5-Tone
// standards grid names each row by its standard.
struct GridRows
{
    Window window;
    QStringView grid;
    WordPair word;
};

constexpr GridRows kGridRows[] = {
    {Window::Channels, u"xg", {u"信道", u"CH"}},
    {Window::Dtmf, u"xg2", {u"存储器", u"memory"}},
    {Window::TwoTone, twotone::kEncodeGrid, {u"编码", u"encode"}},
    {Window::TwoTone, twotone::kDecodeGrid, {u"解码", u"decode"}},
    {Window::FiveTone, fivetone::kStandardGrid, {u"标准", u"standard"}},
    {Window::FiveTone, fivetone::kEncodeGrid, {u"编码", u"encode"}},
    {Window::FiveTone, fivetone::kDecodeGrid, {u"解码", u"decode"}},
    {Window::Fsk, fsk::kEntryGrid, {u"编号", u"entry"}},
};

// The settings boxes by object name, ComboBox1 first.
constexpr QStringView kSettingBoxes[] = {
    u"ComboBox1", u"ComboBox2", u"ComboBox3", u"ComboBox4", u"ComboBox5",
    u"ComboBox6", u"ComboBox7", u"ComboBox8", u"ComboBox9", u"ComboBox10",
};
static_assert(std::size(kSettingBoxes) == setting::kCount);

constexpr WordPair kChecked{u"勾选", u"checked"};
constexpr WordPair kUnchecked{u"未勾选", u"unchecked"};
constexpr WordPair kEmpty{u"（空）", u"(empty)"};

// A block as the decoders take it: the frame header and the payload, nothing after.
using BlockFrame = std::array<quint8, frame::kBlockFrameSize>;

BlockFrame frameOf(const BlockAddress &address, const BlockPayload &payload)
{
    BlockFrame frame{};
    putBlockHeader(frame.data(), quint8(address.bank), quint8(address.block));
    std::copy(payload.begin(), payload.end(), frame.begin() + frame::kPayloadOffset);
    return frame;
}

// The texts a fresh window shows after reading every block of its bank, in block order as a
// read brings them (the DTMF memories need block 0's digit counts first).
template<class Texts>
Texts readBank(const RadioImage &image, Bank bank, Texts texts,
               bool (*decode)(const quint8 *, Texts &, Language), Language language)
{
    for (const BlockAddress &address : RadioImage::addresses(bank))
        decode(frameOf(address, image.payload(address.bank, address.block)).data(), texts,
               language);
    return texts;
}

template<std::size_t M>
const Caption *findCaption(const Caption (&captions)[M], QStringView control, int column)
{
    for (const Caption &caption : captions) {
        if (caption.control == control && caption.column == column)
            return &caption;
    }
    return nullptr;
}

template<std::size_t M>
WordPair captionIn(const Caption (&captions)[M], QStringView control, int column)
{
    const Caption *found = findCaption(captions, control, column);
    return found ? found->text : WordPair{};
}

template<std::size_t M>
bool repeatedInGrid(const Caption (&captions)[M], const Caption &caption)
{
    return std::count_if(std::begin(captions), std::end(captions), [&](const Caption &other) {
               return other.control == caption.control && other.column != kNoColumn &&
                      other.text.english == caption.text.english;
           }) > 1;
}

// A column whose caption the grid repeats belongs to the nearest column on its left whose
// caption is the grid's only one ("Response Mode" to "Decode2").
template<std::size_t M>
WordPair qualifierIn(const Caption (&captions)[M], QStringView grid, int column)
{
    const Caption *caption = findCaption(captions, grid, column);
    if (!caption || !repeatedInGrid(captions, *caption))
        return {};
    for (int c = column - 1; c > 0; --c) {
        const Caption *left = findCaption(captions, grid, c);
        if (left && !repeatedInGrid(captions, *left))
            return left->text;
    }
    return {};
}

template<class Record, std::size_t N, std::size_t M>
void addControls(QList<ShownField> &fields, Window window, const Control<Record> (&controls)[N],
                 const Caption (&captions)[M], const Record &record, Language language)
{
    for (const Control<Record> &control : controls) {
        if (!control.stored)
            continue;
        ShownField field;
        field.window = window;
        field.control = control.name;
        field.caption =
            captionIn(captions, control.label.isEmpty() ? control.name : control.label, kNoColumn);
        field.text = control.flag
                         ? (record.*control.flag ? kChecked : kUnchecked).in(language).toString()
                         : record.*control.text;
        fields << field;
    }
}

ShownField cellField(Window window, QStringView grid, int row, int column, WordPair caption,
                     WordPair qualifier, const QString &text)
{
    ShownField field;
    field.window = window;
    field.control = grid;
    field.row = row;
    field.column = column;
    field.caption = caption;
    field.qualifier = qualifier;
    field.text = text;
    return field;
}

template<class Row, std::size_t N, std::size_t R, std::size_t M>
void addGrid(QList<ShownField> &fields, Window window, QStringView grid,
             const GridCell<Row> (&cells)[N], const std::array<Row, R> &rows,
             const Caption (&captions)[M])
{
    for (std::size_t r = 0; r < R; ++r) {
        for (const GridCell<Row> &cell : cells) {
            fields << cellField(window, grid, int(r) + 1, cell.column,
                                captionIn(captions, grid, cell.column),
                                qualifierIn(captions, grid, cell.column), rows[r].*cell.text);
        }
    }
}

QList<ShownField> channelFields(const RadioImage &image, Language language)
{
    QList<ShownField> fields;
    const auto &columns = table::channelColumns();
    for (const BlockAddress &address : RadioImage::addresses(Bank::Channels)) {
        ChannelRow row;
        DecodeChannelBlock(frameOf(address, image.payload(address.bank, address.block)).data(), row,
                           language);
        for (int c = column::RxFrequency; c < column::kCount; ++c)
            fields << cellField(Window::Channels, u"xg", address.block, c,
                                columns[std::size_t(c)].caption, {}, row[std::size_t(c)]);
    }
    return fields;
}

QList<ShownField> settingsFields(const RadioImage &image, Language language)
{
    SettingsTexts settings = table::initialSettings(language);
    const BlockAddress address{Bank::Settings, 0};
    DecodeSettingsBlock(frameOf(address, image.payload(address.bank, address.block)).data(),
                        settings, language);
    QList<ShownField> fields;
    for (int i = 0; i < setting::kCount; ++i) {
        ShownField field;
        field.window = Window::Settings;
        field.control = kSettingBoxes[i];
        field.caption = table::settingsBoxes()[std::size_t(i)].caption;
        field.text = settings[std::size_t(i)];
        fields << field;
    }
    return fields;
}

QList<ShownField> dtmfFields(const RadioImage &image, Language language)
{
    const dtmf::Texts texts =
        readBank(image, Bank::Dtmf, dtmf::initialTexts(language), dtmf::decodeBlock, language);
    QList<ShownField> fields;
    addControls(fields, Window::Dtmf, dtmf::kControls, dtmf::kCaptions, texts, language);
    // The memories are the grid's one column of texts.
    constexpr QStringView grid = u"xg2";
    constexpr int column = 1;
    for (int m = 0; m < dtmf::kMemoryCount; ++m)
        fields << cellField(Window::Dtmf, grid, m + 1, column,
                            captionIn(dtmf::kCaptions, grid, column), {},
                            texts.memories[std::size_t(m)]);
    return fields;
}

QList<ShownField> twoToneFields(const RadioImage &image, Language language)
{
    const twotone::Texts texts = readBank(image, Bank::TwoTone, twotone::initialTexts(language),
                                          twotone::decodeBlock, language);
    QList<ShownField> fields;
    addControls(fields, Window::TwoTone, twotone::kControls, twotone::kCaptions, texts, language);
    addGrid(fields, Window::TwoTone, twotone::kEncodeGrid, twotone::kEncodeCells, texts.pairs,
            twotone::kCaptions);
    addGrid(fields, Window::TwoTone, twotone::kDecodeGrid, twotone::kDecodeCells, texts.decodeRows,
            twotone::kCaptions);
    return fields;
}

QList<ShownField> fiveToneFields(const RadioImage &image, Language language)
{
    const fivetone::Texts texts = readBank(image, Bank::FiveTone, fivetone::initialTexts(language),
                                           fivetone::decodeBlock, language);
    QList<ShownField> fields;
    addControls(fields, Window::FiveTone, fivetone::kControls, fivetone::kCaptions, texts,
                language);
    addGrid(fields, Window::FiveTone, fivetone::kStandardGrid, fivetone::kStandardCells,
            texts.standards, fivetone::kCaptions);
    addGrid(fields, Window::FiveTone, fivetone::kEncodeGrid, fivetone::kEncodeCells,
            texts.encodeRows, fivetone::kCaptions);
    addGrid(fields, Window::FiveTone, fivetone::kDecodeGrid, fivetone::kDecodeCells,
            texts.decodeRows, fivetone::kCaptions);
    return fields;
}

QList<ShownField> fskFields(const RadioImage &image, Language language)
{
    const fsk::Texts texts =
        readBank(image, Bank::Fsk, fsk::initialTexts(language), fsk::decodeBlock, language);
    QList<ShownField> fields;
    addControls(fields, Window::Fsk, fsk::kControls, fsk::kCaptions, texts, language);
    addGrid(fields, Window::Fsk, fsk::kEntryGrid, fsk::kEntryCells, texts.entries, fsk::kCaptions);
    return fields;
}

const WindowName &entryOf(Window window)
{
    for (const WindowName &entry : kWindowNames) {
        if (entry.window == window)
            return entry;
    }
    return kWindowNames[0];
}

} // namespace

Bank bankOf(Window window)
{
    switch (window) {
    case Window::Channels:
        return Bank::Channels;
    case Window::Settings:
        return Bank::Settings;
    case Window::Dtmf:
        return Bank::Dtmf;
    case Window::TwoTone:
        return Bank::TwoTone;
    case Window::FiveTone:
        return Bank::FiveTone;
    case Window::Fsk:
        return Bank::Fsk;
    }
    return Bank::Channels;
}

QStringView keyOf(Window window)
{
    return entryOf(window).key;
}

bool windowOfKey(QStringView key, Window *window)
{
    for (const WindowName &entry : kWindowNames) {
        if (entry.key == key) {
            *window = entry.window;
            return true;
        }
    }
    return false;
}

WordPair nameOf(Window window)
{
    return entryOf(window).name;
}

QList<ShownField> shownFields(Window window, const RadioImage &image, Language language)
{
    switch (window) {
    case Window::Channels:
        return channelFields(image, language);
    case Window::Settings:
        return settingsFields(image, language);
    case Window::Dtmf:
        return dtmfFields(image, language);
    case Window::TwoTone:
        return twoToneFields(image, language);
    case Window::FiveTone:
        return fiveToneFields(image, language);
    case Window::Fsk:
        return fskFields(image, language);
    }
    return {};
}

WordPair rowWordOf(Window window, QStringView grid)
{
    for (const GridRows &rows : kGridRows) {
        if (rows.window == window && rows.grid == grid)
            return rows.word;
    }
    return {};
}

QString placeOf(const ShownField &field, Language language)
{
    const QString window = nameOf(field.window).in(language).toString();
    if (!field.isCell())
        return window;
    if (field.window == Window::Channels)
        return QStringLiteral("%1 %2")
            .arg(rowWordOf(field.window, field.control).in(language))
            .arg(field.row);
    if (field.window == Window::FiveTone && field.control == fivetone::kStandardGrid &&
        field.row <= int(std::size(fivetone::kStandardWords)))
        return QStringLiteral("%1 %2").arg(
            window, fivetone::kStandardWords[field.row - 1].word.in(language));
    return QStringLiteral("%1 %2 %3")
        .arg(window, rowWordOf(field.window, field.control).in(language))
        .arg(field.row);
}

QString captionOf(const ShownField &field, Language language)
{
    const auto bare = [language](WordPair pair) {
        QString text = pair.in(language).toString().trimmed();
        while (text.endsWith(u':') || text.endsWith(u'：'))
            text.chop(1);
        return text;
    };
    const QString caption = bare(field.caption);
    if (field.qualifier.english.isEmpty())
        return caption;
    return (language == Language::English ? QStringLiteral("%1 (%2)") : QStringLiteral("%1（%2）"))
        .arg(caption, bare(field.qualifier));
}

QString bytePlace(Window window, int block, int byte, Language language)
{
    const bool english = language == Language::English;
    switch (window) {
    case Window::Channels:
        return (english ? QStringLiteral("CH %1 byte %2") : QStringLiteral("信道 %1 第 %2 字节"))
            .arg(block)
            .arg(byte);
    case Window::Settings:
        return (english ? QStringLiteral("%1 byte %2") : QStringLiteral("%1 第 %2 字节"))
            .arg(nameOf(window).in(language))
            .arg(byte);
    default:
        return (english ? QStringLiteral("%1 block %2 byte %3")
                        : QStringLiteral("%1 第 %2 块第 %3 字节"))
            .arg(nameOf(window).in(language))
            .arg(block)
            .arg(byte);
    }
}

QString shownText(const QString &text, Language language)
{
    return text.trimmed().isEmpty() ? kEmpty.in(language).toString() : text;
}

} // namespace wf::compare

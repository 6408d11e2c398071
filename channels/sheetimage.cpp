// SPDX-License-Identifier: GPL-3.0-or-later
#include "channels/sheetimage.h"

#include "channels/channeltable.h"
#include "channels/refusals.h"

namespace wf {

namespace {

BlockPayload payloadOf(const FrameBuffer &tx)
{
    BlockPayload payload;
    std::copy_n(tx.begin() + frame::kPayloadOffset, frame::kPayloadSize, payload.begin());
    return payload;
}

FrameBuffer frameOf(Bank bank, int block, const BlockPayload &payload)
{
    FrameBuffer frame{};
    putBlockHeader(frame.data(), quint8(bank), quint8(block));
    std::copy(payload.begin(), payload.end(), frame.begin() + frame::kPayloadOffset);
    return frame;
}

} // namespace

Conversion sheetOverImage(const ChannelSheet &sheet, RadioImage *image, Language language)
{
    const bool english = language == Language::English;
    RadioImage built = *image;
    for (int row = 1; row <= kChannelCount; ++row) {
        FrameBuffer tx = frameOf(Bank::Channels, row, built.payload(Bank::Channels, row));
        const Conversion result =
            EncodeChannelBlock(tx, row, sheet.rows[std::size_t(row)], language);
        // A refusal names its channel itself; a text that is no number does not.
        if (!result.ok()) {
            const QString named = channelFieldName(row, {}, language).trimmed();
            return {
                result.error.startsWith(named + QLatin1Char(' '))
                    ? result.error
                    : (english ? QStringLiteral("channel %1: %2") : QStringLiteral("信道%1：%2"))
                          .arg(row)
                          .arg(result.error)};
        }
        built.setPayload(Bank::Channels, row, payloadOf(tx));
    }
    FrameBuffer tx = frameOf(Bank::Settings, 0, built.payload(Bank::Settings, 0));
    const Conversion result = EncodeSettingsBlock(tx, sheet.settings, language);
    if (!result.ok())
        return {(english ? QStringLiteral("settings: %1") : QStringLiteral("设置：%1"))
                    .arg(result.error)};
    built.setPayload(Bank::Settings, 0, payloadOf(tx));
    *image = built;
    return {};
}

ChannelSheet imageToSheet(const RadioImage &image, Language language)
{
    ChannelSheet sheet;
    const auto &columns = table::channelColumns();
    for (int c = 0; c < column::kCount; ++c)
        sheet.rows[0][std::size_t(c)] = columns[std::size_t(c)].caption.in(language).toString();
    for (int row = 1; row <= kChannelCount; ++row) {
        ChannelRow &cells = sheet.rows[std::size_t(row)];
        cells[column::Number] = QString::number(row);
        const FrameBuffer frame = frameOf(Bank::Channels, row, image.payload(Bank::Channels, row));
        DecodeChannelBlock(frame.data(), cells, language);
    }
    sheet.settings = table::initialSettings(language);
    const FrameBuffer settings = frameOf(Bank::Settings, 0, image.payload(Bank::Settings, 0));
    DecodeSettingsBlock(settings.data(), sheet.settings, language);
    return sheet;
}

ChannelSheet sheetIn(ChannelSheet sheet, Language language)
{
    for (int row = 1; row <= kChannelCount; ++row)
        table::translateRow(sheet.rows[std::size_t(row)], language);
    const auto &boxes = table::settingsBoxes();
    for (int i = 0; i < setting::kCount; ++i) {
        sheet.settings[std::size_t(i)] =
            table::translate(sheet.settings[std::size_t(i)], boxes[std::size_t(i)].list, language);
    }
    return sheet;
}

} // namespace wf

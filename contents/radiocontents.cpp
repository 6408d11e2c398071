// SPDX-License-Identifier: GPL-3.0-or-later
#include "contents/radiocontents.h"

#include "channels/sheetimage.h"
#include "signalling/dtmf/dtmfcontrols.h"
#include "signalling/fivetone/fivetonecontrols.h"
#include "signalling/fsk/fskcontrols.h"
#include "signalling/twotone/twotonecontrols.h"

namespace wf {

namespace {

// Every block of a bank handed to its window's decoder, block 0 first, as a complete read does.
template<class Texts, class Decode>
Texts decodeBank(const RadioImage &image, Bank bank, Texts texts, Decode decode, Language language)
{
    FrameBuffer frame{};
    for (const BlockAddress &address : RadioImage::addresses(bank)) {
        putBlockFrame(frame, bank, address.block, image.payload(bank, address.block));
        decode(frame.data(), texts, language);
    }
    return texts;
}

template<std::size_t N>
Conversion putBlocks(const WriteBlocks<N> &blocks, Bank bank, RadioImage *image)
{
    if (!blocks.ok())
        return {blocks.error};
    for (std::size_t block = 0; block < N; ++block)
        image->setPayload(bank, int(block), blocks.payloads[block]);
    return {};
}

} // namespace

RadioContents contentsOfImage(const RadioImage &image, Language language)
{
    RadioContents contents;
    contents.sheet = imageToSheet(image, language);
    contents.dtmf =
        decodeBank(image, Bank::Dtmf, dtmf::initialTexts(language), dtmf::decodeBlock, language);
    contents.twoTone = decodeBank(image, Bank::TwoTone, twotone::initialTexts(language),
                                  twotone::decodeBlock, language);
    contents.fiveTone = decodeBank(image, Bank::FiveTone, fivetone::initialTexts(language),
                                   fivetone::decodeBlock, language);
    contents.fsk =
        decodeBank(image, Bank::Fsk, fsk::initialTexts(language), fsk::decodeBlock, language);
    return contents;
}

Conversion contentsOverImage(const RadioContents &contents, Language language, RadioImage *image)
{
    RadioImage built = *image;
    Conversion done = sheetOverImage(contents.sheet, &built, language);
    if (done.ok() && contents.dtmf)
        done = putBlocks(dtmf::encodeBlocks(*contents.dtmf, language), Bank::Dtmf, &built);
    if (done.ok() && contents.fsk)
        done = putBlocks(fsk::encodeBlocks(*contents.fsk, language), Bank::Fsk, &built);
    if (done.ok() && contents.twoTone)
        done = putBlocks(twotone::encodeBlocks(*contents.twoTone, language), Bank::TwoTone, &built);
    if (done.ok() && contents.fiveTone)
        done =
            putBlocks(fivetone::encodeBlocks(*contents.fiveTone, language), Bank::FiveTone, &built);
    if (done.ok())
        *image = built;
    return done;
}

} // namespace wf

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "channels/mainblocks.h"
#include "i18n/language.h"
#include "protocol/radioimage.h"
#include "signalling/dtmf/dtmfblocks.h"
#include "signalling/fivetone/fivetoneblocks.h"
#include "signalling/fsk/fskblocks.h"
#include "signalling/twotone/twotoneblocks.h"

#include <optional>

/** Everything a radio holds, as the windows show it: the channel table and settings, and each
 *  signalling table the program knows (after a complete read, or from an image). Converted from
 *  and to a radio image by the windows' own codecs, without windows. */
namespace wf {

/** The radio's contents as texts; a signalling table is absent until it has been read or
 *  loaded. */
struct RadioContents
{
    ChannelSheet sheet;
    std::optional<dtmf::Texts> dtmf;
    std::optional<twotone::Texts> twoTone;
    std::optional<fivetone::Texts> fiveTone;
    std::optional<fsk::Texts> fsk;
};

/** The contents of `image` in `language`: the table and settings as a read into a fresh main
 *  window shows them, and the four signalling tables as their windows show them after reading
 *  every block of their banks. */
RadioContents contentsOfImage(const RadioImage &image, Language language);

/** Writes `contents` into `image`, every block as a write to the radio would send it: the
 *  channel and settings blocks over the image's own (bytes no cell shows keep theirs), and each
 *  signalling table present as its window's write builds it; the banks of absent tables stay.
 *  A text that does not convert stops it with the write's message in `language`, and `image`
 *  is left as it was. */
Conversion contentsOverImage(const RadioContents &contents, Language language, RadioImage *image);

} // namespace wf

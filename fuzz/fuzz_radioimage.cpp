// SPDX-License-Identifier: GPL-3.0-or-later
// The radio image reader fed any text: a file saved by an older or newer program, edited by
// hand, cut short or not an image at all.
//
// Input: the text of the image, read as UTF-8 the way the file is.
//
// Checked: a refused text names a line and leaves the image it would have replaced as it was;
// an accepted text holds every block, and written back it reads as the same blocks and writes
// the same text again; a block line of the input in the program's own form is written back as
// it was.
#include "fuzzinput.h"

#include "protocol/radioimage.h"

using namespace wf;

namespace {

// An image no text of the fuzzer is likely to give: every byte its block's position.
RadioImage marked()
{
    RadioImage image;
    int n = 0;
    for (const BlockAddress &a : RadioImage::addresses()) {
        BlockPayload payload;
        payload.fill(quint8(++n));
        image.setPayload(a.bank, a.block, payload);
    }
    return image;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    static const RadioImage before = marked();
    RadioImage image = before;
    QString error;
    if (!RadioImage::fromText(text, &image, &error)) {
        FUZZ_CHECK(error.startsWith(QStringLiteral("line ")));
        FUZZ_CHECK(image == before);
        return 0;
    }
    const QString written = image.toText(QStringLiteral("fuzz"));
    RadioImage back = before;
    FUZZ_CHECK(RadioImage::fromText(written, &back, &error));
    FUZZ_CHECK(back == image);
    FUZZ_CHECK(back.toText(QStringLiteral("fuzz")) == written);
    // A block line of the input in the form the program writes comes back byte for byte.
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QStringList fields = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (fields.size() != 3 || fields[2].size() != 2 * frame::kPayloadSize)
            continue;
        const QString canonical = QStringLiteral("%1 %2 %3")
                                      .arg(fields[0].toInt())
                                      .arg(fields[1].toInt(), 2)
                                      .arg(fields[2]);
        if (canonical == line && fields[2] == fields[2].toLower())
            FUZZ_CHECK(written.contains(QLatin1Char('\n') + line + QLatin1Char('\n')));
    }
    return 0;
}

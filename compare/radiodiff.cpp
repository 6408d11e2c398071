// SPDX-License-Identifier: GPL-3.0-or-later
#include "compare/radiodiff.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace wf::compare {

namespace {

QString hexByte(quint8 value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0'));
}

bool sameTexts(const QList<ShownField> &a, const QList<ShownField> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const ShownField &x, const ShownField &y) { return x.text == y.text; });
}

// Whether one byte of `image`, set to `value`, changes what the window shows of it.
bool byteIsShown(Window window, RadioImage image, const QList<ShownField> &shown,
                 const BlockAddress &address, int byte, quint8 value, Language language)
{
    BlockPayload payload = image.payload(address.bank, address.block);
    payload[std::size_t(byte)] = value;
    image.setPayload(address.bank, address.block, payload);
    return !sameTexts(shownFields(window, image, language), shown);
}

Difference fieldDifference(const ShownField &a, const ShownField &b, Language language)
{
    Difference d;
    d.window = a.window;
    d.control = a.control.toString();
    d.row = a.row;
    d.column = a.column;
    d.place = placeOf(a, language);
    d.caption = captionOf(a, language);
    d.first = shownText(a.text, language);
    d.second = shownText(b.text, language);
    return d;
}

} // namespace

QList<Difference> compareContents(const RadioImage &first, const RadioImage &second,
                                  Language language, const QList<Window> &windows)
{
    QList<Difference> differences;
    for (Window window : kWindows) {
        if (!windows.contains(window))
            continue;
        const QList<ShownField> a = shownFields(window, first, language);
        const QList<ShownField> b = shownFields(window, second, language);
        for (qsizetype i = 0; i < a.size(); ++i) {
            if (a[i].text != b[i].text)
                differences << fieldDifference(a[i], b[i], language);
        }
        // A byte that a field shows differs as that field (or as a value the window shows
        // alike, such as two "on" bytes); only the others are named as bytes. Either side may
        // be the one where the byte shows: a DTMF digit count means nothing under an empty
        // memory.
        for (const BlockAddress &address : RadioImage::addresses(bankOf(window))) {
            const BlockPayload &x = first.payload(address.bank, address.block);
            const BlockPayload &y = second.payload(address.bank, address.block);
            for (int byte = 0; byte < frame::kPayloadSize; ++byte) {
                const quint8 u = x[std::size_t(byte)];
                const quint8 v = y[std::size_t(byte)];
                if (u == v || byteIsShown(window, first, a, address, byte, v, language) ||
                    byteIsShown(window, second, b, address, byte, u, language))
                    continue;
                Difference d;
                d.window = window;
                d.block = address.block;
                d.byte = byte;
                d.place = bytePlace(window, address.block, byte, language);
                d.first = hexByte(u);
                d.second = hexByte(v);
                differences << d;
            }
        }
    }
    return differences;
}

QString sentence(const Difference &difference, const Sides &sides, Language language)
{
    const bool english = language == Language::English;
    const QString values =
        (english ? QStringLiteral("%1 %2, %3 %4") : QStringLiteral("%1 %2，%3 %4"))
            .arg(sides.first.in(language), difference.first, sides.second.in(language),
                 difference.second);
    if (difference.isByte())
        return (english ? QStringLiteral("%1: %2") : QStringLiteral("%1：%2"))
            .arg(difference.place, values);
    return (english ? QStringLiteral("%1, %2: %3") : QStringLiteral("%1，%2：%3"))
        .arg(difference.place, difference.caption, values);
}

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString differencesCsv(const QList<Difference> &differences, const Sides &sides)
{
    const auto number = [](int n) {
        return n < 0 ? QString() : QString::number(n);
    };
    QString text = QStringLiteral("window,control,row,column,block,byte,place,field,%1,%2\n")
                       .arg(csvField(sides.first.english.toString()),
                            csvField(sides.second.english.toString()));
    for (const Difference &d : differences) {
        const QStringList fields = {
            keyOf(d.window).toString(),
            d.control,
            d.row > 0 ? number(d.row) : QString(),
            d.row > 0 ? number(d.column) : QString(),
            number(d.block),
            number(d.byte),
            d.place,
            d.caption,
            d.first,
            d.second,
        };
        QStringList quoted;
        for (const QString &field : fields)
            quoted << csvField(field);
        text += quoted.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    return text;
}

QString differencesJson(const QList<Difference> &differences, const Sides &sides)
{
    QJsonArray list;
    for (const Difference &d : differences) {
        QJsonObject object;
        object.insert(QStringLiteral("window"), keyOf(d.window).toString());
        if (d.isByte()) {
            object.insert(QStringLiteral("block"), d.block);
            object.insert(QStringLiteral("byte"), d.byte);
        } else {
            object.insert(QStringLiteral("control"), d.control);
            if (d.row > 0) {
                object.insert(QStringLiteral("row"), d.row);
                object.insert(QStringLiteral("column"), d.column);
            }
            object.insert(QStringLiteral("field"), d.caption);
        }
        object.insert(QStringLiteral("place"), d.place);
        object.insert(sides.first.english.toString(), d.first);
        object.insert(sides.second.english.toString(), d.second);
        list.append(object);
    }
    return QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Indented));
}

} // namespace wf::compare

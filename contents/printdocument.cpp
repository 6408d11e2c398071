// SPDX-License-Identifier: GPL-3.0-or-later
#include "contents/printdocument.h"

#include "channels/channeltable.h"
#include "channels/refusals.h"
#include "protocol/regularfile.h"
#include "signalling/dtmf/dtmfcontrols.h"
#include "signalling/fivetone/fivetonecontrols.h"
#include "signalling/fsk/fskcontrols.h"
#include "signalling/twotone/twotonecontrols.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <numeric>

namespace wf::print {

namespace {

using namespace Qt::StringLiterals;

constexpr WordPair kPlanTitle{u"对讲机信道计划", u"Radio channel plan"};
constexpr WordPair kFile{u"文件：%1", u"File: %1"};
constexpr WordPair kPort{u"读取端口：%1", u"Read from port: %1"};
constexpr WordPair kReadAt{u"读取时间：%1", u"Read on: %1"};
constexpr WordPair kPrinted{u"打印时间：%1", u"Printed on: %1"};
constexpr WordPair kPage{u"第 %1 页，共 %2 页", u"Page %1 of %2"};
constexpr WordPair kChannels{u"信道", u"Channels"};
constexpr WordPair kSettings{u"设置", u"Settings"};
constexpr WordPair kName{u"名称", u"Name"};
constexpr WordPair kValue{u"值", u"Value"};
constexpr WordPair kChecked{u"是", u"Yes"};
constexpr WordPair kUnchecked{u"否", u"No"};

QString text(WordPair pair, Language language)
{
    return pair.in(language).toString();
}

// A caption as a heading shows it: without the blanks and the colon a label carries.
QString bare(QStringView caption)
{
    QString name = caption.trimmed().toString();
    while (name.endsWith(u'：') || name.endsWith(u':'))
        name.chop(1);
    return name;
}

template<std::size_t N>
QString captionOf(const Caption (&captions)[N], QStringView control, int column, Language language)
{
    for (const Caption &caption : captions) {
        if (caption.control == control && caption.column == column)
            return bare(caption.text.in(language));
    }
    return control.toString();
}

template<std::size_t N>
QStringList gridHeader(const Caption (&captions)[N], QStringView grid, int columns,
                       Language language)
{
    QStringList header;
    for (int c = 0; c < columns; ++c)
        header << captionOf(captions, grid, c, language);
    return header;
}

// A window's controls as name and value, in tab order.
template<class Record, std::size_t N, std::size_t M>
Table controlTable(const Control<Record> (&controls)[N], const Caption (&captions)[M],
                   const Record &record, Language language)
{
    Table table{{}, {text(kName, language), text(kValue, language)}, {}};
    for (const Control<Record> &control : controls) {
        const QStringView key = control.label.isEmpty() ? control.name : control.label;
        const QString value = control.flag
                                  ? text(record.*control.flag ? kChecked : kUnchecked, language)
                                  : (record.*control.text).trimmed();
        table.rows << QStringList{captionOf(captions, key, kNoColumn, language), value};
    }
    return table;
}

// The rows of a grid that hold something, numbered as the window numbers them: a row hangs on
// its key cell where the grid has one.
template<class Row, std::size_t N, std::size_t R>
QList<QStringList> gridRows(const GridCell<Row> (&cells)[N], const std::array<Row, R> &rows,
                            bool keyed)
{
    QList<QStringList> lines;
    for (std::size_t i = 0; i < R; ++i) {
        QStringList line{QString::number(i + 1)};
        bool any = false;
        for (const GridCell<Row> &cell : cells) {
            line << (rows[i].*cell.text).trimmed();
            any = any || !line.last().isEmpty();
        }
        const bool key = !(rows[i].*cells[0].text).trimmed().isEmpty();
        if (keyed ? key : any)
            lines << line;
    }
    return lines;
}

Section dtmfSection(const dtmf::Texts &texts, Language language)
{
    using namespace dtmf;
    Table memories{{}, gridHeader(kCaptions, u"xg2", 2, language), {}};
    for (int i = 0; i < kMemoryCount; ++i) {
        if (!texts.memories[std::size_t(i)].trimmed().isEmpty())
            memories.rows << QStringList{QString::number(i + 1),
                                         texts.memories[std::size_t(i)].trimmed()};
    }
    return {u"DTMF"_s, {controlTable(kControls, kCaptions, texts, language), memories}};
}

Section twoToneSection(const twotone::Texts &texts, Language language)
{
    using namespace twotone;
    return {u"2TONE"_s,
            {controlTable(kControls, kCaptions, texts, language),
             {captionOf(kCaptions, u"TabSheet1", kNoColumn, language),
              gridHeader(kCaptions, kEncodeGrid, 3, language),
              gridRows(kEncodeCells, texts.pairs, false)},
             {captionOf(kCaptions, u"TabSheet2", kNoColumn, language),
              gridHeader(kCaptions, kDecodeGrid, 13, language),
              gridRows(kDecodeCells, texts.decodeRows, true)}}};
}

Section fiveToneSection(const fivetone::Texts &texts, Language language)
{
    using namespace fivetone;
    Table standards{captionOf(kCaptions, u"TabSheet1", kNoColumn, language),
                    gridHeader(kCaptions, kStandardGrid, 4, language),
                    {}};
    for (int i = 0; i < kStandardCount; ++i) {
        QStringList line{kStandardWords[i].word.in(language).toString()};
        for (const GridCell<StandardRow> &cell : kStandardCells)
            line << (texts.standards[std::size_t(i)].*cell.text).trimmed();
        standards.rows << line;
    }
    return {u"5TONE"_s,
            {controlTable(kControls, kCaptions, texts, language),
             standards,
             {captionOf(kCaptions, u"TabSheet2", kNoColumn, language),
              gridHeader(kCaptions, kEncodeGrid, 6, language),
              gridRows(kEncodeCells, texts.encodeRows, true)},
             {captionOf(kCaptions, u"TabSheet3", kNoColumn, language),
              gridHeader(kCaptions, kDecodeGrid, 9, language),
              gridRows(kDecodeCells, texts.decodeRows, true)}}};
}

Section fskSection(const fsk::Texts &texts, Language language)
{
    using namespace fsk;
    Table entries{{}, gridHeader(kCaptions, u"xg1", 3, language), {}};
    for (int i = 0; i < kEntryCount; ++i) {
        const Entry &entry = texts.entries[std::size_t(i)];
        if (!entry.fleet.trimmed().isEmpty() || !entry.id.trimmed().isEmpty())
            entries.rows << QStringList{QString::number(i + 1), entry.fleet.trimmed(),
                                        entry.id.trimmed()};
    }
    return {u"FSK"_s, {controlTable(kControls, kCaptions, texts, language), entries}};
}

// A signalling table is worth its pages when it holds more than a fresh window does.
template<class Texts>
void addSignalling(QList<Section> &sections, const std::optional<Texts> &texts,
                   Section (*section)(const Texts &, Language), Texts (*fresh)(Language),
                   Language language)
{
    if (!texts)
        return;
    Section filled = section(*texts, language);
    if (filled.tables == section(fresh(language), language).tables)
        return;
    // A table without rows says nothing on paper.
    filled.tables.removeIf([](const Table &table) { return table.rows.isEmpty(); });
    sections << filled;
}

QString dateText(const QDateTime &date)
{
    return date.toString(u"yyyy-MM-dd HH:mm"_s);
}

// ---- Layout --------------------------------------------------------------------------------

enum class Role { Title, Heading, SectionTitle, TableTitle, HeaderCell, Cell, Footer };

struct Item
{
    QRectF rect;
    QString text;
    Role role;
    int flags = 0;
};

QFont fontFor(Role role)
{
    QFont font;
    qreal points = 8;
    bool bold = false;
    switch (role) {
    case Role::Title:
        points = 16;
        bold = true;
        break;
    case Role::Heading:
        points = 9;
        break;
    case Role::SectionTitle:
        points = 12;
        bold = true;
        break;
    case Role::TableTitle:
        points = 10;
        bold = true;
        break;
    case Role::HeaderCell:
        bold = true;
        break;
    case Role::Cell:
    case Role::Footer:
        break;
    }
    font.setPointSizeF(points);
    font.setBold(bold);
    // Without the shaper's ligatures a search of the PDF, and a text copied out of it, finds
    // "Off" as three letters.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

// Places every text of the document on pages of the given size; the painting only draws what
// this decided, so the page count is known before the first page is drawn.
class Layout
{
public:
    Layout(QPaintDevice *device, QSizeF page)
        : m_device(device)
        , m_width(page.width())
    {
        const QFontMetricsF cell(fontFor(Role::Cell), device);
        m_pad = cell.height() * 0.15;
        m_footerHeight = cell.height() * 2;
        m_bodyHeight = page.height() - m_footerHeight;
        m_footerTop = page.height() - cell.height();
        m_pages.append(QList<Item>());
    }

    QList<QList<Item>> place(const Document &document)
    {
        line(document.title, Role::Title);
        for (const QString &heading : document.heading)
            line(heading, Role::Heading);
        for (const Section &section : document.sections) {
            m_y += m_pad * 4;
            bool first = true;
            for (const Table &table : section.tables) {
                placeTable(table, first ? section.title : QString());
                first = false;
            }
        }
        return m_pages;
    }

    qreal footerTop() const { return m_footerTop; }

private:
    QFontMetricsF metrics(Role role) const { return QFontMetricsF(fontFor(role), m_device); }

    // A word longer than its column is broken anywhere rather than drawn over the next cell.
    int wrapFlags(const QString &text, qreal width, Role role) const
    {
        const QStringList words = text.split(u' ', Qt::SkipEmptyParts);
        const QFontMetricsF fm = metrics(role);
        const bool fits = std::all_of(words.begin(), words.end(), [&](const QString &word) {
            return fm.horizontalAdvance(word) <= width;
        });
        return Qt::AlignLeft | Qt::AlignVCenter | (fits ? Qt::TextWordWrap : Qt::TextWrapAnywhere);
    }

    qreal heightOf(const QString &text, qreal width, Role role) const
    {
        return metrics(role)
                   .boundingRect(QRectF(0, 0, width, 1e6), wrapFlags(text, width, role), text)
                   .height() +
               2 * m_pad;
    }

    void newPage()
    {
        m_pages.append(QList<Item>());
        m_y = 0;
    }

    // Starts a new page unless `height` fits below what is already on this one.
    void keep(qreal height)
    {
        if (m_y > 0 && m_y + height > m_bodyHeight)
            newPage();
    }

    void line(const QString &text, Role role)
    {
        const qreal height = heightOf(text, m_width, role) - 2 * m_pad;
        keep(height);
        m_pages.last().append(
            {QRectF(0, m_y, m_width, height), text, role, wrapFlags(text, m_width, role)});
        m_y += height + m_pad;
    }

    // Column widths: each as wide as its widest text; when the table is wider than the page,
    // the narrow columns keep their width and the wide ones share the rest equally.
    QList<qreal> columnWidths(const Table &table) const
    {
        QList<qreal> widths;
        for (int c = 0; c < table.header.size(); ++c) {
            qreal width = metrics(Role::HeaderCell).horizontalAdvance(table.header[c]);
            for (const QStringList &row : table.rows)
                width = std::max(width, metrics(Role::Cell).horizontalAdvance(row.value(c)));
            widths << width + 3 * m_pad;
        }
        QList<qreal> sorted = widths;
        std::sort(sorted.begin(), sorted.end());
        qreal left = m_width;
        qsizetype count = sorted.size();
        for (qreal width : sorted) {
            if (width > left / qreal(count))
                break;
            left -= width;
            --count;
        }
        if (count > 0) {
            const qreal share = left / qreal(count);
            for (qreal &width : widths)
                width = std::min(width, share);
        }
        return widths;
    }

    qreal rowHeight(const QStringList &cells, const QList<qreal> &widths, Role role) const
    {
        qreal height = 0;
        for (int c = 0; c < widths.size(); ++c)
            height = std::max(height, heightOf(cells.value(c), widths[c] - 2 * m_pad, role));
        return height;
    }

    void placeRow(const QStringList &cells, const QList<qreal> &widths, qreal height, Role role)
    {
        qreal x = 0;
        for (int c = 0; c < widths.size(); ++c) {
            const QString &cell = cells.value(c);
            m_pages.last().append({QRectF(x, m_y, widths[c], height), cell, role,
                                   wrapFlags(cell, widths[c] - 2 * m_pad, role)});
            x += widths[c];
        }
        m_y += height;
    }

    void placeTable(const Table &table, const QString &sectionTitle)
    {
        const QList<qreal> widths = columnWidths(table);
        const qreal headerHeight = rowHeight(table.header, widths, Role::HeaderCell);
        const qreal firstRow =
            table.rows.isEmpty() ? 0 : rowHeight(table.rows.first(), widths, Role::Cell);
        qreal titles = 0;
        if (!sectionTitle.isEmpty())
            titles += metrics(Role::SectionTitle).height() + m_pad;
        if (!table.title.isEmpty())
            titles += metrics(Role::TableTitle).height() + m_pad;
        // A title never stands alone at the foot of a page: it goes with the header and a row.
        keep(titles + headerHeight + firstRow + m_pad);
        if (!sectionTitle.isEmpty())
            line(sectionTitle, Role::SectionTitle);
        m_y += m_pad;
        if (!table.title.isEmpty())
            line(table.title, Role::TableTitle);
        placeRow(table.header, widths, headerHeight, Role::HeaderCell);
        for (const QStringList &row : table.rows) {
            const qreal height = rowHeight(row, widths, Role::Cell);
            // Rows are never cut: one that does not fit starts the next page, under the header.
            if (m_y + height > m_bodyHeight) {
                newPage();
                placeRow(table.header, widths, headerHeight, Role::HeaderCell);
            }
            placeRow(row, widths, height, Role::Cell);
        }
        m_y += m_pad * 2;
    }

    QPaintDevice *m_device;
    qreal m_width;
    qreal m_pad = 0;
    qreal m_bodyHeight = 0;
    qreal m_footerHeight = 0;
    qreal m_footerTop = 0;
    qreal m_y = 0;
    QList<QList<Item>> m_pages;
};

void paintItem(QPainter &painter, const Item &item, qreal pad)
{
    painter.setFont(fontFor(item.role));
    const bool cell = item.role == Role::HeaderCell || item.role == Role::Cell;
    if (item.role == Role::HeaderCell)
        painter.fillRect(item.rect, QColor(0xE4, 0xEC, 0xF4));
    if (cell)
        painter.drawRect(item.rect);
    painter.drawText(cell ? item.rect.adjusted(pad, pad, -pad, -pad) : item.rect, item.flags,
                     item.text);
}

} // namespace

Document buildDocument(const RadioContents &contents, const Origin &origin, Language language)
{
    Document document;
    document.title = origin.fileName.isEmpty() ? text(kPlanTitle, language)
                                               : QFileInfo(origin.fileName).fileName();
    if (!origin.fileName.isEmpty())
        document.heading << text(kFile, language).arg(QDir::toNativeSeparators(origin.fileName));
    if (!origin.port.isEmpty())
        document.heading << text(kPort, language).arg(origin.port);
    if (origin.readAt.isValid())
        document.heading << text(kReadAt, language).arg(dateText(origin.readAt));
    document.heading << text(kPrinted, language)
                            .arg(dateText(origin.printed.isValid() ? origin.printed
                                                                   : QDateTime::currentDateTime()));
    document.footer = kApplicationTitle.in(language).toString();
    document.pageNumber = text(kPage, language);

    Table channels{{}, {}, {}};
    for (const table::ChannelColumn &column : table::channelColumns())
        channels.header << bare(column.caption.in(language));
    for (int row = 1; row <= kChannelCount; ++row) {
        QStringList cells{QString::number(row)};
        for (int c = 1; c < column::kCount; ++c)
            cells << contents.sheet.rows[std::size_t(row)][std::size_t(c)].trimmed();
        channels.rows << cells;
    }
    document.sections << Section{text(kChannels, language), {channels}};

    Table settings{{}, {text(kSettings, language), text(kValue, language)}, {}};
    for (int box = 0; box < setting::kCount; ++box) {
        settings.rows << QStringList{
            settingName(table::settingsBoxes()[std::size_t(box)].caption, language),
            contents.sheet.settings[std::size_t(box)].trimmed()};
    }
    document.sections << Section{text(kSettings, language), {settings}};

    addSignalling(document.sections, contents.dtmf, dtmfSection, dtmf::initialTexts, language);
    addSignalling(document.sections, contents.twoTone, twoToneSection, twotone::initialTexts,
                  language);
    addSignalling(document.sections, contents.fiveTone, fiveToneSection, fivetone::initialTexts,
                  language);
    addSignalling(document.sections, contents.fsk, fskSection, fsk::initialTexts, language);
    return document;
}

QPageLayout pageLayout(QPageSize::PageSizeId paper)
{
    return QPageLayout(QPageSize(paper), QPageLayout::Landscape, QMarginsF(12, 12, 12, 12),
                       QPageLayout::Millimeter);
}

QPageSize::PageSizeId localPaper()
{
    return QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                              : QPageSize::A4;
}

int paintDocument(const Document &document, QPagedPaintDevice *device)
{
    const QRect page = device->pageLayout().paintRectPixels(device->logicalDpiY());
    Layout layout(device, page.size());
    const QList<QList<Item>> pages = layout.place(document);

    QPainter painter(device);
    QPen pen(Qt::black);
    pen.setWidthF(device->logicalDpiY() / 200.0);
    painter.setPen(pen);
    const qreal pad = QFontMetricsF(fontFor(Role::Cell), device).height() * 0.15;
    const QRectF foot(0, layout.footerTop(), page.width(), page.height() - layout.footerTop());
    for (int i = 0; i < pages.size(); ++i) {
        if (i > 0)
            device->newPage();
        for (const Item &item : pages[i])
            paintItem(painter, item, pad);
        painter.setFont(fontFor(Role::Footer));
        painter.drawText(foot, Qt::AlignLeft | Qt::AlignBottom, document.footer);
        painter.drawText(foot, Qt::AlignRight | Qt::AlignBottom,
                         document.pageNumber.arg(i + 1).arg(pages.size()));
    }
    painter.end();
    return int(pages.size());
}

QString writePdf(const QString &fileName, const Document &document, QPageSize::PageSizeId paper,
                 int *pages)
{
    const QString shown = QDir::toNativeSeparators(fileName);
    if (const QString why = whyNotSaveable(fileName); !why.isEmpty())
        return u"Cannot create file \"%1\". %2"_s.arg(shown, why);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return u"Cannot create file \"%1\". %2"_s.arg(shown, file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setResolution(300);
        writer.setPageLayout(pageLayout(paper));
        writer.setTitle(document.title);
        writer.setCreator(kApplicationTitle.english.toString());
        const int count = paintDocument(document, &writer);
        if (pages)
            *pages = count;
    }
    if (!file.commit())
        return u"Cannot create file \"%1\". %2"_s.arg(shown, file.errorString());
    return {};
}

} // namespace wf::print

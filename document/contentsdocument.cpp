// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/contentsdocument.h"

#include <QUndoCommand>

namespace wf {

/** One step of the user's: the window's texts before and after it. */
class ContentsDocument::Step final : public QUndoCommand
{
public:
    Step(ContentsDocument &document, QStringList before, QStringList after, const QString &name)
        : QUndoCommand(name)
        , m_document(document)
        , m_before(std::move(before))
        , m_after(std::move(after))
    {}

    void undo() override { m_document.show(m_before); }
    void redo() override
    {
        // The window made the change itself before it was recorded.
        if (m_done)
            m_document.show(m_after);
        m_done = true;
    }

private:
    ContentsDocument &m_document;
    const QStringList m_before;
    const QStringList m_after;
    bool m_done = false;
};

ContentsDocument::ContentsDocument(ContentsView &view, QObject *parent)
    : QObject(parent)
    , m_view(view)
{}

ContentsDocument::~ContentsDocument()
{
    // The steps refer to this document: they go first.
    m_undo.clear();
}

bool ContentsDocument::isModified() const
{
    return m_view.contentsTexts() != m_clean;
}

bool ContentsDocument::record(const QString &step)
{
    QStringList now = m_view.contentsTexts();
    if (now == m_current)
        return false;
    if (m_origin == ContentsOrigin::Defaults)
        m_origin = ContentsOrigin::Typed;
    m_undo.push(new Step(*this, m_current, now, step));
    m_current = std::move(now);
    announce();
    return true;
}

void ContentsDocument::replaced(ContentsOrigin origin, const QString &fileName)
{
    m_undo.clear();
    m_current = m_view.contentsTexts();
    m_clean = m_current;
    m_origin = origin;
    if (origin == ContentsOrigin::File && fileName != m_fileName) {
        m_fileName = fileName;
        emit fileNameChanged(m_fileName);
    }
    announce();
}

void ContentsDocument::kept(const QString &fileName)
{
    m_current = m_view.contentsTexts();
    m_clean = m_current;
    m_undo.setClean();
    if (!fileName.isEmpty() && fileName != m_fileName) {
        m_fileName = fileName;
        emit fileNameChanged(m_fileName);
    }
    announce();
}

void ContentsDocument::reworded()
{
    const bool modified = m_current != m_clean;
    m_undo.clear();
    m_current = m_view.contentsTexts();
    if (!modified)
        m_clean = m_current;
    announce();
}

void ContentsDocument::show(const QStringList &texts)
{
    m_view.showContentsTexts(texts);
    m_current = m_view.contentsTexts();
    announce();
}

void ContentsDocument::announce()
{
    const bool modified = isModified();
    if (modified == m_announcedModified)
        return;
    m_announcedModified = modified;
    emit modifiedChanged(modified);
}

} // namespace wf

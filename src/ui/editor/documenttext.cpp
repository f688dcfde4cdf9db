#include "ui/editor/documenttext.h"

#include "ui/editor/rowbreaks.h"

#include <QTextDocument>

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

} // namespace

DocumentText::DocumentText(QObject *parent)
    : QObject(parent)
{}

const QString &DocumentText::of(QTextDocument *doc)
{
    if (m_mirrors) {
        const QString *mirror = m_mirrors(doc);
        if (mirror && mirror->size() == doc->characterCount() - 1) {
            if (m_doc) { // drop the own copy, it is no longer needed
                follow(nullptr);
                m_text.clear();
            }
            return *mirror;
        }
    }
    if (doc != m_doc) {
        follow(doc);
        readAll();
        return m_text;
    }
    if (!m_dirty)
        return m_text;
    const qsizetype length = doc->characterCount() - 1;
    const qsizetype same = std::min({m_same, length, qsizetype(m_text.size())});
    const qsizetype sameEnd = std::min({m_sameEnd, length - same, m_text.size() - same});
    const QString changed = RowBreaks::text(doc, int(same), int(length - sameEnd));
    m_text.replace(same, m_text.size() - same - sameEnd, changed);
    m_dirty = false;
    if (m_text.size() != length) // the document reported its changes in a way not foreseen
        readAll();
    return m_text;
}

void DocumentText::follow(QTextDocument *doc)
{
    disconnect(m_changes);
    m_doc = doc;
    if (doc)
        m_changes = connect(doc, &QTextDocument::contentsChange, this, &DocumentText::onChange);
}

QString DocumentText::plainText(const QTextDocument *doc)
{
    return RowBreaks::text(doc);
}

void DocumentText::readAll()
{
    m_text = plainText(m_doc);
    m_dirty = false;
}

void DocumentText::onChange(int position, int removed, int added)
{
    const qsizetype after = m_doc->characterCount() - 1;
    const qsizetype before = after - added + removed;
    if (!m_dirty) {
        m_dirty = true;
        m_same = m_sameEnd = m_text.size();
    }
    m_same = std::max<qsizetype>(0, std::min<qsizetype>(m_same, position));
    m_sameEnd = std::max<qsizetype>(0, std::min<qsizetype>(m_sameEnd, before - position - removed));
}

bool DocumentText::isWordAt(QStringView text, qsizetype at, qsizetype length)
{
    return (at == 0 || !isWordChar(text[at - 1]))
           && (at + length >= text.size() || !isWordChar(text[at + length]));
}

qsizetype DocumentText::find(QStringView text, QStringView needle, qsizetype start, bool backward,
                             Qt::CaseSensitivity cs, bool wholeWords)
{
    if (needle.isEmpty())
        return -1;
    if (!backward) {
        for (qsizetype at = start; at <= text.size() - needle.size();) {
            const qsizetype i = text.indexOf(needle, at, cs);
            if (i < 0 || !wholeWords || isWordAt(text, i, needle.size()))
                return i;
            at = i + 1;
        }
        return -1;
    }
    for (qsizetype from = std::min(start, text.size()) - needle.size(); from >= 0;) {
        const qsizetype i = text.lastIndexOf(needle, from, cs);
        if (i < 0 || !wholeWords || isWordAt(text, i, needle.size()))
            return i;
        from = i - 1;
    }
    return -1;
}

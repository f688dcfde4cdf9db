#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QTextDocument;

// A copy of one editor's text with each line break as "\n", positions as the editor counts
// them. Reading a large document's text costs tens of milliseconds, so the copy is kept and
// only the stretch that changed since the last use is read again.
class DocumentText : public QObject
{
    Q_OBJECT
public:
    explicit DocumentText(QObject *parent = nullptr);

    // The current text of doc. Valid until the next call.
    const QString &of(QTextDocument *doc);

    // Where a copy of a document's text that is always in step may be found already (the
    // highlighter keeps one per script): used instead of a copy of its own, which would cost
    // the memory of the text once more and a handler on every edit.
    using MirrorSource = std::function<const QString *(QTextDocument *)>;
    void setMirrorSource(MirrorSource source) { m_mirrors = std::move(source); }

    // A document's whole text with line feeds for line breaks, as the editor numbers it (long
    // lines whole, see rowbreaks.h).
    static QString plainText(const QTextDocument *doc);

    // A whole-word match has no letter, digit or underscore right before or after it.
    static bool isWordAt(QStringView text, qsizetype at, qsizetype length);
    // Forward: the first match beginning at or after start. Backward: the last match ending
    // at or before start. -1 when there is none.
    static qsizetype find(QStringView text, QStringView needle, qsizetype start, bool backward,
                          Qt::CaseSensitivity cs, bool wholeWords);

private:
    void follow(QTextDocument *doc);
    void readAll();
    void onChange(int position, int removed, int added);

    MirrorSource m_mirrors;
    QPointer<QTextDocument> m_doc;
    QMetaObject::Connection m_changes;
    QString m_text;
    bool m_dirty = false;
    // Since m_text was read, the document still starts with its first m_same characters and
    // ends with its last m_sameEnd.
    qsizetype m_same = 0;
    qsizetype m_sameEnd = 0;
};

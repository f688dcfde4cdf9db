#pragma once

#include <QPlainTextDocumentLayout>

class QPlainTextEdit;

// The layout of a script's document: a line is laid out when it is shown or asked about, and
// only then. Qt's plain text layout makes a text layout object for every line of the document
// whenever an editor takes the document or changes its width (some 300 bytes a line, most of a
// large script's memory), and on some edits lays out every line to find the widest. This one
// keeps to the lines asked for; the document is as wide as the widest line laid out so far.
//
// The editor decides about re-laying out all lines only for the first view of a document and for
// a view wider than the document's width: a document made by newDocument() has a hidden view of
// its own, wider than any screen, as that first view, so no editor ever asks for it.
class EditorLayout : public QPlainTextDocumentLayout
{
    Q_OBJECT
public:
    explicit EditorLayout(QTextDocument *doc);

    QRectF blockBoundingRect(const QTextBlock &block) const override;
    QSizeF documentSize() const override;

    // A line's layout got other formats: Qt notes that as a change of the document, which it
    // would report with the next edit as if all text between had been replaced. Settles the
    // note at once; the lines are laid out again when next shown.
    void formatsChanged(int from, int length);

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    void layOut(const QTextBlock &block) const;

    mutable qreal m_widest = 0;
    int m_blockCount = 1;
    bool m_settling = false;
};

// Makes documents with an EditorLayout for one editor. It holds the hidden view (see above),
// which must live as long as the documents it made.
class EditorDocuments
{
public:
    explicit EditorDocuments(QWidget *owner);

    // An empty document with the editor's font and text options and no parent, so that it may
    // be filled in another thread.
    QTextDocument *make(const QFont &font, const QTextOption &option) const;

private:
    QPlainTextEdit *m_firstView;
    QTextDocument *m_parking;
};

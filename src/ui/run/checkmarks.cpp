#include "ui/run/checkmarks.h"

#include "core/run/errorlinks.h"
#include "ui/editor/documentsource.h"
#include "ui/editor/linenumberarea.h"
#include "ui/editor/scripteditor.h"
#include "ui/run/panelrun.h"

#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>

namespace {

bool samePath(const QString &a, const QString &b)
{
    if (QDir::cleanPath(a) == QDir::cleanPath(b))
        return true;
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

} // namespace

CheckMarks::CheckMarks(QPlainTextEdit *output, PanelRun *run, DocumentSource &docs, QObject *parent)
    : QObject(parent)
    , m_output(output)
    , m_docs(docs)
{
    connect(run, &PanelRun::ended, this, [this](Runner::Ending ending) {
        if (m_due && ending != Runner::Ending::Stopped)
            checked();
        m_due = false;
    });
    // A run ended to make room for the check, or a check that could not start, marks nothing.
    connect(run, &PanelRun::runningChanged, this,
            [this](bool running) { m_due = running && std::exchange(m_armed, false); });
}

void CheckMarks::checking(const QString &script, const QString &folder)
{
    m_folder = folder.isEmpty() ? QDir::currentPath() : folder;
    m_script = QDir(m_folder).absoluteFilePath(script);
    m_editor = nullptr;
    // The script's own tab; else the one the check was started from (a copy was checked).
    for (const auto &doc : m_docs.all()) {
        if (!doc->FileName.isEmpty() && samePath(doc->FileName, m_script))
            m_editor = doc->Editor;
    }
    if (!m_editor && m_docs.current())
        m_editor = m_docs.current()->Editor;
    m_armed = m_editor != nullptr;
}

QMap<int, QString> CheckMarks::faults(const QString &output, const QString &script,
                                      const QString &folder)
{
    QMap<int, QString> marks;
    ErrorLinkFinder finder;
    finder.setFolder(folder);
    for (const QStringView line : QStringView(output).split(u'\n')) {
        if (!ErrorLinkFinder::mayHold(line))
            continue;
        for (const ErrorLink &l : finder.find(line)) {
            if (!samePath(l.path, script))
                continue;
            QString &message = marks[l.line];
            if (!message.isEmpty())
                message += u'\n';
            message += line.trimmed();
        }
    }
    return marks;
}

void CheckMarks::checked()
{
    if (!m_editor)
        return;
    m_editor->lineNumberArea()->setMarks(faults(m_output->toPlainText(), m_script, m_folder));
}

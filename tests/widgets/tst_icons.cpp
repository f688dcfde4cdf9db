#include "mainwindowfixture.h"
#include "ui/common/icons.h"
#include "ui/shell/options.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QSet>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

namespace {

QString describe(const QObject *o)
{
    QStringList path;
    for (; o; o = o->parent())
        path.prepend(o->objectName().isEmpty() ? QString::fromLatin1(o->metaObject()->className())
                                               : o->objectName());
    return path.join(u'/');
}

// Whether Qt made the button as a part of one of its own widgets (a tab bar's scroll arrows,
// a table's corner).
bool partOfQt(const QAbstractButton *b)
{
    static const QStringList ours = {"QPushButton", "QToolButton", "QCheckBox", "QRadioButton"};
    const QString cls = QString::fromLatin1(b->metaObject()->className());
    if (cls.startsWith(u'Q') && !ours.contains(cls))
        return true;
    if (qobject_cast<const QTabBar *>(b->parent())
        && b->objectName().startsWith(QLatin1String("Scroll")))
        return true;
    return b->objectName().startsWith(QLatin1String("qt_"));
}

QList<QAbstractButton *> programButtons()
{
    QSet<QAbstractButton *> buttons;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        for (QAbstractButton *b : top->findChildren<QAbstractButton *>()) {
            if (!partOfQt(b))
                buttons << b;
        }
    }
    return buttons.values();
}

} // namespace

// A desktop without an icon theme, or with one that lacks some names, still shows a picture
// on every button, and every button says what it is to a screen reader.
class IconsTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QIcon::setThemeSearchPaths({m_noThemes.path()});
        QIcon::setThemeName(QStringLiteral("absent"));
        initIconTheme();
    }

    void init() { ScriptedPrompts::install(); }

    void everyIconTheProgramUsesHasAPicture()
    {
        TestHome home;
        MainWindowFixture s(home);
        s->options()->open(TOptions::Page::General);
        const QStringList names = askedIconNames();
        QVERIFY(names.size() > 40);
        for (const QString &name : names)
            QVERIFY2(!QIcon::fromTheme(name).isNull(), qPrintable(name));
        // Also what is asked of the theme directly, and the pictures of icon-only buttons.
        for (QToolBar *bar : s->findChildren<QToolBar *>()) {
            for (QAction *a : bar->actions()) {
                if (!a->isSeparator() && !a->icon().isNull())
                    QVERIFY2(!a->icon().pixmap(16).isNull(), qPrintable(describe(a)));
            }
        }
        for (QAbstractButton *b : programButtons()) {
            // An arrow button draws its own picture.
            const auto *tool = qobject_cast<QToolButton *>(b);
            if (b->text().isEmpty() && !(tool && tool->arrowType() != Qt::NoArrow))
                QVERIFY2(!b->icon().isNull(), qPrintable(describe(b)));
        }
    }

    // A button that shows only a picture gets its name from no text of its own: without one
    // a screen reader would call it after whatever frames it (a group box's title).
    void everyIconOnlyButtonHasAnAccessibleName()
    {
        TestHome home;
        MainWindowFixture s(home);
        s->options()->open(TOptions::Page::General);
        QStringList unnamed;
        for (QAbstractButton *b : programButtons()) {
            if (!b->text().trimmed().isEmpty())
                continue;
            QAccessibleInterface *a = QAccessible::queryAccessibleInterface(b);
            if (b->accessibleName().trimmed().isEmpty() || !a
                || a->text(QAccessible::Name) != b->accessibleName())
                unnamed << describe(b);
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u'\n')));
    }

private:
    QTemporaryDir m_noThemes;
};

QTEST_MAIN(IconsTest)
#include "tst_icons.moc"

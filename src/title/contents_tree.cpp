#include "contents_tree.h"

#include "dao.h"
#include "dialogs.h"
#include "form1.h"
#include "form2.h"
#include "form3.h"
#include "interface_strings.h"
#include "mdiform1.h"
#include "panels.h"
#include "state.h"
#include "title_open.h"
#include "topicview.h"
#include "windows.h"

#include <QAction>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStatusBar>
#include <QTreeWidget>

namespace folium::title {

using forms::Form1;
using forms::Panel;

namespace {

QString trimmedRight(const QString &s)
{
    qsizetype n = s.size();
    while (n > 0 && s.at(n - 1) == u' ')
        --n;
    return s.left(n);
}

QTreeWidgetItem *findIn(QTreeWidgetItem *item, const QString &key)
{
    if (item->data(0, forms::TagRole).toString() == key)
        return item;
    for (int i = 0; i < item->childCount(); ++i)
        if (QTreeWidgetItem *found = findIn(item->child(i), key))
            return found;
    return nullptr;
}

} // namespace

bool LetturaSommario(Windows &w, TitleState &t)
{
    Form1 *f = w.reader;
    int err = 0;
    auto database = db::Database::OpenDatabase(t.TitleDatabasePath, &err);
    while (!database) {
        w.loading->hide();
        config::FileDialogRequest r;
        r.filter = QStringLiteral("File option (*.mdb)|*.mdb");
        const QString chosen = ApriFile(w, t, r);
        if (t.CancelFlag)
            return false;
        t.TitleDatabasePath = chosen;
        database = db::Database::OpenDatabase(t.TitleDatabasePath, &err);
    }
    auto rs = database->OpenRecordset(QStringLiteral("Item"), &err);
    f->Check1->setChecked(w.options->CheckOptAnd->isChecked());
    f->TextNear->setText(w.options->TextNear->text());
    f->TreeSommario->clear();
    if (!rs)
        return true;
    rs->setIndex(QStringLiteral("Ordine"));
    QHash<QString, QTreeWidgetItem *> nodes;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
        const QString key = trimmedRight(rs->Field(QStringLiteral("Chiave")).toString());
        if (nodes.contains(key))
            continue;
        QTreeWidgetItem *node = nullptr;
        bool folder = false;
        if (rs->Field(QStringLiteral("Ordine")).toInt() == 0) {
            node = new QTreeWidgetItem(f->TreeSommario);
            folder = true;
        } else {
            QTreeWidgetItem *parent = nodes.value(trimmedRight(rs->Field(QStringLiteral("Parente")).toString()));
            if (!parent)
                continue;
            node = new QTreeWidgetItem(parent);
            folder = rs->Field(QStringLiteral("tipo")).toString() == u"f";
        }
        node->setText(0, rs->Field(QStringLiteral("Titolo")).toString());
        node->setData(0, forms::TagRole, key);
        Form1::setImage(node, folder ? 5 : 4);
        nodes.insert(key, node);
        if (!node->parent())
            node->setExpanded(true);
    }
    return true;
}

QString nodeKeyForTopic(const QString &topicData, bool dateSearch)
{
    const qsizetype dot = topicData.indexOf(u'.');
    const QString key = dot < 0 ? topicData : topicData.left(dot);
    return dateSearch ? QStringLiteral("D") + key : key;
}

QTreeWidgetItem *findNode(Windows &w, const QString &key)
{
    QTreeWidget *tree = w.reader->TreeSommario;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        if (QTreeWidgetItem *found = findIn(tree->topLevelItem(i), key))
            return found;
    return nullptr;
}

void Sommario(Windows &w, TitleState &t)
{
    Form1 *f = w.reader;
    if (forms::switchPanel(w, Panel::Contents)) {
        f->TreeSommario->setFocus();
        w.frame->statusBar()->showMessage(QStringLiteral(" "));
        if (!t.NoTitleDatabase) {
            const QString key = nodeKeyForTopic(f->Fl_main->TopicData(), t.DateSearchEnabled);
            if (QTreeWidgetItem *node = findNode(w, key))
                f->TreeSommario->setCurrentItem(node);
            w.frame->item(QStringLiteral("Sommario_scritti"))->setEnabled(false);
        }
    }
    forms::setPanelTitle(w, w.strings->text(QStringLiteral("MENU"), 23).remove(u'&'), forms::kContentsTitleColor);
}

ContentsTree::ContentsTree(Windows &w, TitleState &t, ReaderState &r, QObject *parent)
    : QObject(parent), m_w(w), m_t(t), m_r(r)
{
    QTreeWidget *tree = w.reader->TreeSommario;
    m_treeObject = tree;
    m_viewportObject = tree->viewport();
    tree->installEventFilter(this);
    tree->viewport()->installEventFilter(this);
    connect(tree, &QTreeWidget::itemClicked, this, [this] { TreeSommario_Click(); });
}

void ContentsTree::TreeSommario_Click()
{
    Form1 *f = m_w.reader;
    QTreeWidgetItem *node = f->TreeSommario->currentItem();
    TreeSommario_KeyPress(13);
    if (node)
        node->setExpanded(!node->isExpanded());
}

void ContentsTree::TreeSommario_KeyPress(int keyAscii)
{
    Form1 *f = m_w.reader;
    m_t.TreeSyncSuppressed = true;
    if (m_r.AlwaysAddToHistory)
        m_r.CurrentHistoryRow = 1;
    if (keyAscii != 13)
        return;
    f->rememberPlace(m_r);
    if (QTreeWidgetItem *node = f->TreeSommario->currentItem()) {
        const QString key = node->data(0, forms::TagRole).toString();
        f->Fl_main->JumpContext(m_t.DateSearchEnabled ? key.mid(1) : key);
    }
}

bool ContentsTree::eventFilter(QObject *watched, QEvent *event)
{
    // Compared as plain objects: events still come while the reader window
    // is being destroyed, and only key and mouse presses are acted on.
    const bool onTree = watched == m_treeObject, onViewport = watched == m_viewportObject;
    const bool key = onTree && event->type() == QEvent::KeyPress;
    const bool press = onViewport && event->type() == QEvent::MouseButtonPress;
    if (!key && !press)
        return false;
    QTreeWidget *tree = m_w.reader->TreeSommario;
    if (key) {
        auto *k = static_cast<QKeyEvent *>(event);
        if (k->modifiers() == Qt::ShiftModifier) {
            if (k->key() == Qt::Key_Down || k->key() == Qt::Key_Up || k->key() == Qt::Key_PageDown ||
                k->key() == Qt::Key_PageUp) {
                emit scrollTopic(k->key());
                tree->setFocus();
            }
            return true;
        }
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)
            TreeSommario_KeyPress(13);
        else if (!k->text().isEmpty())
            TreeSommario_KeyPress(k->text().at(0).unicode());
        return false;
    }
    if (press) {
        auto *m = static_cast<QMouseEvent *>(event);
        if (m->button() == Qt::RightButton) {
            // A right click shows the menu and never moves the selection.
            QTreeWidgetItem *kept = tree->currentItem();
            emit contextMenuRequested(tree);
            if (kept)
                tree->setCurrentItem(kept);
            tree->setFocus();
            return true;
        }
    }
    return false;
}

} // namespace folium::title

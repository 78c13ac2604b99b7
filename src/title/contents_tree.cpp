#include "contents_tree.h"

#include "contents_model.h"
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
#include <QTreeView>

namespace folium::title {

using forms::Form1;
using forms::Panel;

namespace {
constexpr int kTopFoldersOpened = 50;
}

bool LetturaSommario(Windows &w, TitleState &t)
{
    Form1 *f = w.reader;
    int err = 0;
    auto database = db::Database::OpenReadOnly(t.TitleDatabasePath, &err);
    while (!database) {
        w.loading->hide();
        config::FileDialogRequest r;
        r.filter = w.strings->text(QStringLiteral("BMSG"), 22);
        const QString chosen = ApriFile(w, t, r);
        if (t.CancelFlag)
            return false;
        t.TitleDatabasePath = chosen;
        database = db::Database::OpenReadOnly(t.TitleDatabasePath, &err);
    }
    f->Check1->setChecked(w.options->CheckOptAnd->isChecked());
    f->TextNear->setText(w.options->TextNear->text());
    // The top-level nodes and their children are read now, every other
    // folder when it is first opened. A table that cannot be read, or only
    // in part, is said: the title is read without it, or with what could be.
    ContentsModel *model = contentsModel(w);
    const ContentsModel::Load loaded = model->load(database);
    if (loaded != ContentsModel::Load::Whole) {
        w.loading->hide();
        w.dialogs->message(w.frame,
                           w.strings->text(QStringLiteral("BMSG"), loaded == ContentsModel::Load::Cut ? 32 : 31),
                           w.strings->text(QStringLiteral("BMSG"), 11), config::Icon::Exclamation, config::Buttons::Ok);
    }
    // The first folders are opened; a title of thousands of top-level
    // nodes opens none past them.
    for (int i = 0; i < std::min(model->rowCount(), kTopFoldersOpened); ++i)
        f->TreeSommario->expand(model->index(i, 0));
    return true;
}

QString nodeKeyForTopic(const QString &topicData, bool dateSearch)
{
    const qsizetype dot = topicData.indexOf(u'.');
    const QString key = dot < 0 ? topicData : topicData.left(dot);
    return dateSearch ? QStringLiteral("D") + key : key;
}

ContentsModel *contentsModel(Windows &w)
{
    QTreeView *tree = w.reader->TreeSommario;
    if (auto *model = qobject_cast<ContentsModel *>(tree->model()))
        return model;
    auto *model = new ContentsModel(tree);
    model->setIcons(&Form1::image);
    tree->setModel(model);
    // A folder too large to show whole, found while the reader browses.
    QObject::connect(model, &ContentsModel::contentsCut, tree,
                     [&w] { w.frame->statusBar()->showMessage(w.strings->text(QStringLiteral("BMSG"), 32)); });
    // A folder shows its open image while it is expanded.
    QObject::connect(tree, &QTreeView::expanded, model, [model](const QModelIndex &i) { model->setExpanded(i, true); });
    QObject::connect(tree, &QTreeView::collapsed, model,
                     [model](const QModelIndex &i) { model->setExpanded(i, false); });
    return model;
}

QModelIndex findNode(Windows &w, const QString &key)
{
    return contentsModel(w)->indexOfKey(key);
}

void selectNode(Windows &w, const QModelIndex &node, bool open)
{
    QTreeView *tree = w.reader->TreeSommario;
    for (QModelIndex up = node.parent(); up.isValid(); up = up.parent())
        tree->expand(up);
    tree->setCurrentIndex(node);
    if (open)
        tree->expand(node);
    tree->scrollTo(node);
}

void Sommario(Windows &w, TitleState &t)
{
    Form1 *f = w.reader;
    if (forms::switchPanel(w, Panel::Contents)) {
        f->TreeSommario->setFocus();
        w.frame->statusBar()->showMessage(QStringLiteral(" "));
        if (!t.NoTitleDatabase) {
            const QString key = nodeKeyForTopic(f->Fl_main->TopicData(), t.DateSearchEnabled);
            if (const QModelIndex node = findNode(w, key); node.isValid())
                selectNode(w, node, false);
            w.frame->item("Sommario_scritti")->setEnabled(false);
        }
    }
    forms::setPanelTitle(w, w.strings->text(QStringLiteral("MENU"), 23).remove(u'&'), forms::kContentsTitleColor);
}

ContentsTree::ContentsTree(Windows &w, TitleState &t, ReaderState &r, QObject *parent)
    : QObject(parent), m_w(w), m_t(t), m_r(r)
{
    QTreeView *tree = w.reader->TreeSommario;
    contentsModel(w);
    m_treeObject = tree;
    m_viewportObject = tree->viewport();
    tree->installEventFilter(this);
    tree->viewport()->installEventFilter(this);
    connect(tree, &QTreeView::clicked, this, [this] { TreeSommario_Click(); });
}

void ContentsTree::TreeSommario_Click()
{
    QTreeView *tree = m_w.reader->TreeSommario;
    const QPersistentModelIndex node = tree->currentIndex();
    TreeSommario_KeyPress(13);
    if (node.isValid())
        tree->setExpanded(node, !tree->isExpanded(node));
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
    if (const QModelIndex node = f->TreeSommario->currentIndex(); node.isValid()) {
        const QString key = node.data(forms::TagRole).toString();
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
    QTreeView *tree = m_w.reader->TreeSommario;
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
            const QPersistentModelIndex kept = tree->currentIndex();
            emit contextMenuRequested(tree);
            if (kept.isValid())
                tree->setCurrentIndex(kept);
            tree->setFocus();
            return true;
        }
    }
    return false;
}

} // namespace folium::title

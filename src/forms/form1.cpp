#include "form1.h"

#include "interface_strings.h"
#include "region_view.h"
#include "state.h"
#include "topicview.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSplitter>
#include <QTimer>
#include <QResizeEvent>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace folium::forms {

namespace {

template <typename W> W *named(W *w, const char *name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

// A list of one column: what a row carries beside its text (a topic's
// address, a sort key) is kept in its roles, not in hidden columns, which
// a screen reader would be offered and could not read.
QTreeView *makeList(const char *name)
{
    auto *list = named(new QTreeView, name);
    list->setHeaderHidden(true);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return list;
}

} // namespace

int shiftState(Qt::KeyboardModifiers m)
{
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

Form1::Form1(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    Splitter1 = named(new QSplitter(Qt::Horizontal, this), "Splitter1");
    lay->addWidget(Splitter1);

    Text_gauche = named(new QWidget, "Text_gauche");
    auto *leftLay = new QVBoxLayout(Text_gauche);
    leftLay->setContentsMargins(4, 4, 4, 4);
    Titre_Splitgauche = named(new QLabel, "Titre_Splitgauche");
    QFont bold = Titre_Splitgauche->font();
    bold.setBold(true);
    Titre_Splitgauche->setFont(bold);
    panels = named(new QStackedWidget, "Panels");
    leftLay->addWidget(Titre_Splitgauche);
    leftLay->addWidget(panels, 1);
    Splitter1->addWidget(Text_gauche);

    buildSearchPanel();
    List_risultati = named(new QTreeView, "List_risultati");
    List_risultati->setRootIsDecorated(false);
    List_risultati->setUniformRowHeights(true);
    List_risultati->setHeaderHidden(true);
    List_risultati->setSelectionMode(QAbstractItemView::SingleSelection);
    List_risultati->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List_risultati->setTextElideMode(Qt::ElideRight);
    List_cronologia = makeList("List_cronologia");
    List_bookmark = makeList("List_bookmark");
    // The contents tree; its model, over the title database, is set by the
    // title's code.
    TreeSommario = named(new QTreeView, "TreeSommario");
    TreeSommario->setHeaderHidden(true);
    TreeSommario->setUniformRowHeights(true);
    TreeSommario->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeSommario->setExpandsOnDoubleClick(false);
    for (QWidget *w : {Frame_cerca, static_cast<QWidget *>(List_risultati), static_cast<QWidget *>(List_cronologia),
                       static_cast<QWidget *>(List_bookmark), static_cast<QWidget *>(TreeSommario)})
        panels->addWidget(w);

    Text_droit = named(new QWidget, "Text_droit");
    auto *rightLay = new QVBoxLayout(Text_droit);
    rightLay->setContentsMargins(0, 0, 0, 0);
    Splitter2 = named(new QSplitter(Qt::Vertical), "Splitter2");
    rightLay->addWidget(Splitter2);
    Fl_main = named(new engine::TopicView, "Fl_main");
    Splitter2->addWidget(Fl_main);
    Text_notes = named(new QWidget, "Text_notes");
    auto *notesLay = new QVBoxLayout(Text_notes);
    notesLay->setContentsMargins(0, 0, 0, 0);
    notesLay->setSpacing(0);
    NotesFrames = named(new QWidget, "NotesFrames");
    auto *stripLay = new QHBoxLayout(NotesFrames);
    stripLay->setContentsMargins(4, 2, 2, 2);
    NotesTitre = named(new QLabel, "NotesTitre");
    NotesFermer = named(new QToolButton, "NotesFermer");
    NotesFermer->setText(QStringLiteral("\u00d7"));
    NotesFermer->setAutoRaise(true);
    stripLay->addWidget(NotesTitre, 1);
    stripLay->addWidget(NotesFermer);
    Fl_sec = named(new engine::TopicView, "Fl_sec");
    notesLay->addWidget(NotesFrames);
    notesLay->addWidget(Fl_sec, 1);
    Splitter2->addWidget(Text_notes);
    Splitter2->setStretchFactor(0, 4);
    Splitter2->setStretchFactor(1, 1);
    Text_notes->hide();
    Splitter1->addWidget(Text_droit);
    Splitter1->setStretchFactor(1, 1);
    // The dividers move when dropped, never collapse a pane, and stop
    // 10 pixels from one edge and 15 from the other (see dividerMoved).
    for (QSplitter *s : {Splitter1, Splitter2}) {
        s->setChildrenCollapsible(false);
        s->setOpaqueResize(false);
        connect(s, &QSplitter::splitterMoved, this, [this, s] { dividerMoved(s); });
    }
    Text_gauche->setMinimumWidth(10);
    Text_droit->setMinimumWidth(std::max(1, 15 - Splitter1->handleWidth()));
    Fl_main->setMinimumHeight(10);
    Text_notes->setMinimumHeight(std::max(1, 15 - Splitter2->handleWidth()));

    // The popup pane draws only its popups.
    Med2 = named(new engine::TopicView(this), "Med2");
    Med2->hide();

    // The reader window's key preview: its handler sees every key of the
    // main frame before the control that has the focus.
    qApp->installEventFilter(this);
}

void Form1::buildSearchPanel()
{
    Frame_cerca = named(new QWidget, "Frame_cerca");
    auto *lay = new QVBoxLayout(Frame_cerca);
    lay->setContentsMargins(0, 0, 0, 0);

    Frame_perparole = named(new QGroupBox, "Frame_perparole");
    auto *wordsLay = new QVBoxLayout(Frame_perparole);
    Combo_perparole = named(new QComboBox, "Combo_perparole");
    Combo_perparole->setEditable(true);
    Combo_perparole->setInsertPolicy(QComboBox::NoInsert);
    // Enter searches what was typed, never a longer past query that Qt's
    // completion would put in its place.
    Combo_perparole->setCompleter(nullptr);
    wordsLay->addWidget(Combo_perparole);
    auto *nearRow = new QHBoxLayout;
    Check1 = named(new QCheckBox, "Check1");
    TextNear = named(new QLineEdit, "TextNear");
    TextNear->setMaximumWidth(50);
    TextNear->setAccessibleName(QStringLiteral("NEAR"));
    nearRow->addWidget(Check1);
    nearRow->addStretch(1);
    nearRow->addWidget(new QLabel(QStringLiteral("NEAR")));
    nearRow->addWidget(TextNear);
    wordsLay->addLayout(nearRow);
    lay->addWidget(Frame_perparole);

    Frame_dominio = named(new QGroupBox, "Frame_dominio");
    auto *domainLay = new QVBoxLayout(Frame_dominio);
    Option_tutto = named(new QRadioButton, "Option_tutto");
    Option_argomento = named(new QRadioButton, "Option_argomento");
    Option_sottoinsieme = named(new QRadioButton, "Option_sottoinsieme");
    Option_tutto->setChecked(true);
    Combo_sottoinsieme = named(new QListWidget, "Combo_sottoinsieme");
    Combo_sottoinsieme->setSelectionMode(QAbstractItemView::MultiSelection);
    Combo_sottoinsieme->setMaximumHeight(90);
    for (QWidget *w :
         std::initializer_list<QWidget *>{Option_tutto, Option_argomento, Option_sottoinsieme, Combo_sottoinsieme})
        domainLay->addWidget(w);
    lay->addWidget(Frame_dominio);

    FramePerData = named(new QGroupBox, "FramePerData");
    auto *dateLay = new QVBoxLayout(FramePerData);
    DatePicker = named(new QDateEdit, "DatePicker");
    DatePicker->setCalendarPopup(true);
    DatePicker->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    // Editions reach back before 1752, where the control would stop.
    DatePicker->setMinimumDate(QDate(100, 1, 1));
    CheckCalendrier = named(new QCheckBox, "CheckCalendrier");
    dateLay->addWidget(DatePicker);
    dateLay->addWidget(CheckCalendrier);
    lay->addWidget(FramePerData);
    FramePerLettera = named(new QGroupBox, "FramePerLettera");
    auto *letterLay = new QVBoxLayout(FramePerLettera);
    ComboPerLettera = named(new QComboBox, "ComboPerLettera");
    ComboPerLettera->setEditable(true);
    ComboPerLettera->setCompleter(nullptr);
    letterLay->addWidget(ComboPerLettera);
    lay->addWidget(FramePerLettera);
    lay->addStretch(1);
}

void Form1::applyInterfaceStrings(const config::InterfaceStrings &strings)
{
    const auto t = [&strings](const char *group, int n) { return strings.text(QString::fromLatin1(group), n); };
    Frame_perparole->setTitle(t("RECH", 2));
    Check1->setText(t("RECH", 3));
    Frame_dominio->setTitle(t("RECH", 4));
    Option_tutto->setText(t("RECH", 5));
    Option_argomento->setText(t("RECH", 6));
    Option_sottoinsieme->setText(t("RECH", 7));
    FramePerData->setTitle(t("RECH", 8));
    CheckCalendrier->setText(t("RECH", 9));
    FramePerLettera->setTitle(t("RECH", 10));
    NotesTitre->setText(t("FENE", 2));
    // What a screen reader says for the inputs, lists and panes. An
    // editable box is read through its text field, which needs the name
    // too (else it is named by what it holds).
    const QString plainSubsets = QString(t("RECH", 7)).remove(u'&');
    Combo_perparole->setAccessibleName(t("RECH", 2));
    if (Combo_perparole->lineEdit())
        Combo_perparole->lineEdit()->setAccessibleName(t("RECH", 2));
    Combo_sottoinsieme->setAccessibleName(plainSubsets);
    DatePicker->setAccessibleName(t("RECH", 8));
    ComboPerLettera->setAccessibleName(t("RECH", 10));
    if (ComboPerLettera->lineEdit())
        ComboPerLettera->lineEdit()->setAccessibleName(t("RECH", 10));
    List_risultati->setAccessibleName(t("RESU", 1));
    List_cronologia->setAccessibleName(QString(t("MENU", 21)).remove(u'&'));
    List_bookmark->setAccessibleName(QString(t("MENU", 22)).remove(u'&'));
    TreeSommario->setAccessibleName(QString(t("MENU", 23)).remove(u'&'));
    Fl_sec->setAccessibleName(t("FENE", 1));
    Fl_main->setAccessibleName(t("ACCE", 9));
    Splitter1->setAccessibleName(t("ACCE", 10));
    Splitter2->setAccessibleName(t("ACCE", 11));
    Fl_main->regionView(0)->setAccessibleName(t("ACCE", 1));
    Fl_main->regionView(1)->setAccessibleName(t("ACCE", 2));
    Fl_sec->regionView(0)->setAccessibleName(t("ACCE", 1));
    Fl_sec->regionView(1)->setAccessibleName(t("FENE", 1));
    Fl_main->setCutNotice(t("STAT", 6));
    Fl_sec->setCutNotice(t("STAT", 6));
    Med2->setAccessibleName(t("ACCE", 7));
    Med2->regionView(0)->setAccessibleName(t("ACCE", 7));
    Med2->regionView(1)->setAccessibleName(t("ACCE", 7));
    for (engine::TopicView *pane : {Fl_main, Fl_sec, Med2})
        pane->setPopupAccessibleName(t("ACCE", 7));
    NotesFermer->setAccessibleName(t("ACCE", 3));
    NotesFermer->setToolTip(t("ACCE", 3));
    Splitter1->handle(1)->setAccessibleName(t("ACCE", 4));
    Splitter2->handle(1)->setAccessibleName(t("ACCE", 5));
    // The panel title names the panel shown (the search panel when none is).
    switch (m_shown) {
    case Panel::Results: Titre_Splitgauche->setText(t("RESU", 1) + QStringLiteral(" (%1)").arg(resultCount())); break;
    case Panel::History: Titre_Splitgauche->setText(QString(t("MENU", 21)).remove(u'&')); break;
    case Panel::Bookmarks: Titre_Splitgauche->setText(QString(t("MENU", 22)).remove(u'&')); break;
    case Panel::Contents: Titre_Splitgauche->setText(QString(t("MENU", 23)).remove(u'&')); break;
    case Panel::Search:
    case Panel::None: Titre_Splitgauche->setText(t("RECH", 1)); break;
    }
}

QWidget *Form1::panelWidget(Panel p) const
{
    return panels->widget(int(p));
}

void Form1::setShownPanel(Panel p)
{
    const bool changed = m_shown != p;
    m_shown = p;
    if (p != Panel::None)
        panels->setCurrentIndex(int(p));
    if (changed)
        emit shownPanelChanged();
}

QIcon Form1::image(int number)
{
    // Our own icons, compiled in with the toolbar's; an unknown number
    // shows the plain topic's. One icon per kind, made once and shared by
    // every row (rendering an SVG per row made big trees slow to build).
    static QIcon icons[11];
    const int n = number >= 1 && number <= 10 && number != 9 ? number : 1;
    if (icons[n].isNull())
        icons[n] = QIcon(QStringLiteral(":/icons/list/image%1.svg").arg(n));
    return icons[n];
}

int Form1::imageOf(engine::TopicKind kind)
{
    switch (kind) {
    case engine::TopicKind::Letter: return 8;
    case engine::TopicKind::Chapter: return 2;
    case engine::TopicKind::Home: return 3;
    case engine::TopicKind::Index: return 10;
    case engine::TopicKind::Note: return 7;
    case engine::TopicKind::Plain: break;
    }
    return 1;
}

int Form1::notesDividerFor(int height)
{
    return height < 30 ? height : height - ((height - 30) * 20 / 100 + 30);
}

void Form1::placeNotesDivider()
{
    if (Text_notes->isHidden())
        return;
    const int top = std::clamp(notesDividerFor(height()), 10, std::max(10, Splitter2->height() - 15));
    Splitter2->setSizes({top, std::max(1, Splitter2->height() - top - Splitter2->handleWidth())});
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    fitSidePane();
    placeNotesDivider();
}

void Form1::fitSidePane()
{
    if (m_sideWanted < 0 || Text_gauche->isHidden() || Text_droit->isHidden())
        return;
    const int room = Splitter1->width() - Splitter1->handleWidth();
    if (room <= 0)
        return;
    const int side = std::max(std::min(m_sideWanted, room - kMinReadingWidth), std::min(m_sideWanted, kMinSidePane));
    if (Splitter1->sizes().value(0) != side)
        Splitter1->setSizes({side, std::max(1, room - side)});
    m_sideYielded = side < m_sideWanted ? Splitter1->sizes().value(0) : -1;
}

void Form1::dividerMoved(QSplitter *splitter)
{
    // Dropped within 10 pixels of an edge, the divider stops 10 pixels
    // from the start or 15 from the end.
    const QList<int> sizes = splitter->sizes();
    if (sizes.size() == 2) {
        const int whole = sizes[0] + sizes[1] + splitter->handleWidth();
        const int at = sizes[0];
        if (at <= 10 || at >= whole - 10) {
            const int to = at <= 10 ? 10 : whole - 15;
            splitter->setSizes({to, std::max(1, whole - to - splitter->handleWidth())});
        }
        if (splitter == Splitter1) {
            m_sideWanted = splitter->sizes().value(0);
            m_sideYielded = -1;
        }
    }
    emit dividerDropped();
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Text_notes && event->type() == QEvent::Show) {
        // Once the divider has made room for the pane that just showed.
        QTimer::singleShot(0, this, &Form1::placeNotesDivider);
        return false;
    }
    // A width asked for while the panes were hidden (a start without a
    // title) is given when they show: a hidden pane has no width.
    if ((watched == Text_gauche || watched == Text_droit) && event->type() == QEvent::Show && m_pendingSplit >= 0 &&
        !Text_gauche->isHidden() && !Text_droit->isHidden()) {
        setSplitterPosition(m_pendingSplit);
        return false;
    }
    if (watched == Text_gauche && (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
        emit shownPanelChanged();
        return false;
    }
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return false;
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || w->window() != window())
        return false;
    // Each key once, at its first delivery: to the focused control.
    const QWidget *focus = QApplication::focusWidget();
    if (focus ? w != focus : !w->isWindow())
        return false;
    auto *k = static_cast<QKeyEvent *>(event);
    if (event->type() == QEvent::KeyRelease) {
        if (!k->isAutoRepeat())
            emit keyUp(k->key(), shiftState(k->modifiers()));
        return false;
    }
    bool handled = false;
    emit keyDown(k->key(), shiftState(k->modifiers()), &handled);
    return handled;
}

void Form1::rememberPlace(ReaderState &r)
{
    if (r.AlwaysAddToHistory)
        r.CurrentHistoryRow = 1;
    if (QAbstractItemModel *rows = List_cronologia->model())
        rows->setData(rows->index(r.CurrentHistoryRow - 1, 0), QVariant::fromValue(Fl_main->place()), PlaceRole);
}

void Form1::setFrameActive(QGroupBox *frame, bool active)
{
    frame->setProperty("inactive", !active);
    QPalette pal = frame->palette();
    pal.setColor(QPalette::WindowText,
                 QApplication::palette().color(active ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    frame->setPalette(pal);
}

bool Form1::isFrameActive(const QGroupBox *frame)
{
    return !frame->property("inactive").toBool();
}

int Form1::resultCount() const
{
    return List_risultati->model() ? List_risultati->model()->rowCount() : 0;
}

int Form1::splitterPosition() const
{
    if (m_pendingSplit >= 0)
        return m_pendingSplit;
    const int shown = Splitter1->sizes().value(0);
    return m_sideYielded >= 0 && shown == m_sideYielded ? m_sideWanted : shown;
}

void Form1::setSplitterPosition(int pixels)
{
    if (Text_gauche->isHidden() || Text_droit->isHidden()) {
        m_pendingSplit = pixels;
        return;
    }
    m_pendingSplit = -1;
    m_sideWanted = pixels;
    const int total = std::max(Splitter1->width(), pixels + 200);
    Splitter1->setSizes({pixels, total - pixels});
    // A window too narrow for both: the text keeps its width.
    if (Splitter1->width() > 0)
        fitSidePane();
}

} // namespace folium::forms

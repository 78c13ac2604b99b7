#include "search_panel.h"

#include "contents_model.h"
#include "contents_tree.h"
#include "dialogs.h"
#include "engine_errors.h"
#include "form1.h"
#include "form2.h"
#include "form3.h"
#include "hotspots.h"
#include "interface_strings.h"
#include "mdiform1.h"
#include "option_set.h"
#include "panels.h"
#include "results_model.h"
#include "state.h"
#include "topic_display.h"
#include "topicview.h"
#include "windows.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QRegularExpressionValidator>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

namespace folium::search {

using config::Buttons;
using config::Icon;
using engine::TopicView;

void Cerca_parola(forms::Windows &w, const forms::ReaderState &r)
{
    forms::Form1 *f = w.reader;
    if (forms::switchPanel(w, forms::Panel::Search)) {
        w.frame->button("Avvio")->setEnabled(true);
        w.frame->statusBar()->showMessage(QStringLiteral(" "));
        w.frame->item("Cerca")->setEnabled(false);
    }
    // The search field used last: the query box, or the letter field of a
    // title searched by letter, or the date field.
    if (r.LastSearchField != 1)
        f->Combo_perparole->setFocus();
    else if (!f->FramePerLettera->isHidden())
        f->ComboPerLettera->setFocus();
    else
        f->DatePicker->setFocus();
    forms::setPanelTitle(w, w.strings->text(QStringLiteral("RECH"), 1), forms::kSearchTitleColor);
}

void Hasard(forms::Windows &w, const forms::TitleState &t)
{
    // A row of the contents table drawn at random: a node without children
    // is shown; a folder, or a row that is not a node, shows nothing.
    title::ContentsModel *model = title::contentsModel(w);
    const qint64 rows = model->rowCountInTable();
    if (rows <= 0)
        return;
    const QModelIndex node = model->indexOfRow(qint64(QRandomGenerator::global()->bounded(quint64(rows))));
    if (!node.isValid() || model->hasChildren(node))
        return;
    const QString key = node.data(forms::TagRole).toString();
    w.reader->Fl_main->JumpContext(t.DateSearchEnabled ? key.mid(1) : key);
}

SearchPanel::SearchPanel(forms::Windows &w, forms::TitleState &t, forms::ReaderState &r, reader::TopicDisplay &display,
                         reader::Hotspots &hotspots, QObject *parent)
    : QObject(parent), m_w(w), m_t(t), m_r(r), m_display(display), m_hotspots(hotspots),
      m_results(new ResultsModel(this)), m_notice(new forms::Form3(w.frame))
{
    forms::Form1 *f = w.reader;
    m_notice->setObjectName(QStringLiteral("Form6"));
    setUpResultsList();

    // The proximity box takes digits (and the "." of a decimal number).
    f->TextNear->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]{0,8}")), f->TextNear));
    connect(f->TextNear, &QLineEdit::textChanged, this, &SearchPanel::nearChanged);
    // Implicit AND acts on the engine when it changes, whoever changes it.
    connect(f->Check1, &QCheckBox::toggled, this, [f](bool on) { f->Fl_main->setSearchImplicitAND(on); });
    connect(f->Option_sottoinsieme, &QRadioButton::toggled, f->Combo_sottoinsieme, &QWidget::setEnabled);
    f->Combo_sottoinsieme->setEnabled(f->Option_sottoinsieme->isChecked());
    connect(f->CheckCalendrier, &QCheckBox::toggled, this, [f](bool on) {
        f->DatePicker->setCalendarPopup(on);
        if (f->DatePicker->isEnabled() && f->DatePicker->isVisible())
            f->DatePicker->setFocus();
    });
    f->CheckCalendrier->setChecked(f->DatePicker->calendarPopup());
    if (QCalendarWidget *calendar = f->DatePicker->calendarWidget())
        connect(calendar, &QCalendarWidget::clicked, this, [this] { DatePicker_CloseUp(); });

    for (QObject *o : std::initializer_list<QObject *>{
             f->Combo_perparole, f->Check1, f->TextNear, f->Option_tutto, f->Option_argomento, f->Option_sottoinsieme,
             f->Combo_sottoinsieme, f->Combo_sottoinsieme->viewport(), f->ComboPerLettera, f->DatePicker,
             f->CheckCalendrier, f->Frame_dominio, f->Frame_perparole, f->FramePerData, f->FramePerLettera})
        o->installEventFilter(this);
    for (QComboBox *c : {f->Combo_perparole, f->ComboPerLettera})
        if (c->lineEdit())
            c->lineEdit()->installEventFilter(this);

    // Highlighting starts on, in the engine, the menu and on the toolbar.
    f->Fl_main->setHiliteSearchHits(m_r.HitHighlighting);
    m_w.frame->item("Evidenziatore")->setChecked(m_r.HitHighlighting);
    // The hits of each topic shown are counted again, except while stepping.
    display.observe(reader::TopicObserver::SearchHits, [this](const engine::Place &) {
        if (!m_r.IgnoreTopicChange && !m_r.SteppingAcrossTopics)
            CercaHighlights();
    });
    // The results commands wait for a search.
    for (forms::ButtonName k : forms::ButtonList{"Risultatilist", "Risultatilistnext", "Risultatilistback"})
        m_w.frame->button(k)->setEnabled(false);
}

QString SearchPanel::text(const char *group, int number) const
{
    return m_w.strings->text(QString::fromLatin1(group), number);
}

void SearchPanel::refuse(int bmsgText, int bmsgTitle, const QString &reason)
{
    QString message = text("BMSG", bmsgText);
    if (!reason.isEmpty())
        message += QStringLiteral("\n\n") + reason;
    m_w.dialogs->message(m_w.frame, message, bmsgTitle > 0 ? text("BMSG", bmsgTitle) : text("RECH", 1),
                         Icon::Exclamation, Buttons::Ok);
}

// --- Focus and keys of the panel's controls --------------------------------

bool SearchPanel::eventFilter(QObject *watched, QEvent *event)
{
    forms::Form1 *f = m_w.reader;
    QObject *control = watched;
    // The text fields of the two editable boxes stand for their box.
    for (QComboBox *c : {f->Combo_perparole, f->ComboPerLettera})
        if (watched == c->lineEdit())
            control = c;
    if (watched == f->Combo_sottoinsieme->viewport())
        control = f->Combo_sottoinsieme;

    QTreeView *list = f->List_risultati;
    if (watched == list || watched == list->viewport())
        return resultsListEvent(event);

    switch (event->type()) {
    case QEvent::FocusIn:
        if (control == f->Combo_perparole)
            queryGotFocus();
        else if (control == f->ComboPerLettera)
            searchFieldGotFocus(true);
        else if (control == f->DatePicker)
            searchFieldGotFocus(false);
        else if (control == f->Check1)
            m_r.FocusLeftImplicitAnd = false;
        else if (control == f->Option_tutto || control == f->Option_argomento || control == f->Option_sottoinsieme)
            optionChosen(static_cast<QWidget *>(control), false);
        break;
    case QEvent::FocusOut:
        if (control == f->Check1)
            m_r.FocusLeftImplicitAnd = true;
        else if (control == f->TextNear && !m_checkingNear)
            QTimer::singleShot(0, this, [this] { nearInRange(true); });
        else if (control == f->Option_sottoinsieme)
            f->Combo_sottoinsieme->setEnabled(f->Option_sottoinsieme->isChecked());
        break;
    case QEvent::MouseButtonPress: {
        auto *me = static_cast<QMouseEvent *>(event);
        if (me->button() == Qt::RightButton) {
            emit contextMenuRequested(static_cast<QWidget *>(control));
            return control != f->Combo_sottoinsieme; // a right click chooses nothing
        }
        if (control == f->Option_tutto || control == f->Option_argomento || control == f->Option_sottoinsieme) {
            optionChosen(static_cast<QWidget *>(control), true);
            return true;
        }
        if (control == f->Combo_sottoinsieme) // a choice made, the query box takes the keys again
            QTimer::singleShot(0, f->Combo_perparole, [f] { f->Combo_perparole->setFocus(); });
        break;
    }
    case QEvent::KeyPress: {
        auto *ke = static_cast<QKeyEvent *>(event);
        const bool enter = ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter;
        if (control == f->Combo_perparole || control == f->ComboPerLettera) {
            if (QLineEdit *edit = static_cast<QComboBox *>(control)->lineEdit())
                m_r.QueryCaretPos = edit->cursorPosition();
        }
        if (!enter)
            break;
        if (control == f->ComboPerLettera) {
            letterJump();
            return true;
        }
        if (control == f->DatePicker) {
            dateJump();
            return true;
        }
        if (control == f->TextNear) {
            if (!nearInRange(true))
                return true;
            if (f->Combo_perparole->currentText().isEmpty())
                f->Combo_perparole->setFocus();
            else
                Avvio();
            return true;
        }
        if (control == f->Combo_perparole || control == f->Check1 || control == f->Option_tutto ||
            control == f->Option_argomento || control == f->Option_sottoinsieme || control == f->Combo_sottoinsieme) {
            Avvio();
            return true;
        }
        break;
    }
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

void SearchPanel::queryGotFocus()
{
    forms::Form1 *f = m_w.reader;
    if (m_r.RestoreQueryCaret) {
        if (QLineEdit *edit = f->Combo_perparole->lineEdit())
            edit->setCursorPosition(m_r.QueryCaretPos);
        m_r.RestoreQueryCaret = false;
    }
    m_r.LastSearchField = 0;
    m_r.FocusLeftImplicitAnd = false;
    forms::Form1::setFrameActive(f->FramePerData, false);
    forms::Form1::setFrameActive(f->Frame_perparole, true);
    forms::Form1::setFrameActive(f->FramePerLettera, false);
    forms::Form1::setFrameActive(f->Frame_dominio, true);
    for (QWidget *wdg : std::initializer_list<QWidget *>{f->Check1, f->TextNear, f->Option_tutto, f->Option_argomento,
                                                         f->Option_sottoinsieme})
        wdg->setEnabled(true);
    f->Combo_sottoinsieme->setEnabled(f->Option_sottoinsieme->isChecked());
    if (m_t.NoTitleDatabase) {
        f->Option_sottoinsieme->setEnabled(false);
        f->Combo_sottoinsieme->setEnabled(false);
        for (QWidget *wdg : std::initializer_list<QWidget *>{f->DatePicker, f->CheckCalendrier, f->FramePerData,
                                                             f->FramePerLettera, f->ComboPerLettera})
            wdg->hide();
    }
}

void SearchPanel::searchFieldGotFocus(bool letter)
{
    forms::Form1 *f = m_w.reader;
    if (letter && m_r.RestoreQueryCaret) {
        if (QLineEdit *edit = f->ComboPerLettera->lineEdit())
            edit->setCursorPosition(m_r.QueryCaretPos);
        m_r.RestoreQueryCaret = false;
    }
    m_r.LastSearchField = 1;
    forms::Form1::setFrameActive(f->Frame_perparole, false);
    forms::Form1::setFrameActive(f->Frame_dominio, false);
    for (QWidget *wdg : std::initializer_list<QWidget *>{f->Check1, f->TextNear, f->Option_tutto, f->Option_argomento,
                                                         f->Option_sottoinsieme, f->Combo_sottoinsieme})
        wdg->setEnabled(false);
    forms::Form1::setFrameActive(letter ? f->FramePerLettera : f->FramePerData, true);
}

// --- Proximity ---------------------------------------------------------------

namespace {

// The leading number of a text, as the options dialog reads it: "12ab" is
// 12, "" is 0, "1.5" is 1; past a million it is a million.
long leadingNumber(const QString &text)
{
    return long(std::min(config::Form2::leadingNumber(text), 1e6));
}

} // namespace

void SearchPanel::nearChanged()
{
    const long v = leadingNumber(m_w.reader->TextNear->text());
    if (config::kNearRange.contains(double(v)))
        m_w.reader->Fl_main->setSearchNearThreshold(int(v));
}

bool SearchPanel::nearInRange(bool tellIfNot)
{
    forms::Form1 *f = m_w.reader;
    // An empty box (a title without its database never filled it) takes the
    // option's value rather than trapping the focus.
    if (f->TextNear->text().isEmpty() && m_w.optionSet)
        f->TextNear->setText(QString::number(m_w.optionSet->near));
    const long v = leadingNumber(f->TextNear->text());
    if (config::kNearRange.contains(double(v)))
        return true;
    if (tellIfNot && !m_checkingNear) {
        m_checkingNear = true;
        m_w.dialogs->message(m_w.frame, text("BMSG", 6), text("BMSG", 8), Icon::Exclamation, Buttons::Ok);
        f->TextNear->setFocus();
        m_checkingNear = false;
    }
    return false;
}

// --- Domains -----------------------------------------------------------------

void SearchPanel::optionChosen(QWidget *option, bool byMouse)
{
    forms::Form1 *f = m_w.reader;
    const bool subsets = option == f->Option_sottoinsieme;
    if (!byMouse && m_r.FocusLeftImplicitAnd) {
        // Reached by Tab from the implicit-AND box: nothing is chosen.
        if (subsets)
            f->Combo_sottoinsieme->setEnabled(f->Option_sottoinsieme->isChecked());
        return;
    }
    static_cast<QRadioButton *>(option)->setChecked(true);
    f->Combo_sottoinsieme->setEnabled(subsets);
    if (subsets && f->Combo_sottoinsieme->count() > 0) {
        const int row = std::max(0, f->Combo_sottoinsieme->currentRow());
        f->Combo_sottoinsieme->item(row)->setSelected(true);
    }
    f->Combo_perparole->setFocus();
}

void SearchPanel::DeterminaGruppo()
{
    forms::Form1 *f = m_w.reader;
    TopicView *main = f->Fl_main;
    if (f->Option_tutto->isChecked()) {
        main->setSearchMode(0);
        return;
    }
    if (f->Option_argomento->isChecked()) {
        main->setSearchMode(1);
        return;
    }
    main->setSearchMode(2);
    main->ClearSearchGroups();
    // Each subset chosen searches its own group and the group of its notes.
    for (int i = 0; i < f->Combo_sottoinsieme->count(); ++i) {
        if (!f->Combo_sottoinsieme->item(i)->isSelected() || i >= m_t.SubsetGroupIds.size())
            continue;
        const QString id = m_t.SubsetGroupIds.at(i);
        main->AddSearchGroup(id);
        main->AddSearchGroup(u'N' + id.trimmed());
    }
}

// --- Letter and date ---------------------------------------------------------

void SearchPanel::letterJump()
{
    forms::Form1 *f = m_w.reader;
    TopicView *main = f->Fl_main;
    const QString ref = f->ComboPerLettera->currentText().trimmed();
    if (ref.isEmpty()) {
        refuse(14, 18);
        return;
    }
    const bool note = ref.contains(u'.');
    const QString context = (note ? QStringLiteral("NSMK") : QStringLiteral("SMK")) + ref;
    if (m_r.AlwaysAddToHistory)
        m_r.CurrentHistoryRow = 1;
    f->rememberPlace(m_r);
    if (main->JumpContext(context) == engine::kErrNoContext) {
        note ? refuse(16, 17) : refuse(15, 19);
        return;
    }
    if (note) {
        m_hotspots.HotspotInit();
        m_r.CurrentHotspot = context.mid(context.indexOf(u'.') + 1).toInt();
        m_hotspots.IlluminaHotspot();
        m_hotspots.AfficheNoteAvecClick();
    }
}

QString dateContext(const QDate &d)
{
    // Two digits each for the day, the month and the year.
    return QStringLiteral("%1%2%3")
        .arg(d.day(), 2, 10, QChar(u'0'))
        .arg(d.month(), 2, 10, QChar(u'0'))
        .arg(d.year() % 100, 2, 10, QChar(u'0'));
}

void SearchPanel::dateJump()
{
    forms::Form1 *f = m_w.reader;
    TopicView *main = f->Fl_main;
    const QString context = dateContext(f->DatePicker->date());
    f->rememberPlace(m_r);
    if (main->JumpContext(context) == engine::kErrNoContext &&
        main->JumpContext(context + u'a') == engine::kErrNoContext) {
        refuse(3, 12);
        f->DatePicker->setFocus();
    }
}

void SearchPanel::DatePicker_CloseUp()
{
    forms::Form1 *f = m_w.reader;
    if (f->DatePicker->date() == m_t.StartDate)
        return;
    dateJump();
    m_hotspots.MetteIlGiustoFocus();
    m_t.StartDate = f->DatePicker->date();
}

} // namespace folium::search

// The search panel of the side pane: the query box with its two engine
// settings, the search domain, the jumps by letter and by date, running a
// search into the results list and stepping through it, and the marking of
// the hits in the topic shown. Also the random topic of the contents.
#pragma once

#include <QDate>
#include <QObject>
#include <QString>

class QWidget;

namespace folium::forms {
class Form3;
struct ReaderState;
struct TitleState;
struct Windows;
} // namespace folium::forms

namespace folium::reader {
class Hotspots;
class TopicDisplay;
} // namespace folium::reader

namespace folium::search {

class ResultsModel;

// Shows the search panel with the focus in the search field used last.
void Cerca_parola(forms::Windows &w, const forms::ReaderState &r);

// The context string of a date: its day, month and year, two digits each.
QString dateContext(const QDate &date);

// Shows a random topic of the contents tree: a node without children is
// jumped to; a folder gives nothing.
void Hasard(forms::Windows &w, const forms::TitleState &t);

class SearchPanel : public QObject {
    Q_OBJECT
public:
    SearchPanel(forms::Windows &w, forms::TitleState &t, forms::ReaderState &r, reader::TopicDisplay &display,
                reader::Hotspots &hotspots, QObject *parent = nullptr);

    // Runs the search the panel describes (a word search, or a date search
    // when the date field was used last).
    void Avvio();
    // Hands the search domain to the engine.
    void DeterminaGruppo();
    void Risultati_list();
    void Risultati_list_back();
    void Risultati_list_next();
    // Opening another title empties the results.
    void clearResults();

    // The jump by letter reference (Enter in the letter field) and by date.
    void letterJump();
    void dateJump();
    void DatePicker_CloseUp();

    // Highlighting of the hits in the topic shown.
    void Highlight();
    void HighlightNext();
    void HighlightBack();
    void CercaHighlights();

    ResultsModel *results() const { return m_results; }
    forms::Form3 *Form6() const { return m_notice; }

signals:
    // A right click on one of the panel's controls: the context menu for it.
    void contextMenuRequested(QWidget *source);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setUpResultsList();
    void showResult();
    bool resultsListEvent(QEvent *event);
    void queryGotFocus();
    void searchFieldGotFocus(bool letter);
    void nearChanged();
    bool nearInRange(bool tellIfNot);
    void optionChosen(QWidget *option, bool byMouse);
    void addPastQuery(const QString &query);
    void refuse(int bmsgText, int bmsgTitle, const QString &reason = {});
    void AfficheDebutFinHighlight(const QString &text);
    QString text(const char *group, int number) const;

    forms::Windows &m_w;
    forms::TitleState &m_t;
    forms::ReaderState &m_r;
    reader::TopicDisplay &m_display;
    reader::Hotspots &m_hotspots;
    ResultsModel *m_results;
    forms::Form3 *m_notice;
    bool m_checkingNear = false;
};

} // namespace folium::search

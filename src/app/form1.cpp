#include "form1.h"

#include "topicview.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSplitter>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace folium::app {

Form1::Form1(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    lay->addWidget(Splitter1);

    auto *left = new QWidget;
    left->setObjectName(QStringLiteral("Text_gauche"));
    auto *leftLay = new QVBoxLayout(left);
    leftLay->setContentsMargins(4, 4, 4, 4);
    Titre_Splitgauche = new QLabel;
    Titre_Splitgauche->setObjectName(QStringLiteral("Titre_Splitgauche"));
    QFont bold = Titre_Splitgauche->font();
    bold.setBold(true);
    Titre_Splitgauche->setFont(bold);
    panels = new QStackedWidget;
    panels->setObjectName(QStringLiteral("Panels"));
    leftLay->addWidget(Titre_Splitgauche);
    leftLay->addWidget(panels, 1);
    Splitter1->addWidget(left);

    Splitter2 = new QSplitter(Qt::Vertical);
    Splitter2->setObjectName(QStringLiteral("Splitter2"));
    Fl_main = new engine::TopicView;
    Fl_main->setObjectName(QStringLiteral("Fl_main"));
    Splitter2->addWidget(Fl_main);
    Text_notes = new QWidget;
    Text_notes->setObjectName(QStringLiteral("Text_notes"));
    auto *notesLay = new QVBoxLayout(Text_notes);
    notesLay->setContentsMargins(0, 0, 0, 0);
    notesLay->setSpacing(0);
    auto *strip = new QWidget;
    strip->setObjectName(QStringLiteral("NotesFrames"));
    auto *stripLay = new QHBoxLayout(strip);
    stripLay->setContentsMargins(4, 2, 2, 2);
    NotesTitre = new QLabel;
    NotesTitre->setObjectName(QStringLiteral("NotesTitre"));
    NotesFermer = new QToolButton;
    NotesFermer->setObjectName(QStringLiteral("NotesFermer"));
    NotesFermer->setText(QStringLiteral("\u00d7"));
    stripLay->addWidget(NotesTitre, 1);
    stripLay->addWidget(NotesFermer);
    Fl_sec = new engine::TopicView;
    Fl_sec->setObjectName(QStringLiteral("Fl_sec"));
    notesLay->addWidget(strip);
    notesLay->addWidget(Fl_sec, 1);
    Splitter2->addWidget(Text_notes);
    Text_notes->hide();
    Splitter1->addWidget(Splitter2);
    Splitter1->setStretchFactor(1, 1);

    // The popup pane draws only its popups.
    Med2 = new engine::TopicView(this);
    Med2->setObjectName(QStringLiteral("Med2"));
    Med2->hide();
}

int Form1::splitterPosition() const
{
    const QList<int> sizes = Splitter1->sizes();
    return sizes.isEmpty() ? 0 : sizes.first();
}

void Form1::setSplitterPosition(int pixels)
{
    const int total = std::max(Splitter1->width(), pixels + 200);
    Splitter1->setSizes({pixels, total - pixels});
}

} // namespace folium::app

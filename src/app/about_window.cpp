#include "about_window.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace folium::app {

Form4::Form4(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form4"));
    Text1 = new QLabel(QStringLiteral("Folium"));
    Text1->setObjectName(QStringLiteral("Text1"));
    QFont big = Text1->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    Text1->setFont(big);
    Text2 = new QLabel;
    Text2->setObjectName(QStringLiteral("Text2"));
    Text3 = new QLabel(QStringLiteral("Qt %1 \u00b7 SQLite").arg(QString::fromLatin1(qVersion())));
    Text3->setObjectName(QStringLiteral("Text3"));
    CommandOk = new QPushButton(QStringLiteral("OK"));
    CommandOk->setObjectName(QStringLiteral("CommandOk"));
    CommandOk->setDefault(true);
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(24, 20, 24, 16);
    for (QLabel *l : {Text1, Text2, Text3}) {
        l->setAlignment(Qt::AlignCenter);
        lay->addWidget(l);
    }
    lay->addWidget(CommandOk, 0, Qt::AlignCenter);
    connect(CommandOk, &QPushButton::clicked, this, &QDialog::accept);
}

void Form4::Form_Load(const QString &caption, const QString &version)
{
    setWindowTitle(QString(caption).remove(u'&'));
    Text2->setText(version);
}

} // namespace folium::app

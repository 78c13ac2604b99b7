// Form4: the about window, with the program's version text.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace folium::app {

class Form4 : public QDialog {
    Q_OBJECT
public:
    explicit Form4(QWidget *parent = nullptr);
    // Caption: the menu item's text without its access key; the version
    // text VERS 1.
    void Form_Load(const QString &caption, const QString &version);

    QLabel *Text1;
    QLabel *Text2;
    QLabel *Text3;
    QPushButton *CommandOk;
};

} // namespace folium::app

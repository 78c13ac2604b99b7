// The program's windows and the services every part reaches them through,
// handed to each part explicitly.
#pragma once

#include <QString>

namespace folium::config {
class Dialogs;
class Form2;
class InterfaceStrings;
struct OptionSet;
} // namespace folium::config

namespace folium::forms {

class Form1;
class Form3;
class MDIForm1;

struct Windows {
    MDIForm1 *frame = nullptr;
    Form1 *reader = nullptr;
    Form3 *loading = nullptr;
    config::Form2 *options = nullptr;
    config::Dialogs *dialogs = nullptr;
    const config::InterfaceStrings *strings = nullptr;
    const config::OptionSet *optionSet = nullptr;
    QString programFolder;
    QString settingsFolder; // where FL.mdb is read and written
};

} // namespace folium::forms

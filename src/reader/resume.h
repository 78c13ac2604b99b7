// Going back to where the reader stopped: the place shown last in each
// title is kept in FL.mdb when another title opens and when the program
// ends; when the title opens again, its home page shows as usual, and a
// command of the Navigate menu (offered in the status bar) goes back there.
#pragma once

#include "places.h"

#include <QObject>

namespace folium::forms {
struct ReaderState;
struct Windows;
} // namespace folium::forms

namespace folium::reader {

class Resume : public QObject {
    Q_OBJECT
public:
    Resume(forms::Windows &w, forms::ReaderState &r, QObject *parent = nullptr);

    // Keeps where the main pane stands in the title it shows.
    void rememberTitleShown();
    // After a title opened: offers the place kept for it, if any other
    // than its home page.
    void offer();
    // The command: back to the place offered.
    void Reprise_Click();
    const config::ReadingPlace &offered() const { return m_offered; }

private:
    QString flPath() const;

    forms::Windows &m_w;
    forms::ReaderState &m_r;
    config::ReadingPlace m_offered;
};

} // namespace folium::reader

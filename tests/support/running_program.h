// The whole program running on a test folder, with scripted dialogs, for
// tests that drive it through its real windows. A test's own helper derives
// from it and adds what it looks at.
#pragma once

#include "dialogs.h"
#include "form1.h"
#include "mdiform1.h"
#include "program.h"
#include "program_folder.h"
#include "topicview.h"

#include <QApplication>
#include <QTest>

#include <memory>

namespace folium::testing {

struct RunningProgram {
    ProgramFolder folder;
    config::ScriptedDialogs dialogs;
    std::unique_ptr<app::Program> p; // null when the title did not open

    explicit RunningProgram(const QStringList &titles = {QStringLiteral("abc")}) : folder(titles) {}

    // Starts the program on a title. With `activate`, its window is made
    // the active one, so that keys and shortcuts reach it.
    void start(const QString &title = QStringLiteral("abc"), bool activate = false)
    {
        p = std::make_unique<app::Program>(folder.path(), dialogs);
        if (!p->Main(title)) {
            p.reset();
            return;
        }
        if (activate) {
            p->mainFrame()->activateWindow();
            (void)QTest::qWaitForWindowActive(p->mainFrame());
        }
    }

    forms::Form1 *f() const { return p->reader(); }
    engine::TopicView *main() const { return p->reader()->Fl_main; }
    QWidget *focus() const { return QApplication::focusWidget(); }
    void key(Qt::Key k, Qt::KeyboardModifiers m = {}) { QTest::keyClick(focus() ? focus() : p->mainFrame(), k, m); }
    QString text(const char *group, int n) const { return p->strings.text(QString::fromLatin1(group), n); }
};

} // namespace folium::testing

// Titles made to hurt the reader (tests/support/hostile_topics.h): each
// hostile topic is shown in a pane, zoomed, and shown as a popup, in a
// process of its own so that its peak memory is its own. Prints one line a
// topic: the three times, the peak resident memory, and what the pane holds
// (blocks and characters of the scrolling region). A topic still running
// after 60 seconds is stopped and reported as such. See bench/README.md.
//
//   bench_hostile            all topics
//   bench_hostile NAME...    those topics only
//   FOLIUM_HOSTILE_SHOTS=DIR bench_hostile   also a picture of each pane
#include "hostile_topics.h"
#include "region_view.h"
#include "topicview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPixmap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextDocument>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

using folium::engine::TopicView;

double msSince(QElapsedTimer &t)
{
    const double ms = t.nsecsElapsed() / 1e6;
    t.restart();
    return ms;
}

// The peak resident memory of this process, in megabytes.
double peakMB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// In the child: one topic shown, zoomed, then shown as a popup. A watch
// ends it after 60 seconds, saying how much memory it had taken.
int child(const QString &title, int index)
{
    std::thread([] {
        std::this_thread::sleep_for(std::chrono::seconds(60));
        std::printf("stopped %.0f\n", peakMB());
        std::fflush(stdout);
        _exit(4);
    }).detach();
    TopicView v;
    v.resize(1000, 700);
    v.show();
    v.setViewTitle(title);
    if (v.lastError() != 0)
        return 3;
    QElapsedTimer t;
    t.start();
    v.setTopicIndex(index);
    const QPixmap shown = v.grab();
    const double render = msSince(t);
    // FOLIUM_HOSTILE_SHOTS=folder keeps a picture of each pane as shown.
    if (const QString shots = qEnvironmentVariable("FOLIUM_HOSTILE_SHOTS"); !shots.isEmpty())
        shown.save(QStringLiteral("%1/topic%2.png").arg(shots).arg(index));
    v.setFontZoom(150);
    v.grab();
    const double zoom = msSince(t);
    v.setFontZoom(100);
    v.PopupTopic(index);
    if (QWidget *popup = v.popupWindow())
        popup->grab();
    const double popup = msSince(t);
    const QTextDocument *doc = v.regionView(1)->document();
    std::printf("%.0f %.0f %.0f %d %d %.0f\n", render, zoom, popup, doc->blockCount(), doc->characterCount(), peakMB());
    std::fflush(stdout);
    _exit(0); // no teardown: the figures are out
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0) {
        QApplication app(argc, argv);
        return child(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]));
    }
    const auto allTopics = [] {
        auto topics = folium::testing::hostileTopics();
        for (auto &t : folium::testing::longOrdinaryTopics())
            topics.push_back(t);
        return topics;
    };
    if (argc == 3 && std::strcmp(argv[1], "--write") == 0) {
        QGuiApplication app(argc, argv);
        return folium::testing::writeHostileTitle(QString::fromLocal8Bit(argv[2]), allTopics()) ? 0 : 1;
    }
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString title = dir.filePath(QStringLiteral("hostile.m14"));
    // Written by a process of its own, so that this one stays small.
    if (QProcess::execute(QString::fromLocal8Bit(argv[0]), {QStringLiteral("--write"), title}) != 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(title));
        return 1;
    }
    std::vector<const char *> names;
    for (const auto &t : allTopics())
        names.push_back(t.name);
    std::printf("%-24s %9s %9s %9s %8s %8s %9s\n", "topic", "render_ms", "zoom_ms", "popup_ms", "peak_MB", "blocks",
                "chars");
    for (int i = 0; i < int(names.size()); ++i) {
        bool wanted = argc < 2;
        for (int a = 1; a < argc; ++a)
            wanted = wanted || std::strcmp(argv[a], names[size_t(i)]) == 0;
        if (!wanted)
            continue;
        // Topic i of the list is topic i + 1 of the title (0 is its home).
        const QByteArray titleArg = title.toLocal8Bit(), indexArg = QByteArray::number(i + 1);
        char *args[] = {argv[0], const_cast<char *>("--child"), const_cast<char *>(titleArg.constData()),
                        const_cast<char *>(indexArg.constData()), nullptr};
        int out[2];
        if (pipe(out) != 0)
            return 1;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        pid_t pid = 0;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, args, environ) != 0)
            return 1;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        char line[256] = {};
        const ssize_t got = read(out[0], line, sizeof line - 1);
        close(out[0]);
        int status = 0;
        waitpid(pid, &status, 0);
        double r = 0, z = 0, p = 0, peak = 0;
        int blocks = 0, chars = 0;
        if (got > 0 && std::sscanf(line, "stopped %lf", &peak) == 1)
            std::printf("%-24s stopped after 60 s, %.0f MB by then\n", names[size_t(i)], peak);
        else if (got > 0 && std::sscanf(line, "%lf %lf %lf %d %d %lf", &r, &z, &p, &blocks, &chars, &peak) == 6)
            std::printf("%-24s %9.0f %9.0f %9.0f %8.0f %8d %9d\n", names[size_t(i)], r, z, p, peak, blocks, chars);
        else
            std::printf("%-24s failed (status %d)\n", names[size_t(i)], status);
        std::fflush(stdout);
    }
    return 0;
}

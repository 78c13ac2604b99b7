#include "termination.h"

#include <QSocketNotifier>

#include <QtGlobal>

#include <csignal>
#include <cstdlib>
#include <exception>
#include <new>
#include <sys/socket.h>
#include <unistd.h>

namespace folium::app {

namespace {

// The handler may only write a byte: the event loop reads it and acts.
int g_pipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    (void)!write(g_pipe[0], &byte, 1);
}

} // namespace

TerminationRequests::TerminationRequests(std::function<bool()> closeWindow, std::function<void()> quit, QObject *parent)
    : QObject(parent), m_closeWindow(std::move(closeWindow)), m_quit(std::move(quit))
{
    if (g_pipe[0] >= 0 || socketpair(AF_UNIX, SOCK_STREAM, 0, g_pipe) != 0)
        return;
    m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationRequests::requested);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

TerminationRequests::~TerminationRequests()
{
    if (!m_notifier)
        return;
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void TerminationRequests::requested()
{
    char bytes[16];
    (void)!read(g_pipe[1], bytes, sizeof bytes);
    // A request that comes while the close's question is open waits for
    // that answer: it does not ask a second time.
    if (m_asking)
        return;
    m_asking = true;
    const bool closed = m_closeWindow();
    m_asking = false;
    if (closed)
        m_quit();
}

namespace {

std::function<void()> g_save;
char *g_reserve = nullptr; // memory for the last save, given back when memory runs out
QtMessageHandler g_previousHandler = nullptr;

void saveOnce()
{
    static bool saved = false;
    if (saved || !g_save)
        return;
    saved = true;
    delete[] g_reserve;
    g_reserve = nullptr;
    g_save();
}

} // namespace

void saveBeforeAFatalEnd(std::function<void()> save)
{
    g_save = std::move(save);
    g_reserve = new char[8 << 20];
    // Memory runs out: the reserve goes to the save, then the next failure
    // is the usual one.
    std::set_new_handler([] {
        if (!g_reserve)
            throw std::bad_alloc();
        saveOnce();
    });
    std::set_terminate([] {
        saveOnce();
        std::abort();
    });
    g_previousHandler = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &m) {
        if (type == QtFatalMsg)
            saveOnce();
        if (g_previousHandler)
            g_previousHandler(type, context, m);
    });
}

} // namespace folium::app

#include "termination.h"

#include <QSocketNotifier>

#include <csignal>
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

} // namespace folium::app

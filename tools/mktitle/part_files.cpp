#include "part_files.h"

#include <QFile>

#include <array>
#include <csignal>
#include <cstring>
#include <mutex>

#include <unistd.h>

namespace folium::mktitle {

namespace {

// Kept as plain bytes in fixed slots: a signal handler may only read memory
// and call unlink().
constexpr int kSlots = 16;
constexpr size_t kPathBytes = 4096;
struct Slot {
    char path[kPathBytes];
    char journal[kPathBytes];
    volatile sig_atomic_t used;
};
std::array<Slot, kSlots> g_slots{};
std::mutex g_mutex; // between the compiler's threads; never taken by a handler

void onSignal(int signal)
{
    for (Slot &s : g_slots) {
        if (s.used) {
            ::unlink(s.path);
            ::unlink(s.journal);
        }
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

bool copyPath(char *to, const QByteArray &from)
{
    if (size_t(from.size()) + 1 > kPathBytes)
        return false;
    std::memcpy(to, from.constData(), size_t(from.size()) + 1);
    return true;
}

} // namespace

void removePartFilesOnSignals()
{
    for (const int s : {SIGINT, SIGTERM, SIGHUP, SIGSEGV, SIGBUS, SIGABRT, SIGFPE}) {
        struct sigaction action = {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        sigaction(s, &action, nullptr);
    }
}

void registerPartFile(const QString &path)
{
    const QByteArray encoded = QFile::encodeName(path);
    std::lock_guard lock(g_mutex);
    for (Slot &s : g_slots) {
        if (s.used)
            continue;
        if (copyPath(s.path, encoded) && copyPath(s.journal, encoded + "-journal"))
            s.used = 1;
        return;
    }
}

void unregisterPartFile(const QString &path)
{
    const QByteArray encoded = QFile::encodeName(path);
    std::lock_guard lock(g_mutex);
    for (Slot &s : g_slots)
        if (s.used && encoded == s.path)
            s.used = 0;
}

int registeredPartFiles()
{
    std::lock_guard lock(g_mutex);
    int n = 0;
    for (const Slot &s : g_slots)
        n += s.used ? 1 : 0;
    return n;
}

} // namespace folium::mktitle

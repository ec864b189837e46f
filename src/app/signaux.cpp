#include "app/signaux.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <initializer_list>
#include <unistd.h>

namespace tarvik::app {

namespace {

int g_reveil[2] = {-1, -1};
volatile sig_atomic_t g_premier = 0;

extern "C" void reveiller(int signal)
{
    if (!g_premier)
        g_premier = signal;
    const int sauve = errno;
    const char numero = char(signal);
    [[maybe_unused]] const ssize_t n = ::write(g_reveil[1], &numero, 1);
    errno = sauve;
}

extern "C" void sortir(int signal)
{
    ::_exit(128 + signal);
}

} // namespace

int EcouterSignaux()
{
    if (g_reveil[0] < 0 && ::pipe2(g_reveil, O_CLOEXEC | O_NONBLOCK) != 0)
        return -1;
    struct sigaction action {};
    action.sa_handler = reveiller;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        if (::sigaction(signal, &action, nullptr) != 0)
            return -1;
    return g_reveil[0];
}

void SortirAuxSignaux()
{
    struct sigaction action {};
    action.sa_handler = sortir;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        ::sigaction(signal, &action, nullptr);
}

int SignalRecu()
{
    char numero = 0;
    return g_reveil[0] >= 0 && ::read(g_reveil[0], &numero, 1) == 1 ? numero : 0;
}

int PremierSignal()
{
    return g_premier;
}

} // namespace tarvik::app

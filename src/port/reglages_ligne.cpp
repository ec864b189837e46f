#include "port/reglages_ligne.h"

namespace tarvik::port {

termios ReglagesPourLaCarte(const termios &actuels)
{
    termios t = actuels;
    ::cfmakeraw(&t);
    t.c_cflag &= ~tcflag_t(CSIZE | PARENB | CSTOPB | CRTSCTS);
    t.c_cflag |= CS8 | CLOCAL | CREAD;
    t.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    ::cfsetospeed(&t, B38400);
    ::cfsetispeed(&t, B38400);
    return t;
}

bool ReglagesConformes(const termios &lus)
{
    return ::cfgetospeed(&lus) == B38400 && (lus.c_cflag & CSIZE) == CS8 &&
           !(lus.c_cflag & (PARENB | CSTOPB | CRTSCTS)) && !(lus.c_iflag & (IXON | IXOFF)) &&
           !(lus.c_oflag & OPOST);
}

} // namespace tarvik::port

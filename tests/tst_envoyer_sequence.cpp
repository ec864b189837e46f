// The whole sequence run on a pseudo-terminal standing in for the board:
// the bytes on the wire, the list, the table, the line settings, the locks
// and the failures.
#include "pseudo_terminal.h"
#include "sequence/envoyer_sequence.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <sys/file.h>
#include <sys/fsuid.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <termios.h>

namespace {

// The window's side of a run, with hooks into its steps.
class GrilleEssai : public FenetreSequence {
public:
    GrilleEssai()
    {
        for (int i = 1; i <= NombreAxes; ++i)
            rangee(i, QStringLiteral("00000"), QStringLiteral("+"), QStringLiteral("002"));
    }
    void rangee(int i, const QString &pas, const QString &direction, const QString &vitesse)
    {
        m_pas[i] = pas;
        m_direction[i] = direction;
        m_vitesse[i] = vitesse;
    }
    QString Text1(int i) const override { return m_pas.at(i); }
    QString Text2(int i) const override { return m_vitesse.at(i); }
    QString Text3(int i) const override { return m_direction.at(i); }
    void ViderList1() override
    {
        liste.clear();
        if (apresVider)
            apresVider();
    }
    void AjouterList1(const QString &ligne) override
    {
        liste.append(ligne);
        if (apresAjout)
            apresAjout();
    }
    LienSerie &MSComm1() override { return lien; }

    QStringList liste;
    LienSerie lien;
    std::function<void()> apresVider, apresAjout;

private:
    std::array<QString, 8> m_pas, m_direction, m_vitesse;
};

QStringList lignesInitiales()
{
    QStringList lignes;
    for (QChar lettre : QStringLiteral("ABCDEFG"))
        lignes << lettre + QStringLiteral("+00000:002");
    return lignes;
}

QByteArray surLeFil(const QStringList &lignes)
{
    return (lignes.join(u'\n') + u'\n').toLatin1();
}

QString fichierUucp(const QString &peripherique)
{
    QString nom = peripherique.mid(5);
    return QStringLiteral("/run/lock/LCK..") + nom.replace(u'/', u'_');
}

// True when nobody holds a flock on the device any more.
bool flockLibre(const QString &peripherique)
{
    const int fd =
        ::open(QFile::encodeName(peripherique).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    const bool libre = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return libre;
}

int descripteursOuverts()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).count());
}

// A driver that reports a queue of its own (the sizes of `file` in turn, the
// last one staying), may refuse the line settings, and writes down what the
// link asked of it.
class PiloteFactice : public PilotePosix {
public:
    std::optional<EchecLien> ouvrir(const QString &nom) override
    {
        journal << QStringLiteral("ouvrir");
        return PilotePosix::ouvrir(nom);
    }
    void jeter() override
    {
        journal << QStringLiteral("jeter");
        PilotePosix::jeter();
    }
    void fermer() override
    {
        if (estOuvert())
            journal << QStringLiteral("fermer");
        PilotePosix::fermer();
    }

    QList<int> file{0};
    bool reglagesRefuses = false;
    QStringList journal;

protected:
    int enAttente() override
    {
        journal << QStringLiteral("attente");
        return file.size() > 1 ? file.takeFirst() : file.value(0);
    }
    int drainer() override
    {
        journal << (::fcntl(descripteur(), F_GETFD) != -1 ? QStringLiteral("drain")
                                                          : QStringLiteral("drain port fermé"));
        return 0;
    }
    int reglerLigne() override { return reglagesRefuses ? EINVAL : PilotePosix::reglerLigne(); }
};

bool ecrireFichier(const QString &chemin, const QByteArray &contenu)
{
    QFile f(chemin);
    return f.open(QIODevice::WriteOnly) && f.write(contenu) == contenu.size();
}

// A process that lives as long as the test: the holder of live locks.
struct Vivant {
    Vivant()
        : pid(::fork())
    {
        if (pid == 0) {
            ::pause();
            ::_exit(0);
        }
    }
    ~Vivant()
    {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    const pid_t pid;
};

// The pid of a process that has just ended.
pid_t pidMort()
{
    const pid_t enfant = ::fork();
    if (enfant == 0)
        ::_exit(0);
    ::waitpid(enfant, nullptr, 0);
    return enfant;
}

} // namespace

class TestEnvoyerSequence : public QObject {
    Q_OBJECT
    Vivant m_vivant;
private Q_SLOTS:
    void init() { Axes = {}; }
    void sequence_data();
    void sequence();
    void deuxRuns();
    void grilleRefusee_data();
    void grilleRefusee();
    void grilleRefuseePortIndisponible_data();
    void grilleRefuseePortIndisponible();
    void vidage_data();
    void vidage();
    void reglagesRefuses();
    void reglagesDeLigne();
    void portAbsent();
    void flockDetenu();
    void verrouUucp_data();
    void verrouUucp();
    void verrouSousUnLien_data();
    void verrouSousUnLien();
    void verrouPerimeDUnAutre();
    void detenteurDisparu();
    void exclusivite_data();
    void exclusivite();
    void extremiteDisparue();
    void lienSymbolique();
    void ligneBloquee();
    void permissionRefusee();
};

void TestEnvoyerSequence::sequence_data()
{
    QTest::addColumn<int>("rang");
    QTest::addColumn<QStringList>("textes"); // pas, direction, vitesse
    QTest::addColumn<QString>("ligne");
    QTest::addColumn<QByteArray>("octets");

    QTest::newRow("grille initiale")
        << 1 << QStringList{"00000", "+", "002"} << "A+00000:002" << QByteArray("A+00000:002\n");
    QTest::newRow("axe 2") << 2 << QStringList{"00100", "-", "010"} << "B-00100:010"
                           << QByteArray("B-00100:010\n");
    QTest::newRow("axe 4 à 250") << 4 << QStringList{"250", "+", "002"} << "D+00250:002"
                                 << QByteArray("D+00250:002\n");
    QTest::newRow("direction vide")
        << 7 << QStringList{"1", "", "3"} << "G 00001:003" << QByteArray("G 00001:003\n");
    QTest::newRow("maxima et euro")
        << 3 << QStringList{"99999", "\u20ac", "255"} << "C\u20ac99999:255"
        << QByteArray("C\x80"
                      "99999:255\n");
}

void TestEnvoyerSequence::sequence()
{
    QFETCH(int, rang);
    QFETCH(QStringList, textes);
    QFETCH(QString, ligne);
    QFETCH(QByteArray, octets);

    PseudoTerminal pty;
    QVERIFY(pty.valide());
    GrilleEssai grille;
    grille.lien.setPeripherique(pty.chemin());
    grille.rangee(rang, textes[0], textes[1], textes[2]);

    const auto echec = EnvoyerSequence(grille);
    QVERIFY2(!echec, qPrintable(echec ? echec->message : QString()));

    QStringList attendues = lignesInitiales();
    attendues[rang - 1] = ligne;
    QCOMPARE(grille.liste, attendues);
    QByteArray fil = surLeFil(lignesInitiales());
    fil.replace(12 * (rang - 1), 12, octets);
    QCOMPARE(pty.lire(84), fil);
    QCOMPARE(fil.size(), 84);

    QCOMPARE(LigneAxe(Axes[rang]), ligne);
    QCOMPARE(Axes[0].Lettre.unicode(), 0); // slot 0 is never written
    QCOMPARE(Axes[0].Pas, 0);
    QVERIFY(!grille.lien.estOuvert());
    QVERIFY(flockLibre(pty.chemin()));
    QVERIFY(!QFile::exists(fichierUucp(pty.chemin())));
}

void TestEnvoyerSequence::deuxRuns()
{
    PseudoTerminal pty;
    GrilleEssai grille;
    grille.lien.setPeripherique(pty.chemin());
    grille.rangee(1, QStringLiteral("1"), QStringLiteral("+"), QStringLiteral("1"));
    QVERIFY(!EnvoyerSequence(grille));
    grille.rangee(1, QStringLiteral("2"), QStringLiteral("-"), QStringLiteral("2"));
    grille.rangee(5, QStringLiteral("5"), QStringLiteral("-"), QStringLiteral("5"));
    QVERIFY(!EnvoyerSequence(grille));

    QStringList secondes = lignesInitiales();
    secondes[0] = QStringLiteral("A-00002:002");
    secondes[4] = QStringLiteral("E-00005:005");
    QCOMPARE(grille.liste, secondes);
    QStringList premieres = lignesInitiales();
    premieres[0] = QStringLiteral("A+00001:001");
    QCOMPARE(pty.lire(168), surLeFil(premieres) + surLeFil(secondes));
    // Slots keep the values of the last run.
    QCOMPARE(Axes[5].Pas, 5);
    QCOMPARE(Axes[5].Direction, QChar(u'-'));
}

void TestEnvoyerSequence::grilleRefusee_data()
{
    QTest::addColumn<int>("rang");
    QTest::addColumn<QStringList>("textes"); // pas, direction, vitesse
    QTest::addColumn<int>("colonne");

    QTest::newRow("vitesse 300 rangée 3")
        << 3 << QStringList{"00000", "+", "300"} << int(Colonne::Vitesse);
    QTest::newRow("pas négatif rangée 7")
        << 7 << QStringList{"-250", "+", "002"} << int(Colonne::Pas);
    QTest::newRow("pas 100000 rangée 1")
        << 1 << QStringList{"100000", "+", "002"} << int(Colonne::Pas);
    QTest::newRow("tabulation rangée 5")
        << 5 << QStringList{"00000", "\t", "002"} << int(Colonne::Direction);
    QTest::newRow("oméga rangée 2")
        << 2 << QStringList{"00000", "\u03a9", "002"} << int(Colonne::Direction);
}

// From an invalid grid nothing is sent: no byte, the list and the table as
// the previous run left them.
void TestEnvoyerSequence::grilleRefusee()
{
    QFETCH(int, rang);
    QFETCH(QStringList, textes);
    QFETCH(int, colonne);

    PseudoTerminal pty;
    GrilleEssai grille;
    grille.lien.setPeripherique(pty.chemin());
    grille.rangee(6, QStringLiteral("66"), QStringLiteral("-"), QStringLiteral("6"));
    QVERIFY(!EnvoyerSequence(grille));
    QCOMPARE(pty.lire(84).size(), 84);
    const QStringList avant = grille.liste;
    const auto axesAvant = Axes;

    grille.rangee(rang, textes[0], textes[1], textes[2]);
    const auto echec = EnvoyerSequence(grille);
    QVERIFY(echec);
    QVERIFY(echec->valeur);
    QVERIFY(!echec->lien);
    QCOMPARE(echec->valeur->axe, rang);
    QCOMPARE(int(echec->valeur->colonne), colonne);
    QVERIFY2(echec->message.contains(QStringLiteral("Axe 0%1").arg(rang)),
             qPrintable(echec->message));

    QCOMPARE(pty.lire(), QByteArray());
    QCOMPARE(grille.liste, avant);
    for (int i = 0; i <= NombreAxes; ++i)
        QCOMPARE(LigneAxe(Axes[i]), LigneAxe(axesAvant[i]));
    QVERIFY(!grille.lien.estOuvert());
}

void TestEnvoyerSequence::grilleRefuseePortIndisponible_data()
{
    QTest::addColumn<bool>("absent");
    QTest::newRow("port absent") << true;
    QTest::newRow("port tenu par un autre") << false;
}

// The grid is checked before the port is touched: its error is the one
// reported, and the device is never opened.
void TestEnvoyerSequence::grilleRefuseePortIndisponible()
{
    QFETCH(bool, absent);
    PseudoTerminal pty;
    GrilleEssai grille;
    grille.lien.setPeripherique(absent ? QStringLiteral("/dev/tarvik-absent-pour-essai")
                                       : pty.chemin());
    const int autre =
        ::open(QFile::encodeName(pty.chemin()).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    QCOMPARE(::flock(autre, LOCK_EX | LOCK_NB), 0);
    const auto fermer = qScopeGuard([&] { ::close(autre); });
    OuverturesVues ouvertures(pty.chemin());
    grille.rangee(3, QStringLiteral("0"), QStringLiteral("+"), QStringLiteral("300"));

    const auto echec = EnvoyerSequence(grille);
    QVERIFY(echec && echec->valeur && !echec->lien);
    QVERIFY2(echec->message.contains(QStringLiteral("Axe 03")), qPrintable(echec->message));
    QCOMPARE(ouvertures.nombre(), 0);
}

void TestEnvoyerSequence::vidage_data()
{
    QTest::addColumn<QList<int>>("file"); // what the driver reports in turn
    QTest::addColumn<QStringList>("journal");
    QTest::addColumn<QString>("message"); // empty: the run succeeds
    const QString o = QStringLiteral("ouvrir"), a = QStringLiteral("attente"),
                  d = QStringLiteral("drain");
    const QString j = QStringLiteral("jeter"), f = QStringLiteral("fermer");
    QTest::newRow("file qui se vide")
        << QList<int>{84, 40, 0} << QStringList{o, a, a, a, d, f} << QString();
    QTest::newRow("file bloquée") << QList<int>{5} << QStringList{o, j, f}
                                  << "délai dépassé : 5 octets";
}

// The port is closed only once the driver's queue is empty and tcdrain has
// returned; a queue that never empties ends in a timeout, not in "sent",
// and what it held is thrown away before the port closes.
void TestEnvoyerSequence::vidage()
{
    QFETCH(QList<int>, file);
    QFETCH(QStringList, journal);
    QFETCH(QString, message);
    PseudoTerminal pty;
    GrilleEssai grille;
    PiloteFactice pilote;
    pilote.file = file;
    grille.lien.setPilote(&pilote);
    grille.lien.setPeripherique(pty.chemin());

    const auto echec = EnvoyerSequence(grille);
    QCOMPARE(echec.has_value(), !message.isEmpty());
    if (echec) {
        QCOMPARE(echec->lien, EchecLien::Genre::DelaiDepasse);
        QVERIFY2(echec->message.contains(message) &&
                     echec->message.contains(QStringLiteral("ligne incomplète")),
                 qPrintable(echec->message));
        QVERIFY(pilote.journal.count(QStringLiteral("attente")) > 1);
        pilote.journal.removeAll(QStringLiteral("attente")); // as often as 2 s allow
    }
    QCOMPARE(pilote.journal, journal);
    QVERIFY(!grille.lien.estOuvert());
    QVERIFY(flockLibre(pty.chemin()));
}

// The line refuses its settings after the link took its flock and its lock
// file: both go, and a second attempt meets the same refusal, not a port
// "held" by the panel itself.
void TestEnvoyerSequence::reglagesRefuses()
{
    PseudoTerminal pty;
    GrilleEssai grille;
    PiloteFactice pilote;
    pilote.reglagesRefuses = true;
    grille.lien.setPilote(&pilote);
    grille.lien.setPeripherique(pty.chemin());
    const int fds = descripteursOuverts();
    for (int essai = 0; essai < 2; ++essai) {
        const auto echec = EnvoyerSequence(grille);
        QVERIFY(echec);
        QVERIFY2(echec->lien == EchecLien::Genre::OuvertureEchouee, qPrintable(echec->message));
        QVERIFY(flockLibre(pty.chemin()));
        QVERIFY(!QFile::exists(fichierUucp(pty.chemin())));
    }
    QCOMPARE(descripteursOuverts(), fds);
    const QString o = QStringLiteral("ouvrir"), f = QStringLiteral("fermer");
    QCOMPARE(pilote.journal, (QStringList{o, f, o, f}));
    QCOMPARE(pty.lire(), QByteArray());
}

// The settings as the line has them while the run writes.
void TestEnvoyerSequence::reglagesDeLigne()
{
    PseudoTerminal pty;
    GrilleEssai grille;
    grille.lien.setPeripherique(pty.chemin());
    termios vu{};
    bool lu = false;
    grille.apresVider = [&] {
        lu = ::tcgetattr(pty.maitre(), &vu) == 0;
    };
    QVERIFY(!EnvoyerSequence(grille));
    QVERIFY(lu);
    QCOMPARE(cfgetospeed(&vu), speed_t(B38400));
    QCOMPARE(cfgetispeed(&vu), speed_t(B38400));
    QCOMPARE(vu.c_cflag & CSIZE, tcflag_t(CS8));
    QCOMPARE(vu.c_cflag & PARENB, tcflag_t(0));
    QCOMPARE(vu.c_cflag & CSTOPB, tcflag_t(0));
    QCOMPARE(vu.c_cflag & CRTSCTS, tcflag_t(0));
    QCOMPARE(vu.c_iflag & (IXON | IXOFF), tcflag_t(0));
    QCOMPARE(vu.c_oflag & OPOST, tcflag_t(0)); // bytes go out unchanged
}

void TestEnvoyerSequence::portAbsent()
{
    GrilleEssai grille;
    grille.liste = QStringList{QStringLiteral("précédent")};
    grille.lien.setPeripherique(QStringLiteral("/dev/tarvik-absent-pour-essai"));
    const int fds = descripteursOuverts();
    const auto echec = EnvoyerSequence(grille);
    QVERIFY(echec);
    QCOMPARE(echec->lien, EchecLien::Genre::PortAbsent);
    QVERIFY2(echec->message.contains(QStringLiteral("absent")), qPrintable(echec->message));
    QCOMPARE(grille.liste, QStringList{QStringLiteral("précédent")});
    QCOMPARE(descripteursOuverts(), fds);
}

void TestEnvoyerSequence::flockDetenu()
{
    PseudoTerminal pty;
    GrilleEssai grille;
    grille.lien.setPeripherique(pty.chemin());
    grille.liste = QStringList{QStringLiteral("précédent")};

    const int autre =
        ::open(QFile::encodeName(pty.chemin()).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    QVERIFY(autre >= 0);
    QCOMPARE(::flock(autre, LOCK_EX | LOCK_NB), 0);
    const int fds = descripteursOuverts();
    const auto echec = EnvoyerSequence(grille);
    QCOMPARE(descripteursOuverts(), fds);
    QVERIFY(echec);
    QCOMPARE(echec->lien, EchecLien::Genre::PortOccupe);
    QVERIFY2(echec->message.contains(QString::number(::getpid())), qPrintable(echec->message));
    QCOMPARE(grille.liste, QStringList{QStringLiteral("précédent")});
    QCOMPARE(pty.lire(), QByteArray());
    QVERIFY(!QFile::exists(fichierUucp(pty.chemin())));

    ::close(autre);
    QVERIFY(!EnvoyerSequence(grille));
    QCOMPARE(pty.lire(84), surLeFil(lignesInitiales()));
}

void TestEnvoyerSequence::verrouUucp_data()
{
    QTest::addColumn<QByteArray>("contenu");
    QTest::addColumn<QString>("genre"); // "", "ancien" (a minute old), or what stands there
    QTest::addColumn<QString>("forme"); // the name it bears: qt (pts_3), base (3), nombres
    QTest::addColumn<QString>("refus"); // empty: the lock is stale and the port used
    const QByteArray vivant = QByteArray::number(m_vivant.pid);
    const QByteArray mort = QByteArray::number(pidMort());
    const auto binaire = [](std::int32_t pid) {
        return QByteArray(reinterpret_cast<const char *>(&pid), 4);
    };
    const QString occupe = QStringLiteral("port occupé par le processus ") + vivant;
    const QString illisible = QStringLiteral("est illisible");
    const QString pasOrdinaire = QStringLiteral("pas un fichier ordinaire");
    const QString enCours = QStringLiteral("en train de le prendre");
    // A live pid of at most four digits: init's, always there.
    const QByteArray ascii4 = "0001";
    // clang-format off
    const QList<std::tuple<const char *, QByteArray, const char *, const char *, QString>> cas = {
        {"HDB vivant",          vivant.rightJustified(10) + '\n',              "", "qt", occupe},
        {"Qt vivant",           vivant + "\nminicom\nhote\n",                  "", "qt", occupe},
        {"minicom vivant",      vivant.rightJustified(10) + " minicom root\n", "", "base", occupe},
        {"picocom vivant",      vivant.rightJustified(4, '0') + '\n',          "", "base", occupe},
        {"lockdev vivant",      vivant.rightJustified(10) + '\n',         "", "nombres", occupe},
        {"ASCII sur 4 octets",  ascii4,                   "", "qt", QStringLiteral("port occupé par le processus 1")},
        {"binaire vivant",      binaire(m_vivant.pid),                         "", "qt", occupe},
        {"HDB mort",            mort.rightJustified(10) + '\n',                "", "qt", QString()},
        {"minicom mort",        mort.rightJustified(10) + " minicom root\n",   "", "base", QString()},
        {"Qt mort",             mort + "\nminicom\nhote\n",                    "", "qt", QString()},
        {"mort, nombres",       mort.rightJustified(10) + '\n',           "", "nombres", QString()},
        // A program holds no lock before taking its own: a dead run's, pid reused.
        {"notre propre pid",    QByteArray::number(::getpid()) + '\n',          "", "qt", QString()},
        {"en cours : vide",     "",                                            "", "qt", enCours},
        {"en cours : sans fin", "     12",                                      "", "base", enCours},
        {"vide et ancien",      "",                                      "ancien", "qt", illisible},
        {"pid hors limites",    "4294967297\n",                                "", "qt", illisible},
        {"pid nul",             "0\n",                                         "", "qt", illisible},
        {"binaire négatif",     binaire(-5),                                   "", "qt", illisible},
        {"texte",               "rien\n",                                      "", "qt", illisible},
        {"tube",                "",                                        "tube", "qt", pasOrdinaire},
        {"dossier",             "",                                     "dossier", "qt", pasOrdinaire},
        {"lien vers le port",   "",                     "lien", "qt", QStringLiteral("lien symbolique")},
    };
    // clang-format on
    for (const auto &[nom, contenu, genre, forme, refus] : cas)
        QTest::newRow(nom) << contenu << QString::fromLatin1(genre) << QString::fromLatin1(forme)
                           << refus;
}

// A lock file naming a live process keeps the port, under any name a serial
// program gives it; one being written too. A stale one is removed and the
// port used. Whatever else a user puts in its place is refused without
// blocking, never followed, never removed, and nothing stays held.
void TestEnvoyerSequence::verrouUucp()
{
    QFETCH(QByteArray, contenu);
    QFETCH(QString, genre);
    QFETCH(QString, forme);
    QFETCH(QString, refus);

    PseudoTerminal pty;
    QTemporaryDir dossier;
    GrilleEssai grille;
    grille.lien.setPeripherique(pty.chemin());
    grille.lien.setDossiersVerrou({dossier.path()});
    struct stat etat {};
    QCOMPARE(::stat(QFile::encodeName(pty.chemin()).constData(), &etat), 0);
    const QString nom = forme == QLatin1String("qt")
                            ? QFileInfo(fichierUucp(pty.chemin())).fileName()
                        : forme == QLatin1String("base")
                            ? QStringLiteral("LCK..") + QFileInfo(pty.chemin()).fileName()
                            : QStringLiteral("LCK.%1.%2")
                                  .arg(major(etat.st_rdev), 3, 10, QChar(u'0'))
                                  .arg(minor(etat.st_rdev), 3, 10, QChar(u'0'));
    const QString verrou = dossier.filePath(nom);
    if (genre == QLatin1String("tube"))
        QCOMPARE(::mkfifo(QFile::encodeName(verrou).constData(), 0600), 0);
    else if (genre == QLatin1String("lien"))
        QVERIFY(QFile::link(pty.chemin(), verrou));
    else if (genre == QLatin1String("dossier"))
        QVERIFY(QDir().mkdir(verrou));
    else
        QVERIFY(ecrireFichier(verrou, contenu));
    if (genre == QLatin1String("ancien")) {
        const timeval ilYaUneMinute[2] = {{::time(nullptr) - 60, 0}, {::time(nullptr) - 60, 0}};
        QCOMPARE(::utimes(QFile::encodeName(verrou).constData(), ilYaUneMinute), 0);
    }

    const int fds = descripteursOuverts();
    const auto echec = EnvoyerSequence(grille);
    QCOMPARE(descripteursOuverts(), fds);
    if (refus.isEmpty()) {
        QVERIFY2(!echec, qPrintable(echec ? echec->message : QString()));
        QCOMPARE(pty.lire(84), surLeFil(lignesInitiales()));
        QVERIFY(!QFileInfo::exists(verrou)); // the stale lock is gone, and ours too
        return;
    }
    QVERIFY(echec);
    QCOMPARE(echec->lien, EchecLien::Genre::PortOccupe);
    const QString enCours = QStringLiteral("en train de le prendre");
    QVERIFY2(echec->message.contains(refus) && echec->message.contains(verrou),
             qPrintable(echec->message));
    // Never the advice to delete a live lock, or one being taken.
    const bool pris = refus.startsWith(u"port occupé par") || refus == enCours;
    QCOMPARE(echec->message.contains(QStringLiteral("Supprimez-le")), !pris);
    QCOMPARE(pty.lire(), QByteArray());
    QVERIFY(QFileInfo(verrou).exists() || QFileInfo(verrou).isSymLink()); // never removed
    QVERIFY(flockLibre(pty.chemin()));
}

// A live lock taken under a name of the device other than the one given:
// the name the operator gave, or a stable link of the device.
void TestEnvoyerSequence::verrouSousUnLien_data()
{
    QTest::addColumn<bool>("parLeLien"); // the port is given by its link
    QTest::newRow("nom donné") << true;
    QTest::newRow("lien by-id du périphérique") << false;
}

void TestEnvoyerSequence::verrouSousUnLien()
{
    QFETCH(bool, parLeLien);
    PseudoTerminal pty;
    QTemporaryDir verrous, parId;
    const QString lien = parId.filePath(QStringLiteral("usb-FTDI_FT232R_A50285BI-if00-port0"));
    QVERIFY(QFile::link(pty.chemin(), lien));
    const QString verrou = verrous.filePath(QStringLiteral("LCK..") + QFileInfo(lien).fileName());
    QVERIFY(ecrireFichier(verrou, QByteArray::number(m_vivant.pid).rightJustified(10) + '\n'));
    GrilleEssai grille;
    grille.lien.setDossiersVerrou({verrous.path()});
    grille.lien.setDossiersLiens({parId.path()});
    grille.lien.setPeripherique(parLeLien ? lien : pty.chemin());
    const auto echec = EnvoyerSequence(grille);
    QVERIFY(echec);
    QVERIFY2(echec->lien == EchecLien::Genre::PortOccupe && echec->message.contains(verrou),
             qPrintable(echec->message));
    QCOMPARE(pty.lire(), QByteArray());
}

// Another user's stale lock, which the sticky lock folder keeps from being
// removed: the run goes on, and says which file was ignored.
void TestEnvoyerSequence::verrouPerimeDUnAutre()
{
    if (::geteuid() != 0)
        QSKIP("il faut être root pour poser le verrou d'un autre utilisateur");
    PseudoTerminal pty;
    QTemporaryDir dossier;
    QCOMPARE(::chmod(QFile::encodeName(dossier.path()).constData(), 01777), 0);
    QCOMPARE(::chmod(QFile::encodeName(pty.chemin()).constData(), 0666), 0);
    const QString verrou = dossier.filePath(QFileInfo(fichierUucp(pty.chemin())).fileName());
    QVERIFY(ecrireFichier(verrou, QByteArray::number(pidMort()).rightJustified(10) + '\n'));
    QCOMPARE(::chown(QFile::encodeName(verrou).constData(), 65534, 65534), 0);
    GrilleEssai grille;
    grille.lien.setDossiersVerrou({dossier.path()});
    grille.lien.setPeripherique(pty.chemin());
    ::setfsuid(65533); // neither root nor the lock's owner
    const auto echec = EnvoyerSequence(grille);
    const QStringList avertissements = grille.lien.avertissements();
    ::setfsuid(0);
    QVERIFY2(!echec, qPrintable(echec ? echec->message : QString()));
    QCOMPARE(pty.lire(84), surLeFil(lignesInitiales()));
    QCOMPARE(avertissements.size(), 1);
    QVERIFY2(avertissements[0].contains(verrou) &&
                 avertissements[0].contains(QStringLiteral("ignoré")),
             qPrintable(avertissements[0]));
    QVERIFY(QFileInfo::exists(verrou));
}

// The process that took the flock has ended, its child holds it still: the
// message names no dead process.
void TestEnvoyerSequence::detenteurDisparu()
{
    PseudoTerminal pty;
    const QByteArray chemin = QFile::encodeName(pty.chemin());
    int tube[2];
    QCOMPARE(::pipe(tube), 0);
    const pid_t parent = ::fork();
    if (parent == 0) {
        const int fd = ::open(chemin.constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
        ::flock(fd, LOCK_EX | LOCK_NB);
        if (::fork() == 0) { // the child keeps the lock until the pipe closes
            char c;
            ::close(tube[1]);
            [[maybe_unused]] const ssize_t lu = ::read(tube[0], &c, 1);
            ::_exit(0);
        }
        ::_exit(0);
    }
    ::close(tube[0]);
    const auto finir = qScopeGuard([&] { ::close(tube[1]); });
    ::waitpid(parent, nullptr, 0);

    GrilleEssai grille;
    grille.lien.setPeripherique(pty.chemin());
    const auto echec = EnvoyerSequence(grille);
    QVERIFY(echec);
    QCOMPARE(echec->lien, EchecLien::Genre::PortOccupe);
    QVERIFY2(echec->message.contains(QStringLiteral("un autre programme")) &&
                 !echec->message.contains(QString::number(parent)),
             qPrintable(echec->message));
}

void TestEnvoyerSequence::exclusivite_data()
{
    QTest::addColumn<bool>("tenu"); // its holder is alive and holds a flock
    QTest::newRow("un autre programme la tient") << true;
    QTest::newRow("laissée par un programme tué") << false;
}

// Exclusive mode held by a live program refuses root as well, although the
// kernel would let it through; left behind with no holder, root clears it
// and sends.
void TestEnvoyerSequence::exclusivite()
{
    QFETCH(bool, tenu);
    if (::geteuid() != 0)
        QSKIP("seul root passe outre une ouverture exclusive : rien à vérifier ici");
    PseudoTerminal pty;
    const int autre =
        ::open(QFile::encodeName(pty.chemin()).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    QCOMPARE(::ioctl(autre, TIOCEXCL), 0);
    if (tenu)
        QCOMPARE(::flock(autre, LOCK_EX | LOCK_NB), 0);
    const auto fermer = qScopeGuard([&] { ::close(autre); });
    GrilleEssai grille;
    grille.lien.setPeripherique(pty.chemin());
    const auto echec = EnvoyerSequence(grille);
    int exclusif = -1;
    QCOMPARE(::ioctl(autre, TIOCGEXCL, &exclusif), 0);
    if (!tenu) {
        QVERIFY2(!echec, qPrintable(echec ? echec->message : QString()));
        QCOMPARE(pty.lire(84), surLeFil(lignesInitiales()));
        QCOMPARE(exclusif, 0); // and not left set by this run either
        return;
    }
    QVERIFY(echec);
    QCOMPARE(echec->lien, EchecLien::Genre::PortOccupe);
    QVERIFY2(echec->message.contains(QString::number(::getpid())), qPrintable(echec->message));
    QCOMPARE(pty.lire(), QByteArray());
    QCOMPARE(exclusif, 1); // the holder's mode is left alone
}

// The board's end goes away after two lines: the run fails, lists only the
// lines written, releases everything, and the next run on a new line works.
void TestEnvoyerSequence::extremiteDisparue()
{
    const int fds = descripteursOuverts();
    GrilleEssai grille;
    QString chemin;
    {
        PseudoTerminal pty;
        chemin = pty.chemin();
        grille.lien.setPeripherique(chemin);
        grille.apresAjout = [&] {
            if (grille.liste.size() == 2)
                pty.fermerMaitre();
        };
        const auto echec = EnvoyerSequence(grille);
        QVERIFY(echec);
        QVERIFY2(echec->lien == EchecLien::Genre::EcritureEchouee, qPrintable(echec->message));
        QVERIFY2(echec->message.contains(QStringLiteral("A à B")) &&
                     echec->message.contains(QStringLiteral("(erreur d'entrée-sortie)")),
                 qPrintable(echec->message));
        QCOMPARE(grille.liste, lignesInitiales().mid(0, 2));
        QVERIFY(!grille.lien.estOuvert());
        QVERIFY(!QFile::exists(fichierUucp(chemin)));
    }
    QCOMPARE(descripteursOuverts(), fds);

    PseudoTerminal nouveau;
    grille.apresAjout = nullptr;
    grille.lien.setPeripherique(nouveau.chemin());
    QVERIFY(!EnvoyerSequence(grille));
    QCOMPARE(nouveau.lire(84), surLeFil(lignesInitiales()));
    QCOMPARE(grille.liste, lignesInitiales());
}

// Port 1 reached through a link, as a udev rule makes for an adapter: the
// locks are those of the device behind it.
void TestEnvoyerSequence::lienSymbolique()
{
    PseudoTerminal pty;
    QTemporaryDir dossier;
    const QString lien = dossier.filePath(QStringLiteral("tarvik-port1"));
    QVERIFY(QFile::link(pty.chemin(), lien));
    GrilleEssai grille;
    grille.lien.setPeripherique(lien);
    QByteArray verrouDuPeripherique; // as other programs read it during the run
    grille.apresVider = [&] {
        QFile verrou(fichierUucp(pty.chemin()));
        if (verrou.open(QIODevice::ReadOnly))
            verrouDuPeripherique = verrou.readAll();
    };
    QVERIFY(!EnvoyerSequence(grille));
    QCOMPARE(verrouDuPeripherique, QByteArray::number(::getpid()).rightJustified(10) + '\n');
    QVERIFY(!QFile::exists(fichierUucp(pty.chemin())));
    QCOMPARE(pty.lire(84), surLeFil(lignesInitiales()));

    const int autre =
        ::open(QFile::encodeName(pty.chemin()).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    QCOMPARE(::flock(autre, LOCK_EX | LOCK_NB), 0);
    const auto echec = EnvoyerSequence(grille);
    ::close(autre);
    QVERIFY(echec);
    QCOMPARE(echec->lien, EchecLien::Genre::PortOccupe);
    QVERIFY2(echec->message.contains(lien + QStringLiteral(" → ") + pty.chemin()),
             qPrintable(echec->message));
    QCOMPARE(pty.lire(), QByteArray());
}

// Nobody reads the line and its buffer is full: the run fails within its
// bound, leaves no incomplete line behind, and the next run is whole.
void TestEnvoyerSequence::ligneBloquee()
{
    PseudoTerminal pty;
    GrilleEssai grille;
    grille.lien.setPeripherique(pty.chemin());
    QVERIFY(pty.remplir() > 0);

    QElapsedTimer chrono;
    chrono.start();
    const auto echec = EnvoyerSequence(grille);
    qInfo("échec rendu en %lld ms (borne : %d ms)", chrono.elapsed(), DelaiSequenceMs);
    QVERIFY(echec);
    QVERIFY2(echec->lien == EchecLien::Genre::DelaiDepasse, qPrintable(echec->message));
    QVERIFY(!grille.lien.estOuvert());
    QVERIFY(flockLibre(pty.chemin()));
    QVERIFY(!QFile::exists(fichierUucp(pty.chemin())));
    const QStringList listees = grille.liste;
    QCOMPARE(listees, lignesInitiales().mid(0, listees.size()));

    // What the board finds once it reads again: the filler, then whole lines.
    QByteArray recu = pty.lire();
    while (recu.startsWith('x'))
        recu.remove(0, 1);
    QVERIFY2(recu.size() % 12 == 0 && surLeFil(lignesInitiales()).startsWith(recu),
             recu.constData());

    QVERIFY(!EnvoyerSequence(grille));
    QCOMPARE(pty.lire(84), surLeFil(lignesInitiales()));
}

// A device the user may not open is refused as such, nothing held after.
void TestEnvoyerSequence::permissionRefusee()
{
    PseudoTerminal pty;
    GrilleEssai grille;
    grille.lien.setPeripherique(pty.chemin());
    const QByteArray chemin = QFile::encodeName(pty.chemin());
    QCOMPARE(::chmod(chemin.constData(), 0600), 0);
    if (::geteuid() == 0)
        ::setfsuid(65534); // files are checked as "nobody" from here on
    else
        QCOMPARE(::chmod(chemin.constData(), 0), 0);
    const auto echec = EnvoyerSequence(grille);
    ::setfsuid(::geteuid());
    QVERIFY(echec);
    QVERIFY2(echec->lien == EchecLien::Genre::PermissionRefusee, qPrintable(echec->message));
    QVERIFY2(echec->message.contains(QStringLiteral("permission refusée")),
             qPrintable(echec->message));
    QCOMPARE(pty.lire(), QByteArray());
    QVERIFY(!QFile::exists(fichierUucp(pty.chemin())));

    QCOMPARE(::chmod(chemin.constData(), 0620), 0);
    QVERIFY(!EnvoyerSequence(grille));
    QCOMPARE(pty.lire(84), surLeFil(lignesInitiales()));
}

QTEST_GUILESS_MAIN(TestEnvoyerSequence)
#include "tst_envoyer_sequence.moc"

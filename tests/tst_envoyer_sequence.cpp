// The whole sequence run on a pseudo-terminal standing in for the board:
// the bytes on the wire, the list, the table, the line settings, the
// driver's queue and the failures.
#include "banc_envoi.h"
#include "port/pilote_posix.h"

#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <termios.h>
#include <type_traits>

// A run takes a checked grid only: texts never reach it unchecked, and a
// file's grid is never turned back into texts to be checked again. Only the
// checks make a grid.
static_assert(!std::is_invocable_v<decltype(&EnvoyerSequence), const TextesGrille &, LienSerie &,
                                   const ObservateurEnvoi &>);
static_assert(!std::is_constructible_v<Grille, std::array<Axe, NombreAxes>>);

namespace {

// A driver that reports a queue of its own (the sizes of `file` in turn, the
// last one staying), may refuse the line settings, and writes down what the
// link asked of it, in `etat`, which the test keeps.
struct EtatPilote {
    QList<int> file{0};
    bool reglagesRefuses = false;
    size_t parEcriture = 4096; // the most bytes the line takes at a time
    QStringList journal;
};

class PiloteFactice : public PilotePosix {
public:
    explicit PiloteFactice(EtatPilote &etat)
        : m_etat(etat)
    {
    }
    std::optional<EchecLien> ouvrir(const QString &nom) override
    {
        m_etat.journal << QStringLiteral("ouvrir");
        return PilotePosix::ouvrir(nom);
    }
    void jeter() override
    {
        m_etat.journal << QStringLiteral("jeter");
        PilotePosix::jeter();
    }
    void fermer() override
    {
        if (estOuvert())
            m_etat.journal << QStringLiteral("fermer");
        PilotePosix::fermer();
    }

protected:
    int enAttente() override
    {
        m_etat.journal << QStringLiteral("attente");
        return m_etat.file.size() > 1 ? m_etat.file.takeFirst() : m_etat.file.value(0);
    }
    int drainer() override
    {
        m_etat.journal << (::fcntl(descripteur(), F_GETFD) != -1
                               ? QStringLiteral("drain")
                               : QStringLiteral("drain port fermé"));
        return 0;
    }
    int reglerLigne() override
    {
        return m_etat.reglagesRefuses ? EINVAL : PilotePosix::reglerLigne();
    }
    ssize_t transmettre(const char *octets, size_t taille) override
    {
        return PilotePosix::transmettre(octets, std::min(taille, m_etat.parEcriture));
    }

private:
    EtatPilote &m_etat;
};

// Links made from now on take a fake driver that writes into `etat`.
auto piloteFactice(EtatPilote &etat)
{
    return NouveauPilote.remplacer([&etat] { return std::make_unique<PiloteFactice>(etat); });
}

} // namespace

class TestEnvoyerSequence : public QObject {
    Q_OBJECT
private Q_SLOTS:
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
    void finDemandeeAvantLOuverture();
    void extremiteDisparue();
    void ligneBloquee();
    void enRetard_data();
    void enRetard();
    void fileJeteeSurLaLigne();
    void ecrituresPartielles();
    void sansTerminalDeControle();
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

    const auto echec = grille.envoyer();
    QVERIFY2(!echec, qPrintable(echec ? echec->message : QString()));

    QStringList attendues = lignesInitiales();
    attendues[rang - 1] = ligne;
    QCOMPARE(grille.liste, attendues);
    QByteArray fil = surLeFil(lignesInitiales());
    fil.replace(12 * (rang - 1), 12, octets);
    QCOMPARE(pty.lire(84), fil);
    QCOMPARE(fil.size(), 84);

    QCOMPARE(grille.resultat.lignes, attendues);
    QCOMPARE(grille.resultat.peripherique, pty.chemin());
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
    QVERIFY(!grille.envoyer());
    grille.rangee(1, QStringLiteral("2"), QStringLiteral("-"), QStringLiteral("2"));
    grille.rangee(5, QStringLiteral("5"), QStringLiteral("-"), QStringLiteral("5"));
    QVERIFY(!grille.envoyer());

    QStringList secondes = lignesInitiales();
    secondes[0] = QStringLiteral("A-00002:002");
    secondes[4] = QStringLiteral("E-00005:005");
    QCOMPARE(grille.liste, secondes);
    QStringList premieres = lignesInitiales();
    premieres[0] = QStringLiteral("A+00001:001");
    QCOMPARE(pty.lire(168), surLeFil(premieres) + surLeFil(secondes));
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

// From an invalid grid nothing is sent: no byte, the list as the previous
// run left it.
void TestEnvoyerSequence::grilleRefusee()
{
    QFETCH(int, rang);
    QFETCH(QStringList, textes);
    QFETCH(int, colonne);

    PseudoTerminal pty;
    GrilleEssai grille;
    grille.lien.setPeripherique(pty.chemin());
    grille.rangee(6, QStringLiteral("66"), QStringLiteral("-"), QStringLiteral("6"));
    QVERIFY(!grille.envoyer());
    QCOMPARE(pty.lire(84).size(), 84);
    const QStringList avant = grille.liste;

    grille.rangee(rang, textes[0], textes[1], textes[2]);
    const auto echec = grille.envoyer();
    QVERIFY(echec);
    QVERIFY(echec->valeur);
    QVERIFY(!echec->lien);
    QCOMPARE(echec->valeur->axe, rang);
    QCOMPARE(int(echec->valeur->colonne), colonne);
    QVERIFY2(echec->message.contains(QStringLiteral("Axe 0%1").arg(rang)),
             qPrintable(echec->message));

    QCOMPARE(pty.lire(), QByteArray());
    QCOMPARE(grille.liste, avant);
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

    const auto echec = grille.envoyer();
    QVERIFY(echec && echec->valeur && !echec->lien);
    QVERIFY2(echec->message.contains(QStringLiteral("Axe 03")), qPrintable(echec->message));
    QCOMPARE(ouvertures.nombre(), 0);
}

void TestEnvoyerSequence::vidage_data()
{
    QTest::addColumn<QList<int>>("file"); // what the driver reports in turn, at the opening first
    QTest::addColumn<QStringList>("journal");
    QTest::addColumn<QString>("message"); // empty: the run succeeds
    QTest::addColumn<int>("jetes");       // bytes an earlier run left, thrown away
    // A run that succeeds has the real bound; one that must go past it, 0.1 s.
    const QString o = QStringLiteral("ouvrir"), a = QStringLiteral("attente"),
                  d = QStringLiteral("drain");
    const QString j = QStringLiteral("jeter"), f = QStringLiteral("fermer");
    QTest::newRow("file qui se vide")
        << QList<int>{0, 84, 40, 0} << QStringList{o, a, a, a, a, d, f} << QString() << 0;
    QTest::newRow("file bloquée") << QList<int>{0, 5} << QStringList{o, j, f}
                                  << "délai dépassé : 5 octets" << 0;
    // Left by a killed run: thrown away before the first byte of this one.
    QTest::newRow("file d'une séquence tuée")
        << QList<int>{40, 0} << QStringList{o, a, j, a, d, f} << QString() << 40;
}

// The port is closed only once the driver's queue is empty and tcdrain has
// returned; a queue that never empties ends in a timeout, not in "sent",
// and what it held is thrown away before the port closes. What an earlier
// writer left queued goes before anything of this run, and the run says so.
void TestEnvoyerSequence::vidage()
{
    QFETCH(QList<int>, file);
    QFETCH(QStringList, journal);
    QFETCH(QString, message);
    QFETCH(int, jetes);
    const auto delai = DelaiSequenceMs.remplacer(message.isEmpty() ? *DelaiSequenceMs : 100);
    PseudoTerminal pty;
    EtatPilote pilote;
    pilote.file = file;
    const auto factice = piloteFactice(pilote);
    GrilleEssai grille;
    grille.lien.setPeripherique(pty.chemin());

    const auto echec = grille.envoyer();
    QCOMPARE(echec.has_value(), !message.isEmpty());
    if (echec) {
        QCOMPARE(echec->lien, EchecLien::Genre::DelaiDepasse);
        QVERIFY2(echec->message.contains(message) &&
                     echec->message.contains(QStringLiteral("ligne incomplète")),
                 qPrintable(echec->message));
        QVERIFY(pilote.journal.count(QStringLiteral("attente")) > 1);
        pilote.journal.removeAll(QStringLiteral("attente")); // as often as the deadline allows
    }
    QCOMPARE(pilote.journal, journal);
    QCOMPARE(grille.resultat.octetsJetes, jetes);
    const QString note = NoteOctetsJetes(grille.resultat.octetsJetes);
    QVERIFY2(note.contains(QStringLiteral("(%1)").arg(jetes)) == (jetes > 0), qPrintable(note));
    QVERIFY(!grille.lien.estOuvert());
    QVERIFY(flockLibre(pty.chemin()));
}

// The line refuses its settings after the link took its flock and its lock
// file: both go, and a second attempt meets the same refusal, not a port
// "held" by the panel itself.
void TestEnvoyerSequence::reglagesRefuses()
{
    PseudoTerminal pty;
    EtatPilote pilote;
    pilote.reglagesRefuses = true;
    const auto factice = piloteFactice(pilote);
    GrilleEssai grille;
    grille.lien.setPeripherique(pty.chemin());
    const int fds = descripteursOuverts();
    for (int essai = 0; essai < 2; ++essai) {
        const auto echec = grille.envoyer();
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

// The settings as the line has them while the run writes, from hostile
// ones (two stop bits, parity, hardware flow control, 9600 baud, output
// processing), which it gives back whole once it is done.
void TestEnvoyerSequence::reglagesDeLigne()
{
    PseudoTerminal pty;
    termios avant{};
    QCOMPARE(::tcgetattr(pty.maitre(), &avant), 0);
    avant.c_cflag |= CSTOPB | PARENB | CRTSCTS;
    avant.c_iflag |= IXON | IXOFF;
    avant.c_oflag |= OPOST | ONLCR;
    ::cfsetospeed(&avant, B9600);
    ::cfsetispeed(&avant, B9600);
    QCOMPARE(::tcsetattr(pty.maitre(), TCSANOW, &avant), 0);
    QCOMPARE(::tcgetattr(pty.maitre(), &avant), 0);
    GrilleEssai grille;
    grille.lien.setPeripherique(pty.chemin());
    termios vu{}, apres{};
    bool lu = false;
    grille.apresVider = [&] {
        lu = ::tcgetattr(pty.maitre(), &vu) == 0;
    };
    QVERIFY(!grille.envoyer());
    QVERIFY(lu);
    QCOMPARE(cfgetospeed(&vu), speed_t(B38400));
    QCOMPARE(cfgetispeed(&vu), speed_t(B38400));
    QCOMPARE(vu.c_cflag & CSIZE, tcflag_t(CS8));
    QCOMPARE(vu.c_cflag & PARENB, tcflag_t(0));
    QCOMPARE(vu.c_cflag & CSTOPB, tcflag_t(0));
    QCOMPARE(vu.c_cflag & CRTSCTS, tcflag_t(0));
    QCOMPARE(vu.c_iflag & (IXON | IXOFF), tcflag_t(0));
    QCOMPARE(vu.c_oflag & OPOST, tcflag_t(0)); // bytes go out unchanged
    QCOMPARE(pty.lire(84), surLeFil(lignesInitiales()));
    QCOMPARE(::tcgetattr(pty.maitre(), &apres), 0);
    QCOMPARE(apres.c_cflag, avant.c_cflag);
    QCOMPARE(apres.c_iflag, avant.c_iflag);
    QCOMPARE(apres.c_oflag, avant.c_oflag);
    QCOMPARE(apres.c_lflag, avant.c_lflag);
    QCOMPARE(cfgetospeed(&apres), speed_t(B9600));
}

void TestEnvoyerSequence::portAbsent()
{
    GrilleEssai grille;
    grille.liste = QStringList{QStringLiteral("précédent")};
    grille.lien.setPeripherique(QStringLiteral("/dev/tarvik-absent-pour-essai"));
    const int fds = descripteursOuverts();
    const auto echec = grille.envoyer();
    QVERIFY(echec);
    QCOMPARE(echec->lien, EchecLien::Genre::PortAbsent);
    QVERIFY2(echec->message.contains(QStringLiteral("absent")), qPrintable(echec->message));
    QCOMPARE(grille.liste, QStringList{QStringLiteral("précédent")});
    QCOMPARE(descripteursOuverts(), fds);
}

// The program is asked to end while a run waits its turn: the run does not
// start, and the port stays untouched.
void TestEnvoyerSequence::finDemandeeAvantLOuverture()
{
    PseudoTerminal pty;
    int tube[2];
    QCOMPARE(::pipe(tube), 0);
    const auto fermer = qScopeGuard([&] {
        ::close(tube[0]);
        ::close(tube[1]);
    });
    QCOMPARE(::write(tube[1], "\x0f", 1), 1);
    GrilleEssai grille;
    grille.liste = QStringList{QStringLiteral("précédent")};
    grille.lien.setPeripherique(pty.chemin());
    grille.lien.setReveil(tube[0]);
    const auto echec = grille.envoyer();
    QVERIFY(echec);
    QCOMPARE(echec->lien, EchecLien::Genre::Interrompu);
    QCOMPARE(grille.liste, QStringList{QStringLiteral("précédent")});
    QCOMPARE(pty.lire(), QByteArray());
    QVERIFY(flockLibre(pty.chemin()));
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
        const auto echec = grille.envoyer();
        QVERIFY(echec);
        QVERIFY2(echec->lien == EchecLien::Genre::PortDebranche, qPrintable(echec->message));
        QVERIFY2(echec->message.contains(QStringLiteral("A à B")) &&
                     echec->message.contains(QStringLiteral("port débranché")),
                 qPrintable(echec->message));
        QCOMPARE(grille.liste, lignesInitiales().mid(0, 2));
        QVERIFY(!grille.lien.estOuvert());
        QVERIFY(!QFile::exists(fichierUucp(chemin)));
    }
    QCOMPARE(descripteursOuverts(), fds);

    PseudoTerminal nouveau;
    grille.apresAjout = nullptr;
    grille.lien.setPeripherique(nouveau.chemin());
    QVERIFY(!grille.envoyer());
    QCOMPARE(nouveau.lire(84), surLeFil(lignesInitiales()));
    QCOMPARE(grille.liste, lignesInitiales());
}

// Nobody reads the line and its buffer is full: the run fails within its
// bound, leaves no incomplete line behind, and the next run is whole.
void TestEnvoyerSequence::ligneBloquee()
{
    PseudoTerminal pty;
    GrilleEssai grille;
    grille.lien.setPeripherique(pty.chemin());
    QVERIFY(pty.remplir() > 0);

    std::optional<EchecEssai> echec;
    {
        const auto delai = DelaiSequenceMs.remplacer(100); // the real 2 s: tarvik-envoyer's test
        QElapsedTimer chrono;
        chrono.start();
        echec = grille.envoyer();
        qInfo("échec rendu en %lld ms (borne : %d ms)", chrono.elapsed(), *DelaiSequenceMs);
    }
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

    QVERIFY(!grille.envoyer()); // with its real bound
    QCOMPARE(pty.lire(84), surLeFil(lignesInitiales()));
}

void TestEnvoyerSequence::enRetard_data()
{
    QTest::addColumn<int>("apres"); // the run is held up once this many lines are out
    QTest::addColumn<QString>("message");
    QTest::newRow("retenue après D") << 4 << "Lignes parties avant l'échec : A à D";
    QTest::newRow("retenue après G") << 7 << "les sept lignes sont parties, mais";
}

// A run held up past its deadline (a stopped process, a slow machine) ends
// in a failure, not in "sent": nothing more goes once the deadline has
// passed, and a run that only ends after it says its lines went late.
void TestEnvoyerSequence::enRetard()
{
    QFETCH(int, apres);
    QFETCH(QString, message);
    const auto delai = DelaiSequenceMs.remplacer(1000);
    PseudoTerminal pty;
    GrilleEssai grille;
    grille.lien.setPeripherique(pty.chemin());
    // The hold-up lasts until the deadline has passed for sure: it began
    // before the run's first line, and so before this clock.
    QElapsedTimer depuisLeDebut;
    grille.apresVider = [&] {
        depuisLeDebut.start();
    };
    grille.apresAjout = [&] {
        if (grille.liste.size() == apres)
            QThread::msleep(
                quint64(qMax<qint64>(0, *DelaiSequenceMs + 1 - depuisLeDebut.elapsed())));
    };
    const auto echec = grille.envoyer();
    QVERIFY(echec);
    QCOMPARE(echec->lien, EchecLien::Genre::DelaiDepasse);
    QVERIFY2(echec->message.contains(message) && echec->message.contains(u"délai dépassé"),
             qPrintable(echec->message));
    QCOMPARE(pty.lire(12 * apres), surLeFil(lignesInitiales().mid(0, apres)));
    QVERIFY(flockLibre(pty.chemin()));
}

// What a killed writer left on a line nobody reads: the next run throws it
// away before its own first byte, so that its lines arrive whole behind
// what the board had already taken in. A pseudo-terminal keeps no count of
// it: the driver reports it here as a serial port's does.
void TestEnvoyerSequence::fileJeteeSurLaLigne()
{
    PseudoTerminal pty;
    QVERIFY(pty.remplir() > 0);
    EtatPilote pilote;
    pilote.file = {18000, 0};
    const auto factice = piloteFactice(pilote);
    GrilleEssai grille;
    grille.lien.setPeripherique(pty.chemin());
    const auto echec = grille.envoyer();
    QVERIFY2(!echec, qPrintable(echec ? echec->message : QString()));
    QByteArray recu = pty.lire();
    while (recu.startsWith('x'))
        recu.remove(0, 1);
    QCOMPARE(recu, surLeFil(lignesInitiales()));
    QVERIFY(NoteOctetsJetes(grille.resultat.octetsJetes).contains(QStringLiteral("(18000)")));
}

// A line that takes a few bytes at a time, as a serial port with a small
// buffer does: each write goes on from where the last one stopped.
void TestEnvoyerSequence::ecrituresPartielles()
{
    PseudoTerminal pty;
    EtatPilote pilote;
    pilote.parEcriture = 5;
    const auto factice = piloteFactice(pilote);
    GrilleEssai grille;
    grille.lien.setPeripherique(pty.chemin());
    QVERIFY(!grille.envoyer());
    QCOMPARE(pty.lire(84), surLeFil(lignesInitiales()));
}

// A process without a terminal that controls it sends, and still has none
// after: the port never becomes its controlling terminal.
void TestEnvoyerSequence::sansTerminalDeControle()
{
    PseudoTerminal pty;
    const pid_t enfant = ::fork();
    if (enfant == 0) {
        ::setsid();
        GrilleEssai grille;
        grille.lien.setPeripherique(pty.chemin());
        const bool envoye = !grille.envoyer();
        const bool sansTerminal = ::open("/dev/tty", O_RDWR | O_NOCTTY) < 0;
        ::_exit(envoye && sansTerminal ? 0 : 1);
    }
    int statut = -1;
    QCOMPARE(::waitpid(enfant, &statut, 0), enfant);
    QVERIFY(WIFEXITED(statut));
    QCOMPARE(WEXITSTATUS(statut), 0);
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
    const auto echec = grille.envoyer();
    ::setfsuid(::geteuid());
    QVERIFY(echec);
    QVERIFY2(echec->lien == EchecLien::Genre::PermissionRefusee, qPrintable(echec->message));
    QVERIFY2(echec->message.contains(QStringLiteral("permission refusée")),
             qPrintable(echec->message));
    QCOMPARE(pty.lire(), QByteArray());
    QVERIFY(!QFile::exists(fichierUucp(pty.chemin())));

    QCOMPARE(::chmod(chemin.constData(), 0620), 0);
    QVERIFY(!grille.envoyer());
    QCOMPARE(pty.lire(84), surLeFil(lignesInitiales()));
}

QTEST_GUILESS_MAIN(TestEnvoyerSequence)
#include "tst_envoyer_sequence.moc"

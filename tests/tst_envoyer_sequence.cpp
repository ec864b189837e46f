// The whole sequence run on a pseudo-terminal standing in for the board:
// the bytes on the wire, the list, the table, the line settings, the
// driver's queue and the failures; a run's entry in the system's journal.
#include "app/formulation.h"
#include "banc_envoi.h"
#include "journal_systeme_essai.h"
#include "port/pilote_posix.h"
#include "run/journal.h"

#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <type_traits>

using namespace tarvik::run;
using namespace tarvik::app;

// A run takes a checked grid only: texts never reach it unchecked, and a
// file's grid is never turned back into texts to be checked again. Only the
// checks make a grid.
static_assert(!std::is_invocable_v<decltype(&OuvrirEnvoyerFermer), const TextesGrille &,
                                   LienSerie &, const ObservateurEnvoi &>);
static_assert(!std::is_invocable_v<decltype(&EnvoyerSequence), const TextesGrille &, LienSerie &,
                                   QDeadlineTimer, ResultatEnvoi &, const ObservateurEnvoi &>);
static_assert(!std::is_constructible_v<Grille, std::array<Axe, NombreAxes>>);

namespace {

// A driver that reports a queue of its own (the sizes of `file` in turn, the
// last one staying), takes the pseudo-terminal for a serial port or for
// what it is, may refuse the line settings, may stop taking bytes, and
// writes down what the link asked of it, in `etat`, which the test keeps.
struct EtatPilote {
    QList<int> file{0};
    GenreLigne genre = GenreLigne::PortSerie;
    bool reglagesRefuses = false;
    size_t parEcriture = 4096; // the most bytes the line takes at a time
    qsizetype prise = -1;      // how many more bytes the far end takes; -1: all it can hold
    std::function<void(QByteArrayView)> apresEcriture; // the bytes the line just took
    std::function<void()> bloquee;                     // the line took nothing
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
    GenreLigne genreDe(quint64) override { return m_etat.genre; }
    ssize_t transmettre(const char *octets, size_t taille) override
    {
        size_t permis = std::min(taille, m_etat.parEcriture);
        if (m_etat.prise >= 0)
            permis = std::min(permis, size_t(m_etat.prise));
        errno = EAGAIN;
        if (permis == 0) // a far end that no longer reads: the line takes nothing for a while
            ::usleep(1000);
        const ssize_t n = permis > 0 ? PilotePosix::transmettre(octets, permis) : -1;
        if (n > 0 && m_etat.prise >= 0)
            m_etat.prise -= n;
        if (n > 0 && m_etat.apresEcriture)
            m_etat.apresEcriture(QByteArrayView(octets, n));
        if (n < 0 && errno == EAGAIN && m_etat.bloquee) {
            m_etat.bloquee();
            errno = EAGAIN;
        }
        return n;
    }

private:
    EtatPilote &m_etat;
};

// Links made from now on take a fake driver that writes into `etat`.
auto piloteFactice(EtatPilote &etat)
{
    return NouveauPilote.remplacer([&etat] { return std::make_unique<PiloteFactice>(etat); });
}

// The driver's journal with each run of queue readings said once: how
// often the queue is read depends on the machine's pace, not the order.
QString resume(const QStringList &journal)
{
    QStringList pas;
    for (const QString &p : journal)
        if (p != QLatin1String("attente") || pas.value(pas.size() - 1) != QLatin1String("attente"))
            pas << p;
    return pas.join(u' ');
}

// A line's queue read until it is empty, then drained: `n` times.
QString lignesParties(int n)
{
    return QStringLiteral(" attente drain").repeated(n);
}

// Sends the grid again and again on one opening, as a program of many steps
// does, until a step fails; `envoyees`, the lines sent. What the last step
// did.
ResultatEnvoi envoyerSansFin(GrilleEssai &grille, QStringList &envoyees)
{
    const Grille etape = *VerifierGrille(grille.textes).grille;
    ResultatEnvoi resultat = OuvrirPourEnvoyer(grille.lien);
    for (int pas = 0; !resultat.echec && pas < 10000; ++pas) {
        resultat.lignes.clear();
        EnvoyerSequence(etape, grille.lien, QDeadlineTimer(*DelaiSequenceMs), resultat);
        envoyees << resultat.lignes;
    }
    return resultat;
}

// Puts in the lock folder `dossier`, where a run cut on the device at
// `chemin` leaves its mark, a folder, a link or a tube (`genre`) of another
// user's; false, with errno, when it cannot be done.
bool poserALaPlaceDeLaMarque(const QString &genre, const QString &dossier, const QString &chemin)
{
    struct stat etat {};
    if (::stat(QFile::encodeName(chemin).constData(), &etat) != 0 ||
        ::chmod(QFile::encodeName(dossier).constData(), 01777) != 0)
        return false;
    const QByteArray marque = QFile::encodeName(
        dossier +
        QStringLiteral("/.tarvik.coupe.%1.%2").arg(major(etat.st_rdev)).arg(minor(etat.st_rdev)));
    const int fait = genre == QLatin1String("dossier") ? ::mkdir(marque.constData(), 0755)
                     : genre == QLatin1String("tube")  ? ::mkfifo(marque.constData(), 0644)
                                                       : ::symlink("/dev/null", marque.constData());
    return fait == 0 && (::geteuid() != 0 || ::lchown(marque.constData(), 65534, 65534) == 0);
}

// Two runs after one that may have been cut (`coupure`): the first starts
// with a lone line feed when it was, and says why; the second does not.
void suivantes(GrilleEssai &grille, PseudoTerminal &pty, Coupure coupure)
{
    for (const Coupure attendue : {coupure, Coupure::Aucune}) {
        QVERIFY(!grille.envoyer());
        QCOMPARE(grille.resultat.ligneNeuve, attendue);
        const QByteArray attendu =
            (attendue != Coupure::Aucune ? "\n" : "") + surLeFil(lignesInitiales());
        QCOMPARE(pty.lire(attendu.size()), attendu);
    }
}

// A pipe whose reading end, once a byte is in it, is the operator's Stop.
struct Arret {
    Arret()
    {
        if (::pipe2(fd, O_CLOEXEC) != 0)
            qFatal("pas de tube : %s", strerror(errno));
    }
    ~Arret()
    {
        ::close(fd[0]);
        ::close(fd[1]);
    }
    void arreter() { QCOMPARE(::write(fd[1], "x", 1), ssize_t(1)); }
    void oublier()
    {
        char c;
        while (DescripteurLisible(fd[0]))
            QCOMPARE(::read(fd[0], &c, 1), ssize_t(1));
    }
    int fd[2] = {-1, -1};
};

// What the tests of a stopped run share: its deadline (long when a Stop
// ends it), a lock folder of their own, the terminal, the Stop, and the
// fake driver the links made from now on take.
struct BancArret {
    explicit BancArret(bool arret)
        : delai(DelaiSequenceMs.remplacer(arret ? 5000 : 500))
    {
    }
    Substituable<int>::Remplacement delai;
    QTemporaryDir verrous;
    Substituable<QStringList>::Remplacement dossiers{DossiersVerrou.remplacer({verrous.path()})};
    PseudoTerminal pty;
    Arret stop;
    EtatPilote pilote;
    Substituable<std::function<std::unique_ptr<PiloteLigne>()>>::Remplacement factice{
        piloteFactice(pilote)};
};

} // namespace

Q_DECLARE_METATYPE(EnregistrementEnvoi)

class TestEnvoyerSequence : public QObject {
    Q_OBJECT
    std::optional<TracesEssai> m_traces;
private Q_SLOTS:
    void init() { m_traces.emplace(); }
    void cleanup() { m_traces.reset(); }
    void sequence_data();
    void sequence();
    void deuxRuns();
    void grilleRefusee_data();
    void grilleRefusee();
    void grilleRefuseePortIndisponible_data();
    void grilleRefuseePortIndisponible();
    void vidage_data();
    void vidage();
    void arretSurUnPortSerie_data();
    void arretSurUnPortSerie();
    void reglagesRefuses();
    void reglagesDeLigne();
    void portAbsent();
    void finDemandeeAvantLOuverture();
    void extremiteDisparue();
    void extremiteArretee_data();
    void extremiteArretee();
    void enRetard_data();
    void enRetard();
    void fileJeteeSurLaLigne();
    void ecrituresPartielles();
    void sansTerminalDeControle();
    void permissionRefusee();
    void entreeJournalSysteme_data();
    void entreeJournalSysteme();
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
    QCOMPARE(echec->valeur->axe, 3);
    QCOMPARE(ouvertures.nombre(), 0);
}

void TestEnvoyerSequence::vidage_data()
{
    QTest::addColumn<QList<int>>("file"); // what the driver reports in turn, at the opening first
    QTest::addColumn<QString>("journal");
    QTest::addColumn<QString>("message"); // empty: the run succeeds
    QTest::addColumn<int>("lignes");      // lines sent
    QTest::addColumn<int>("jetes");       // bytes an earlier run left, thrown away
    QTest::addColumn<QByteArray>("fil");  // what the board gets from a run that succeeds
    const QByteArray sept = surLeFil(lignesInitiales());
    // Each line leaves before the next is written.
    QTest::newRow("file qui se vide")
        << QList<int>{0, 84, 40, 0} << "ouvrir attente drain" + lignesParties(7) + " fermer"
        << QString() << 7 << 0 << sept;
    // Line A never leaves: it is taken back, and not counted.
    QTest::newRow("file bloquée") << QList<int>{0, 5}
                                  << QStringLiteral("ouvrir attente jeter jeter fermer")
                                  << "délai dépassé : 5 octets" << 0 << 0 << sept;
    // Left by a killed run: thrown away before the first byte of this one,
    // which starts on a fresh line.
    QTest::newRow("file d'une séquence tuée")
        << QList<int>{40, 0} << "ouvrir attente jeter" + lignesParties(9) + " fermer" << QString()
        << 7 << 40 << "\n" + sept;
}

// On a serial port a line is sent once it has left: the queue is read
// until it is empty and tcdrain has returned, and only then is the next
// line written. A queue that never empties ends in a timeout, not in
// "sent", and what it held is thrown away before the port closes. What an
// earlier writer left queued goes before anything of this run, and the
// run says so.
void TestEnvoyerSequence::vidage()
{
    QFETCH(QList<int>, file);
    QFETCH(QString, journal);
    QFETCH(QString, message);
    QFETCH(int, lignes);
    QFETCH(int, jetes);
    QFETCH(QByteArray, fil);
    // A run that succeeds has the real bound; one that must go past it, 0.1 s.
    const auto delai = DelaiSequenceMs.remplacer(message.isEmpty() ? *DelaiSequenceMs : 100);
    QTemporaryDir verrous;
    const auto dossiers = DossiersVerrou.remplacer({verrous.path()});
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
    }
    QCOMPARE(resume(pilote.journal), journal);
    QCOMPARE(grille.resultat.lignes.size(), lignes);
    QCOMPARE(grille.resultat.octetsJetes, jetes);
    QCOMPARE(grille.resultat.ligneNeuve, jetes > 0 ? Coupure::FileLaissee : Coupure::Aucune);
    const QString note = NoteOctetsJetes(grille.resultat.octetsJetes);
    QVERIFY2(note.contains(QStringLiteral("(%1)").arg(jetes)) == (jetes > 0), qPrintable(note));
    if (!echec) // a pseudo-terminal keeps what is taken back from a serial port's queue
        QCOMPARE(pty.lire(fil.size()), fil);
    QVERIFY(!grille.lien.estOuvert());
    QVERIFY(flockLibre(pty.chemin()));
}

void TestEnvoyerSequence::arretSurUnPortSerie_data()
{
    QTest::addColumn<QList<int>>("file"); // the queue the driver reports, line after line
    QTest::addColumn<bool>("arret");      // a Stop comes as line C is written, else the deadline
    QTest::addColumn<int>("lignes");      // lines sent
    QTest::addColumn<bool>("inachevee");  // part of line C left before it was taken back
    // A, B, then C: queued once written, then gone.
    QTest::newRow("arrêt, la ligne en vol part")
        << QList<int>{0, 0, 0, 12, 0} << true << 3 << false;
    QTest::newRow("arrêt, la ligne en vol ne part pas")
        << QList<int>{0, 0, 0, 12} << true << 2 << false;
    QTest::newRow("arrêt, la ligne en vol part en partie")
        << QList<int>{0, 0, 0, 7} << true << 2 << true;
    QTest::newRow("délai, la ligne part en partie") << QList<int>{0, 0, 0, 7} << false << 2 << true;
}

// A Stop on a serial port is heard at a line's end: the line in flight is
// given a short grace to leave and counts when it does; one that does not
// leave is taken back from the queue and does not count. When part of it
// had left, the next run starts on a fresh line.
void TestEnvoyerSequence::arretSurUnPortSerie()
{
    QFETCH(QList<int>, file);
    QFETCH(bool, arret);
    QFETCH(int, lignes);
    QFETCH(bool, inachevee);
    BancArret banc(arret);
    PseudoTerminal &pty = banc.pty;
    Arret &stop = banc.stop;
    EtatPilote &pilote = banc.pilote;
    pilote.file = file;
    pilote.apresEcriture = [&](QByteArrayView octets) {
        if (arret && octets.startsWith("C"))
            stop.arreter();
    };
    GrilleEssai grille;
    grille.lien.setPeripherique(pty.chemin());
    grille.lien.setArret(stop.fd[0]);
    const auto echec = grille.envoyer();
    QVERIFY(echec);
    QCOMPARE(echec->lien, arret ? EchecLien::Genre::Interrompu : EchecLien::Genre::DelaiDepasse);
    QCOMPARE(grille.resultat.lignes, lignesInitiales().mid(0, lignes));
    QCOMPARE(grille.liste, grille.resultat.lignes);
    // The line in flight is thrown away only when it did not leave.
    QCOMPARE(resume(pilote.journal), QStringLiteral("ouvrir attente drain attente drain attente ") +
                                         (lignes == 3 ? QStringLiteral("drain jeter fermer")
                                                      : QStringLiteral("jeter jeter fermer")));
    QCOMPARE(grille.resultat.ligneInachevee, inachevee);
    QCOMPARE(echec->message.contains(QStringLiteral("La ligne C n'est partie qu'en partie")),
             inachevee);

    // A pseudo-terminal keeps what the driver took back from a serial
    // port's queue: what is there says nothing.
    pty.lire();
    stop.oublier();
    pilote.file = {0};
    pilote.apresEcriture = nullptr;
    QVERIFY(!grille.envoyer());
    QCOMPARE(grille.resultat.ligneNeuve, inachevee ? Coupure::CeLien : Coupure::Aucune);
    const QByteArray attendu = (inachevee ? "\n" : "") + surLeFil(lignesInitiales());
    QCOMPARE(pty.lire(attendu.size()), attendu);
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

void TestEnvoyerSequence::extremiteArretee_data()
{
    QTest::addColumn<bool>("arret");      // a Stop ends the run, else its deadline
    QTest::addColumn<qsizetype>("prise"); // how much the far end takes; -1: what the line holds
    QTest::addColumn<bool>("memeLien");   // the next run on the same link, else on a new one
    // What stands beforehand where the run's mark goes in the lock folder,
    // another user's ("dossier", "lien", "tube"); or "pont": the run goes
    // through a bridge's link, which leads to another terminal once the
    // bridge is started again.
    QTest::addColumn<QString>("place");
    const qsizetype milieuD = 3 * 12 + 5;
    // clang-format off
    QTest::newRow("délai, ligne pleine")            << false << qsizetype(-1) << true  << "";
    QTest::newRow("arrêt, ligne pleine")            << true  << qsizetype(-1) << false << "";
    QTest::newRow("délai au milieu de la ligne D")  << false << milieuD       << false << "";
    QTest::newRow("arrêt au milieu de la ligne D")  << true  << milieuD       << true  << "";
    QTest::newRow("un dossier à la place de la marque") << false << milieuD   << false << "dossier";
    QTest::newRow("un lien à la place de la marque") << false << milieuD      << false << "lien";
    QTest::newRow("un tube à la place de la marque") << false << milieuD      << false << "tube";
    QTest::newRow("pont relancé sur un autre terminal") << false << milieuD   << false << "pont";
    // clang-format on
}

// A program of many steps sends to a pseudo-terminal whose far end stops
// reading: its deadline or a Stop ends it. Whatever was counted as sent is
// at the far end, whole and in order, and nothing of what it took is
// thrown away; the start of a line it took only in part stays there, the
// run says so, and the next one, on this link or on a new one (the mark in
// the lock folder tells it), starts with a lone line feed. The run after
// that one does not. Where the mark cannot be written in the lock folder
// (something else stands there), the run keeps it in its private folder,
// and what stands there counts as a cut for every run; a mark follows the
// device by the name it was reached by too, when a bridge started again
// gives its link another terminal.
void TestEnvoyerSequence::extremiteArretee()
{
    QFETCH(bool, arret);
    QFETCH(qsizetype, prise);
    QFETCH(bool, memeLien);
    QFETCH(QString, place);
    BancArret banc(arret);
    PseudoTerminal &pty = banc.pty;
    const bool pont = place == QLatin1String("pont"), occupee = !place.isEmpty() && !pont;
    if (occupee && !poserALaPlaceDeLaMarque(place, banc.verrous.path(), pty.chemin()))
        QFAIL(strerror(errno));
    QTemporaryDir liens;
    const QString port = pont ? liens.filePath(QStringLiteral("tarvik-port")) : pty.chemin();
    QVERIFY(!pont || QFile::link(pty.chemin(), port));
    Arret &stop = banc.stop;
    EtatPilote &pilote = banc.pilote;
    pilote.genre = GenreLigne::PseudoTerminal;
    pilote.prise = prise;
    pilote.bloquee = [&] {
        if (arret && !DescripteurLisible(stop.fd[0]))
            stop.arreter();
    };
    GrilleEssai grille;
    grille.lien.setPeripherique(port);
    grille.lien.setArret(stop.fd[0]);
    QStringList envoyees;
    const ResultatEnvoi resultat = envoyerSansFin(grille, envoyees);
    QVERIFY(resultat.echec);
    QCOMPARE(resultat.echec->genre(),
             arret ? EchecLien::Genre::Interrompu : EchecLien::Genre::DelaiDepasse);
    QVERIFY(!grille.lien.estOuvert());

    // What stands in the mark's place is a cut already: the run starts on a fresh line.
    const QByteArray attendu =
        (occupee ? "\n" : "") + (envoyees.isEmpty() ? QByteArray() : surLeFil(envoyees));
    const QByteArray recu = pty.lire(attendu.size() + 1);
    QVERIFY2(recu.startsWith(attendu), qPrintable(QString::number(recu.size()))); // all kept
    const QByteArray debut = recu.mid(attendu.size()); // of the line it took in part
    const QString inachevee = lignesInitiales()[envoyees.size() % NombreAxes];
    QVERIFY2(debut.size() < 12 && surLeFil({inachevee}).startsWith(debut), debut.constData());
    if (prise >= 0)
        QCOMPARE(recu.size(), prise);
    QCOMPARE(resultat.ligneInachevee, !debut.isEmpty());
    QVERIFY2(TexteEchec(resultat).contains(QStringLiteral("qu'en partie")) == !debut.isEmpty(),
             qPrintable(TexteEchec(resultat)));

    stop.oublier();
    pilote.prise = -1;
    pilote.bloquee = nullptr;
    PseudoTerminal relance; // the bridge's new terminal
    if (pont)
        QVERIFY(QFile::remove(port) && QFile::link(relance.chemin(), port));
    GrilleEssai nouvelle;
    nouvelle.lien.setPeripherique(port);
    if (occupee) { // a lone line feed again and again, while the place is taken
        QVERIFY(!debut.isEmpty());
        for (const Coupure coupure : {Coupure::Marque, Coupure::MarqueDouteuse}) {
            QVERIFY(!nouvelle.envoyer());
            QCOMPARE(nouvelle.resultat.ligneNeuve, coupure);
            QCOMPARE(pty.lire(85), "\n" + surLeFil(lignesInitiales()));
        }
        return;
    }
    suivantes(memeLien ? grille : nouvelle, pont ? relance : pty,
              debut.isEmpty() ? Coupure::Aucune
              : memeLien      ? Coupure::CeLien
                              : Coupure::Marque);
}

void TestEnvoyerSequence::enRetard_data()
{
    QTest::addColumn<int>("apres"); // the run is held up once this many lines are out
    QTest::addColumn<QString>("message");
    // The deadline in French, with its decimal comma.
    QTest::newRow("retenue après D")
        << 4 << "la séquence a pris plus de 1,5 s.\nLignes parties avant l'échec : A à D";
    QTest::newRow("retenue après G") << 7 << "les sept lignes sont parties, mais en plus de 1,5 s";
}

// A run held up past its deadline (a stopped process, a slow machine) ends
// in a failure, not in "sent": nothing more goes once the deadline has
// passed, and a run that only ends after it says its lines went late.
void TestEnvoyerSequence::enRetard()
{
    QFETCH(int, apres);
    QFETCH(QString, message);
    const auto delai = DelaiSequenceMs.remplacer(1500);
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
// away before its own first byte, then starts on a fresh line, so that its
// lines arrive whole behind what the board had already taken in. A
// pseudo-terminal keeps no count of it: the driver reports it here as a
// serial port's does.
void TestEnvoyerSequence::fileJeteeSurLaLigne()
{
    QTemporaryDir verrous;
    const auto dossiers = DossiersVerrou.remplacer({verrous.path()});
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
    QCOMPARE(recu, "\n" + surLeFil(lignesInitiales()));
    QVERIFY(NoteOctetsJetes(grille.resultat.octetsJetes).contains(QStringLiteral("(18000)")));
    QVERIFY(NoteLigneNeuve(grille.resultat.ligneNeuve).contains(QStringLiteral("saut de ligne")));
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
    const VerrousEssai verrous;
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

void TestEnvoyerSequence::entreeJournalSysteme_data()
{
    QTest::addColumn<EnregistrementEnvoi>("envoi"); // from the panel, on /dev/ttyUSB0
    QTest::addColumn<ChampsEntree>("champs");       // besides SYSLOG_IDENTIFIER and TARVIK_PORT
    const auto envoi = [](IssueEnvoi issue, const char *source, const char *peripherique,
                          const char *raison, int lignes, const char *execution) {
        return EnregistrementEnvoi{QDateTime::currentDateTime(),
                                   "tarvik",
                                   source,
                                   "/dev/ttyUSB0",
                                   peripherique,
                                   issue,
                                   raison,
                                   lignesInitiales().mid(0, lignes),
                                   execution};
    };
    const auto u8 = [](const QString &texte) {
        return texte.toUtf8();
    };
    const QByteArray sept = u8(lignesInitiales().join(u'\n')), usb = "/dev/ttyUSB0";
    // clang-format off
    QTest::newRow("envoyée") << envoi(IssueEnvoi::Envoyee, "prise.prog:3", "/dev/ttyUSB0", "", 7, "r-1")
        << ChampsEntree{{"MESSAGE", u8("Séquence envoyée sur /dev/ttyUSB0 (7 lignes)")}, {"PRIORITY", "6"},
                        {"TARVIK_OUTCOME", "sent"}, {"TARVIK_DEVICE", usb}, {"TARVIK_SOURCE", "prise.prog:3"},
                        {"TARVIK_RUN", "r-1"}, {"TARVIK_LINES", sept}};
    QTest::newRow("hors limites") << envoi(IssueEnvoi::HorsLimites, "prise.prog", "", "B trop loin", 0, "")
        << ChampsEntree{{"MESSAGE", u8("Séquence refusée\u00a0: B trop loin")}, {"PRIORITY", "4"},
                        {"TARVIK_OUTCOME", "refused"}, {"TARVIK_SOURCE", "prise.prog"},
                        {"TARVIK_REASON", "B trop loin"}};
    QTest::newRow("échec, raison sur deux lignes")
        << envoi(IssueEnvoi::Echec, "", "/dev/pts/0", "débranché.\nOctets jetés", 2, "")
        << ChampsEntree{{"MESSAGE", u8("Échec de l'envoi sur /dev/ttyUSB0 → /dev/pts/0\u00a0: débranché. Octets jetés")},
                        {"PRIORITY", "3"}, {"TARVIK_OUTCOME", "failed"}, {"TARVIK_DEVICE", "/dev/pts/0"},
                        {"TARVIK_LINES", "A+00000:002\nB+00000:002"}, {"TARVIK_REASON", u8("débranché.\nOctets jetés")}};
    QTest::newRow("rebranché") << envoi(IssueEnvoi::Rebranche, "", "/dev/ttyUSB1", "revenu", 0, "")
        << ChampsEntree{{"MESSAGE", u8("Port /dev/ttyUSB0 → /dev/ttyUSB1\u00a0: revenu")}, {"PRIORITY", "4"},
                        {"TARVIK_OUTCOME", "replugged"}, {"TARVIK_DEVICE", "/dev/ttyUSB1"},
                        {"TARVIK_REASON", "revenu"}};
    // clang-format on
}

// One entry per record: the program, a message of one line, a priority by
// how the run ended, and the record's fields; a field with nothing to say is
// left out. Read back from its datagram as journald reads it. (A refusal and
// an interruption are seen from tarvik-envoyer, in tst_envoyeur.)
void TestEnvoyerSequence::entreeJournalSysteme()
{
    QFETCH(EnregistrementEnvoi, envoi);
    QFETCH(ChampsEntree, champs);
    champs.insert("SYSLOG_IDENTIFIER", envoi.executable.toUtf8());
    champs.insert("TARVIK_PORT", envoi.portChoisi.toUtf8());
    const QList<ChampJournal> entree = EntreeJournalSysteme(envoi, MessageJournalSysteme(envoi));
    const std::optional<ChampsEntree> lue = LireEntree(FormerEntreeJournal(entree));
    QVERIFY(lue);
    QCOMPARE(lue->keys(), champs.keys());
    for (auto champ = champs.cbegin(); champ != champs.cend(); ++champ)
        QCOMPARE(lue->value(champ.key()), champ.value());
    QCOMPARE(entree.first().first, QByteArray("MESSAGE"));
}

QTEST_GUILESS_MAIN(TestEnvoyerSequence)
#include "tst_envoyer_sequence.moc"

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
// last one staying) and writes down what the link asked of it.
class PiloteFactice : public PiloteLigne {
public:
    bool ouvrir(QSerialPort &port) override
    {
        journal << QStringLiteral("ouvrir");
        return !ouvertureRefusee && PiloteLigne::ouvrir(port);
    }
    int enAttente(int) override
    {
        journal << QStringLiteral("attente");
        return file.size() > 1 ? file.takeFirst() : file.value(0);
    }
    int drainer(int fd) override
    {
        journal << (::fcntl(fd, F_GETFD) != -1 ? QStringLiteral("drain")
                                               : QStringLiteral("drain port fermé"));
        return 0;
    }

    QList<int> file{0};
    bool ouvertureRefusee = false;
    QStringList journal;
};

bool ecrireFichier(const QString &chemin, const QByteArray &contenu)
{
    QFile f(chemin);
    return f.open(QIODevice::WriteOnly) && f.write(contenu) == contenu.size();
}

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
    void ouvertureRefuseeParQt();
    void reglagesDeLigne();
    void portAbsent();
    void flockDetenu();
    void verrouUucp_data();
    void verrouUucp();
    void detenteurDisparu();
    void exclusiviteAutreProgramme();
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
    QTest::newRow("file qui se vide")
        << QList<int>{84, 40, 0} << QStringList{o, a, a, a, d} << QString();
    QTest::newRow("file bloquée") << QList<int>{5} << QStringList{o} << "délai dépassé : 5 octets";
}

// The port is closed only once the driver's queue is empty and tcdrain has
// returned; a queue that never empties ends in a timeout, not in "sent".
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

// Qt refuses to open the port after the link took its flock: the flock goes
// too, and a second attempt meets the same refusal, not a port "held" by
// the panel itself.
void TestEnvoyerSequence::ouvertureRefuseeParQt()
{
    PseudoTerminal pty;
    GrilleEssai grille;
    PiloteFactice pilote;
    pilote.ouvertureRefusee = true;
    grille.lien.setPilote(&pilote);
    grille.lien.setPeripherique(pty.chemin());
    for (int essai = 0; essai < 2; ++essai) {
        const auto echec = EnvoyerSequence(grille);
        QVERIFY(echec);
        QVERIFY2(echec->lien == EchecLien::Genre::OuvertureEchouee, qPrintable(echec->message));
        QVERIFY(flockLibre(pty.chemin()));
    }
    QCOMPARE(pilote.journal.size(), 2);
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
    const auto echec = EnvoyerSequence(grille);
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
    QTest::addColumn<QString>("genre"); // "", or what stands in the file's place
    QTest::addColumn<QString>("refus"); // empty: the lock is stale and the port used
    const QByteArray vivant = QByteArray::number(::getpid());
    const QByteArray mort = QByteArray::number(pidMort());
    const auto binaire = [](std::int32_t pid) {
        return QByteArray(reinterpret_cast<const char *>(&pid), 4);
    };
    const QString occupe = QStringLiteral("port occupé par le processus ") + vivant;
    const QString illisible = QStringLiteral("est illisible");
    const QString pasOrdinaire = QStringLiteral("pas un fichier ordinaire");
    // A live pid of at most four digits: init's, always there.
    const QByteArray ascii4 = "0001";
    // clang-format off
    const QList<std::tuple<const char *, QByteArray, const char *, QString>> cas = {
        {"HDB vivant",          vivant.rightJustified(10) + '\n',              "", occupe},
        {"Qt vivant",           vivant + "\nminicom\nhote\n",                  "", occupe},
        {"minicom vivant",      vivant.rightJustified(10) + " minicom root\n", "", occupe},
        {"ASCII sur 4 octets",  ascii4,                   "", QStringLiteral("port occupé par le processus 1")},
        {"binaire vivant",      binaire(::getpid()),                           "", occupe},
        {"HDB mort",            mort.rightJustified(10) + '\n',                "", QString()},
        {"minicom mort",        mort.rightJustified(10) + " minicom root\n",   "", QString()},
        {"pid hors limites",    "4294967297\n",                                "", illisible},
        {"pid nul",             "0\n",                                         "", illisible},
        {"binaire négatif",     binaire(-5),                                   "", illisible},
        {"texte",               "rien\n",                                      "", illisible},
        {"tube",                "",                                        "tube", pasOrdinaire},
        {"dossier",             "",                                     "dossier", pasOrdinaire},
        {"lien vers le port",   "",                     "lien", QStringLiteral("lien symbolique")},
    };
    // clang-format on
    for (const auto &[nom, contenu, genre, refus] : cas)
        QTest::newRow(nom) << contenu << QString::fromLatin1(genre) << refus;
}

// A lock file naming a live process keeps the port; a stale one does not.
// Whatever else a user puts in its place is refused without blocking, and
// never followed.
void TestEnvoyerSequence::verrouUucp()
{
    QFETCH(QByteArray, contenu);
    QFETCH(QString, genre);
    QFETCH(QString, refus);

    PseudoTerminal pty;
    QTemporaryDir dossier;
    GrilleEssai grille;
    grille.lien.setPeripherique(pty.chemin());
    grille.lien.setDossiersVerrou({dossier.path()});
    const QString verrou = dossier.filePath(QFileInfo(fichierUucp(pty.chemin())).fileName());
    if (genre == QLatin1String("tube"))
        QCOMPARE(::mkfifo(QFile::encodeName(verrou).constData(), 0600), 0);
    else if (genre == QLatin1String("lien"))
        QVERIFY(QFile::link(pty.chemin(), verrou));
    else if (genre == QLatin1String("dossier"))
        QVERIFY(QDir().mkdir(verrou));
    else
        QVERIFY(ecrireFichier(verrou, contenu));

    const auto echec = EnvoyerSequence(grille);
    if (refus.isEmpty()) {
        QVERIFY2(!echec, qPrintable(echec ? echec->message : QString()));
        QCOMPARE(pty.lire(84), surLeFil(lignesInitiales()));
        return;
    }
    QVERIFY(echec);
    QCOMPARE(echec->lien, EchecLien::Genre::PortOccupe);
    QVERIFY2(echec->message.contains(refus) && echec->message.contains(verrou),
             qPrintable(echec->message));
    QCOMPARE(pty.lire(), QByteArray());
    QVERIFY(QFileInfo(verrou).exists() || QFileInfo(verrou).isSymLink()); // never removed
    QVERIFY(flockLibre(pty.chemin()));
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

// Another program opened the line exclusively: root is refused as well,
// although the kernel would let it through.
void TestEnvoyerSequence::exclusiviteAutreProgramme()
{
    if (::geteuid() != 0)
        QSKIP("seul root passe outre une ouverture exclusive : rien à vérifier ici");
    PseudoTerminal pty;
    const int autre =
        ::open(QFile::encodeName(pty.chemin()).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    QCOMPARE(::ioctl(autre, TIOCEXCL), 0);
    GrilleEssai grille;
    grille.lien.setPeripherique(pty.chemin());
    const auto echec = EnvoyerSequence(grille);
    ::ioctl(autre, TIOCNXCL);
    ::close(autre);
    QVERIFY(echec);
    QCOMPARE(echec->lien, EchecLien::Genre::PortOccupe);
    QVERIFY2(echec->message.contains(QStringLiteral("exclusivité")), qPrintable(echec->message));
    QCOMPARE(pty.lire(), QByteArray());
    QVERIFY(!EnvoyerSequence(grille));
    QCOMPARE(pty.lire(84), surLeFil(lignesInitiales()));
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
    bool verrouDuPeripherique = false;
    grille.apresVider = [&] {
        verrouDuPeripherique = QFile::exists(fichierUucp(pty.chemin()));
    };
    QVERIFY(!EnvoyerSequence(grille));
    QVERIFY(verrouDuPeripherique);
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

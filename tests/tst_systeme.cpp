// The system layer: bounded reads at their limit, saves that fail at any
// step and leave the old file whole, saves through a link and over a file
// whose mode is kept, appends and their rotation, the XDG folders, and the
// entries for the system's journal.
#include "journal_systeme_essai.h"
#include "octets_essai.h"
#include "system/ajout.h"
#include "system/ecriture.h"
#include "system/journal_systeme.h"
#include "system/lecture.h"
#include "system/noms.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace tarvik::system;

Q_DECLARE_METATYPE(std::optional<EchecLecture>)
Q_DECLARE_METATYPE(std::optional<EchecAjout>)

namespace {

mode_t modeDe(const QString &chemin)
{
    struct stat etat {};
    return ::stat(QFile::encodeName(chemin).constData(), &etat) == 0 ? etat.st_mode & 07777 : 0;
}

// How many of this process's descriptors lead to the file at `chemin`.
int descripteursSur(const QString &chemin)
{
    int n = 0;
    for (const QFileInfo &fd :
         QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::AllEntries | QDir::System))
        n += fd.symLinkTarget() == chemin;
    return n;
}

} // namespace

class TestSysteme : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void limiteDeTaille_data();
    void limiteDeTaille();
    void panneDEcriture_data();
    void panneDEcriture();
    void ecritureParUnLien();
    void modeConserve();
    void rotationConcurrente();
    void rotation_data();
    void rotation();
    void ajoutCoupe();
    void synchronisationLente();
    void renommeAvantSonTour();
    void dossierXdg_data();
    void dossierXdg();
    void entreeJournal_data();
    void entreeJournal();
    void journalSystemeSansAttente();
    void grandeEntree_data();
    void grandeEntree();

private:
    QTemporaryDir m_dossier;
};

void TestSysteme::limiteDeTaille_data()
{
    QTest::addColumn<qsizetype>("limite");
    QTest::addColumn<qsizetype>("taille");
    QTest::addColumn<std::optional<EchecLecture>>("refus"); // none: read whole
    const std::optional<EchecLecture> entier;
    const auto trop = [](qsizetype taille) {
        return std::optional(
            EchecLecture{.genre = EchecLecture::Genre::TropGros, .taille = taille});
    };
    // clang-format off
    QTest::newRow("64 Kio tout juste")     << qsizetype(64 * 1024) << qsizetype(64 * 1024) << entier;
    QTest::newRow("64 Kio et un octet")    << qsizetype(64 * 1024) << qsizetype(64 * 1024 + 1) << trop(64 * 1024);
    QTest::newRow("verrou, 256 tout juste") << qsizetype(256) << qsizetype(256) << entier;
    QTest::newRow("verrou, 257 octets")    << qsizetype(256) << qsizetype(257) << trop(256);
    // clang-format on
}

// A file of exactly the limit is read; one byte more is refused.
void TestSysteme::limiteDeTaille()
{
    QFETCH(qsizetype, limite);
    QFETCH(qsizetype, taille);
    QFETCH(std::optional<EchecLecture>, refus);
    const QString chemin = m_dossier.filePath(QStringLiteral("taille"));
    QVERIFY(ecrireFichier(chemin, QByteArray(taille, 'x')));
    const FichierLu lu = LireFichier(chemin, limite);
    QCOMPARE(lu.echec, refus);
    QCOMPARE(lu.contenu.size(), refus ? 0 : taille);
}

void TestSysteme::panneDEcriture_data()
{
    QTest::addColumn<QString>("etape");
    QTest::addColumn<int>("erreur"); // the errno said (its words: tst_formulation)
    QTest::newRow("écriture") << "ecrire" << ENOSPC;
    QTest::newRow("synchronisation") << "synchroniser" << EIO;
    QTest::newRow("fermeture") << "fermer" << EDQUOT;
    QTest::newRow("renommage") << "renommer" << EROFS;
}

// A save that fails at any step says which system error, leaves the old
// file as it was, and leaves nothing beside it.
void TestSysteme::panneDEcriture()
{
    QFETCH(QString, etape);
    QFETCH(int, erreur);
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("ancien.seq"));
    QVERIFY(ecrireFichier(chemin, "ancien\n"));
    AppelsEcriture appels;
    if (etape == QLatin1String("ecrire"))
        appels.ecrire = [](int, const void *, size_t) {
            return errno = ENOSPC, ssize_t(-1);
        };
    else if (etape == QLatin1String("synchroniser"))
        appels.synchroniser = [](int) {
            return errno = EIO, -1;
        };
    else if (etape == QLatin1String("fermer"))
        appels.fermer = [](int fd) {
            return ::close(fd), errno = EDQUOT, -1;
        };
    else
        appels.renommer = [](const char *, const char *) {
            return errno = EROFS, -1;
        };
    const auto panne = AppelsSysteme.remplacer(appels);
    const EcritureFichier ecriture = EcrireFichier(chemin, "nouveau\n");
    QCOMPARE(ecriture.echec, (EchecEcriture{EchecEcriture::Genre::Impossible, erreur}));
    QVERIFY(ecriture.existait);
    QCOMPARE(lireFichier(chemin), QByteArray("ancien\n"));
    QCOMPARE(QDir(dossier.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("ancien.seq")});
}

// Saving through a link replaces the file it leads to; the link stays.
void TestSysteme::ecritureParUnLien()
{
    const QString cible = m_dossier.filePath(QStringLiteral("cible.seq"));
    const QString lien = m_dossier.filePath(QStringLiteral("lien.seq"));
    QVERIFY(ecrireFichier(cible, "ancien\n"));
    QVERIFY(QFile::link(cible, lien));
    QVERIFY(!EcrireFichier(lien, "nouveau\n").echec);
    QVERIFY(QFileInfo(lien).isSymLink());
    QCOMPARE(lireFichier(cible), QByteArray("nouveau\n"));
}

// A file replaced keeps its mode.
void TestSysteme::modeConserve()
{
    const QString chemin = m_dossier.filePath(QStringLiteral("mode.seq"));
    QVERIFY(ecrireFichier(chemin, "ancien\n"));
    QCOMPARE(::chmod(QFile::encodeName(chemin).constData(), 0640), 0);
    QVERIFY(!EcrireFichier(chemin, "nouveau\n").echec);
    struct stat etat {};
    QCOMPARE(::stat(QFile::encodeName(chemin).constData(), &etat), 0);
    QCOMPARE(etat.st_mode & 07777, mode_t(0640));
    QCOMPARE(lireFichier(chemin), QByteArray("nouveau\n"));
}

// Two processes append 50 records each while the file passes its bound:
// the file moves once to .1, and every record is there, whole, once.
void TestSysteme::rotationConcurrente()
{
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("journal.log"));
    constexpr qint64 Limite = 4000; // 3000 bytes already there, 100 records of 40
    QVERIFY(ecrireFichier(chemin, QByteArray(2999, 'p') + '\n'));
    QList<pid_t> ecrivains;
    for (char qui : {'a', 'b'}) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            for (int k = 0; k < 50; ++k)
                if (AjouterEnregistrement(chemin,
                                          QByteArray(36, qui) +
                                              QByteArray::number(k).rightJustified(3, '0') + '\n',
                                          Limite))
                    ::_exit(1);
            ::_exit(0);
        }
        ecrivains << pid;
    }
    for (pid_t pid : ecrivains) {
        int statut = -1;
        QCOMPARE(::waitpid(pid, &statut, 0), pid);
        QVERIFY(WIFEXITED(statut) && WEXITSTATUS(statut) == 0);
    }
    const QByteArrayList lignes =
        (lireFichier(chemin + QStringLiteral(".1")) + lireFichier(chemin)).split('\n');
    QCOMPARE(lignes.size(), 1 + 100 + 1); // the earlier line, the records, the end
    QCOMPARE(lignes.first(), QByteArray(2999, 'p'));
    QSet<QByteArray> vues;
    for (const QByteArray &ligne : lignes.mid(1, 100)) {
        QVERIFY2(ligne.size() == 39 && ligne.count(ligne[0]) == 36, ligne.constData());
        vues << ligne;
    }
    QCOMPARE(vues.size(), 100);
    QVERIFY(QFileInfo(chemin).size() < Limite);
}

void TestSysteme::rotation_data()
{
    QTest::addColumn<int>("taille");         // of the file there before; -1: no file, no folder
    QTest::addColumn<bool>("dossierAncien"); // a folder is where the file would move
    QTest::addColumn<bool>("tourne");        // the file is moved aside first
    QTest::addColumn<std::optional<EchecAjout>>("echec"); // why (its words: tst_formulation)
    const std::optional<EchecAjout> ecrit;
    // clang-format off
    QTest::newRow("nouveau journal")             << -1 << false << false << ecrit;
    QTest::newRow("la limite tout juste")        << 90 << false << false << ecrit;
    QTest::newRow("l'enregistrement la dépasse") << 91 << false << true << ecrit;
    QTest::newRow("un dossier à la place de .1") << 91 << true << false
        << std::optional(EchecAjout{.genre = EchecAjout::Genre::RotationImpossible, .erreur = EISDIR,
                                    .chemin = QStringLiteral("%1.1")});
    // clang-format on
}

// A record of 10 bytes against a limit of 100: the file is moved aside
// before the record that would take it past the limit. A file the append
// creates is 0600, a folder 0700. A rotation that fails is said, and the
// record is written all the same.
void TestSysteme::rotation()
{
    QFETCH(int, taille);
    QFETCH(bool, dossierAncien);
    QFETCH(bool, tourne);
    QFETCH(std::optional<EchecAjout>, echec);
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("etat/tarvik/journal.log"));
    if (echec)
        echec->chemin = echec->chemin.arg(chemin);
    const QByteArray avant = taille < 0 ? QByteArray() : QByteArray(taille - 1, 'p') + '\n';
    QVERIFY(taille < 0 ||
            (QDir().mkpath(QFileInfo(chemin).path()) && ecrireFichier(chemin, avant)));
    QVERIFY(!dossierAncien || QDir().mkdir(chemin + QStringLiteral(".1")));
    const auto ajout = AjouterEnregistrement(chemin, "123456789\n", 100);
    QCOMPARE(ajout, echec);
    QVERIFY(!ajout || ajout->ecrit());
    QCOMPARE(lireFichier(chemin), (tourne ? QByteArray() : avant) + "123456789\n");
    QCOMPARE(lireFichier(chemin + QStringLiteral(".1")), tourne ? avant : QByteArray());
    if (taille < 0 || tourne)
        QCOMPARE(modeDe(chemin), mode_t(0600));
    if (taille < 0)
        QCOMPARE(modeDe(QFileInfo(chemin).path()), mode_t(0700));
}

// A record cut short (the disk full) is taken back: the file ends with
// whole records only, and the next record follows them.
void TestSysteme::ajoutCoupe()
{
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("journal.log"));
    QVERIFY(!AjouterEnregistrement(chemin, "premier\n", 1000));
    {
        AppelsEcriture appels;
        appels.ecrire = [](int fd, const void *octets, size_t taille) {
            return ::write(fd, octets, taille / 2);
        };
        const auto coupe = AppelsSysteme.remplacer(appels);
        const auto echec = AjouterEnregistrement(chemin, "deuxième, coupé\n", 1000);
        QVERIFY(echec && !echec->ecrit());
        QCOMPARE(echec->genre, EchecAjout::Genre::EcritureImpossible);
        QCOMPARE(echec->erreur, ENOSPC);
    }
    QVERIFY(!AjouterEnregistrement(chemin, "troisième\n", 1000));
    QCOMPARE(lireFichier(chemin), QByteArray("premier\ntroisième\n"));
}

// Writers whose flush to the disk is slow all get their record in: each
// flushes once its turn is over. Here each flush waits until all of them
// flush (for 12 s at most), which only writers past their turn can do.
void TestSysteme::synchronisationLente()
{
    constexpr int Ecrivains = 5;
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("journal.log"));
    std::mutex garde;
    std::condition_variable signal;
    int enVidage = 0;
    AppelsEcriture appels;
    appels.synchroniserDonnees = [&](int fd) {
        std::unique_lock verrou(garde);
        ++enVidage;
        signal.notify_all();
        signal.wait_for(verrou, std::chrono::seconds(12), [&] { return enVidage == Ecrivains; });
        return ::fdatasync(fd);
    };
    const auto lente = AppelsSysteme.remplacer(appels);
    std::atomic<int> rates = 0;
    std::vector<std::thread> ecrivains;
    for (int k = 0; k < Ecrivains; ++k)
        ecrivains.emplace_back([&, k] {
            rates += bool(AjouterEnregistrement(chemin, QByteArray::number(k) + '\n', 1000));
        });
    for (std::thread &ecrivain : ecrivains)
        ecrivain.join();
    QCOMPARE(rates.load(), 0);
    QCOMPARE(lireFichier(chemin).size(), 2 * Ecrivains);
}

// The file is moved away while a writer waits for its turn on it: the
// record goes to a new file under the name, never to the one moved away.
void TestSysteme::renommeAvantSonTour()
{
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("journal.log"));
    const QString ailleurs = dossier.filePath(QStringLiteral("ailleurs.log"));
    const int tenu = ::open(QFile::encodeName(chemin).constData(), O_WRONLY | O_CREAT, 0600);
    QVERIFY(tenu >= 0 && ::flock(tenu, LOCK_EX) == 0);
    std::optional<EchecAjout> echec{EchecAjout{}};
    std::jthread ecrivain([&] { echec = AjouterEnregistrement(chemin, "enregistrement\n", 1000); });
    QTRY_COMPARE(descripteursSur(chemin), 2); // the writer has it open, and waits
    QVERIFY(QFile::rename(chemin, ailleurs));
    ::close(tenu);
    ecrivain.join();
    QVERIFY(!echec);
    QCOMPARE(lireFichier(chemin), QByteArray("enregistrement\n"));
    QCOMPARE(lireFichier(ailleurs), QByteArray());
}

void TestSysteme::dossierXdg_data()
{
    QTest::addColumn<QByteArray>("valeur"); // of XDG_CONFIG_HOME
    QTest::addColumn<QString>("fichier");
    const QString maison = QDir::homePath() + QStringLiteral("/.config/Tarvik/tarvik.conf");
    QTest::newRow("absolu") << QByteArray("/tmp/xdg") << "/tmp/xdg/Tarvik/tarvik.conf";
    QTest::newRow("relatif, ignoré") << QByteArray("reglages") << maison;
    QTest::newRow("vide") << QByteArray() << maison;
}

// One settings file whatever the current folder: a relative XDG_CONFIG_HOME
// is invalid, and ignored.
void TestSysteme::dossierXdg()
{
    QFETCH(QByteArray, valeur);
    QFETCH(QString, fichier);
    const QByteArray avant = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", valeur);
    const QString vu = DossierXdg("XDG_CONFIG_HOME", QStringLiteral(".config")) +
                       QStringLiteral("/Tarvik/tarvik.conf");
    qputenv("XDG_CONFIG_HOME", avant);
    QCOMPARE(vu, fichier);
}

void TestSysteme::entreeJournal_data()
{
    QTest::addColumn<QByteArray>("nom");
    QTest::addColumn<QByteArray>("valeur");
    QTest::addColumn<QByteArray>("octets"); // the field in the datagram
    const auto taille = [](char n) {
        return QByteArray(1, n) + QByteArray(7, '\0');
    };
    // clang-format off
    QTest::newRow("texte")        << QByteArray("MESSAGE") << QByteArray("Séquence envoyée")
                                  << QByteArray("MESSAGE=Séquence envoyée\n");
    QTest::newRow("vide")         << QByteArray("TARVIK_RUN") << QByteArray()
                                  << QByteArray("TARVIK_RUN=\n");
    QTest::newRow("deux lignes")  << QByteArray("TARVIK_LINES") << QByteArray("A+1\nB-2")
                                  << "TARVIK_LINES\n" + taille(7) + "A+1\nB-2\n";
    QTest::newRow("300 octets")   << QByteArray("X") << QByteArray(299, 'a') + '\n'
                                  << "X\n" + QByteArray("\x2c\x01", 2) + QByteArray(6, '\0') +
                                         QByteArray(299, 'a') + "\n\n";
    // clang-format on
}

// journald's native protocol: a value on one line after '=', one that holds
// a line feed after its length, 64 bits little-endian.
void TestSysteme::entreeJournal()
{
    QFETCH(QByteArray, nom);
    QFETCH(QByteArray, valeur);
    QFETCH(QByteArray, octets);
    const QByteArray avant = "PRIORITY=6\n";
    QCOMPARE(FormerEntreeJournal({{"PRIORITY", "6"}, {nom, valeur}}), avant + octets);
    QCOMPARE(LireEntree(avant + octets), (ChampsEntree{{"PRIORITY", "6"}, {nom, valeur}}));
}

// No socket: dropped, and nothing changes (not even errno). A socket nobody
// reads: its queue fills, and the entries beyond it are dropped at once,
// never waited for (a send that waited would hold this test until its end);
// those it took are whole.
void TestSysteme::journalSystemeSansAttente()
{
    QTemporaryDir dossier;
    const QByteArray chemin = QFile::encodeName(dossier.filePath(QStringLiteral("socket")));
    const QList<ChampJournal> entree{{"MESSAGE", "essai"}, {"TARVIK_LINES", "A\nB"}};
    errno = EBADMSG;
    QVERIFY(!EnvoyerAuJournalSysteme(entree, chemin.constData()));
    QCOMPARE(errno, EBADMSG);

    SocketJournalEssai socket(QFile::decodeName(chemin));
    QVERIFY(socket.valide());
    int prises = 0;
    while (prises < 100000 && EnvoyerAuJournalSysteme(entree, chemin.constData()))
        ++prises;
    QVERIFY2(prises > 0 && prises < 100000, qPrintable(QString::number(prises)));
    errno = EBADMSG;
    QVERIFY(!EnvoyerAuJournalSysteme(entree, chemin.constData()));
    QCOMPARE(errno, EBADMSG);
    QCOMPARE(socket.datagrammes(), QList<QByteArray>(prises, FormerEntreeJournal(entree)));
    QVERIFY(EnvoyerAuJournalSysteme(entree, chemin.constData())); // room again
    QCOMPARE(socket.entrees(),
             (QList<ChampsEntree>{{{"MESSAGE", "essai"}, {"TARVIK_LINES", "A\nB"}}}));
}

void TestSysteme::grandeEntree_data()
{
    QTest::addColumn<int>("taille");   // of a field's value
    QTest::addColumn<int>("fichiers"); // entries that came as a memory file
    QTest::newRow("un datagramme") << 1000 << 0;
    QTest::newRow("trop grande pour un datagramme") << 4 * 1024 * 1024 << 1;
}

// An entry too large for one datagram goes as the native protocol provides:
// a sealed memory file, passed on the socket; it is never dropped for its size.
void TestSysteme::grandeEntree()
{
    QFETCH(int, taille);
    QFETCH(int, fichiers);
    QTemporaryDir dossier;
    const QByteArray chemin = QFile::encodeName(dossier.filePath(QStringLiteral("socket")));
    SocketJournalEssai socket(QFile::decodeName(chemin));
    QVERIFY(socket.valide());
    const QList<ChampJournal> entree{{"MESSAGE", "essai"},
                                     {"TARVIK_REASON", QByteArray(taille, 'r')}};
    QVERIFY(EnvoyerAuJournalSysteme(entree, chemin.constData()));
    QCOMPARE(socket.datagrammes(), QList<QByteArray>{FormerEntreeJournal(entree)});
    QCOMPARE(socket.parDescripteur(), fichiers);
}

QTEST_GUILESS_MAIN(TestSysteme)
#include "tst_systeme.moc"

// The menu entries: sequence files (saved, reopened, refused), clearing the
// grid, axis names, and the help texts.
#include "fenetre_essai.h"
#include "pseudo_terminal.h"
#include "sequence/fichiers.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocumentFragment>

#include <atomic>
#include <sched.h>
#include <sys/fsuid.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>

namespace {

// The 21 texts of the grid, row by row: steps, direction, speed.
QStringList textesGrille(const Form1 &fenetre)
{
    QStringList textes;
    for (int k = 1; k <= 7; ++k)
        for (const char *tableau : {"Text1", "Text3", "Text2"})
            textes << controle<QLineEdit>(fenetre, nomElement(tableau, k))->text();
    return textes;
}

void remplirGrille(Form1 &fenetre, const QStringList &textes)
{
    int n = 0;
    for (int k = 1; k <= 7; ++k)
        for (const char *tableau : {"Text1", "Text3", "Text2"})
            controle<QLineEdit>(fenetre, nomElement(tableau, k))->setText(textes[n++]);
}

QStringList etiquettes(const Form1 &fenetre)
{
    QStringList textes;
    for (int k = 1; k <= 7; ++k)
        textes << controle<QLabel>(fenetre, nomElement("Label1", k))->text();
    return textes;
}

void declencher(const Form1 &fenetre, const char *action)
{
    controle<QAction>(fenetre, QLatin1String(action))->trigger();
}

bool ecrire(const QString &chemin, const QByteArray &contenu)
{
    QFile f(chemin);
    return f.open(QIODevice::WriteOnly) && f.write(contenu) == contenu.size();
}

QByteArray lire(const QString &chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A grid where every row differs from the initial one.
const QStringList GrilleVariee = {
    QStringLiteral("00001"), QStringLiteral("+"),      QStringLiteral("001"),
    QStringLiteral("00100"), QStringLiteral("-"),      QStringLiteral("010"),
    QStringLiteral("99999"), QStringLiteral("\u20ac"), QStringLiteral("255"),
    QStringLiteral("00250"), QStringLiteral(" "),      QStringLiteral("000"),
    QStringLiteral("12345"), QStringLiteral("\u00e9"), QStringLiteral("128"),
    QStringLiteral("00000"), QStringLiteral("<"),      QStringLiteral("002"),
    QStringLiteral("54321"), QStringLiteral(">"),      QStringLiteral("099"),
};

const QByteArray SequenceVariee = "A+00001:001\nB-00100:010\nC\x80"
                                  "99999:255\nD 00250:000\nE\xe9"
                                  "12345:128\nF<00000:002\nG>54321:099\n";

} // namespace

class TestMenus : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void allerRetour();
    void sequenceAcceptee_data();
    void sequenceAcceptee();
    void sequenceRefusee_data();
    void sequenceRefusee();
    void enregistrementRefuse();
    void enregistrementImpossible_data();
    void enregistrementImpossible();
    void enregistrementDisquePlein();
    void fichierRemplaceParUnTube_data();
    void fichierRemplaceParUnTube();
    void nomsLus_data();
    void nomsLus();
    void nomsAcceptes();
    void nomsRefuses_data();
    void nomsRefuses();
    void entreesAide_data();
    void entreesAide();
    void entreesFichier();

private:
    QTemporaryDir m_dossier;
};

// Saved, cleared, reopened: the same grid, and TEST sends what the file holds.
void TestMenus::allerRetour()
{
    Banc banc;
    auto &[pty, messages, fenetre] = banc;
    ChoixImpose choix;
    remplirGrille(fenetre, GrilleVariee);
    const auto axesAvant = Axes;

    choix.reponse = m_dossier.filePath(QStringLiteral("aller-retour.seq"));
    declencher(fenetre, "EnregistrerSequence");
    QCOMPARE(lire(choix.reponse), SequenceVariee);
    QCOMPARE(choix.questions.size(), 1);
    QCOMPARE(choix.questions[0].mode, ModeFichier::Enregistrer);
    QCOMPARE(choix.questions[0].suffixe, QStringLiteral("seq"));
    for (int i = 0; i <= NombreAxes; ++i) // saving is not a run
        QCOMPARE(LigneAxe(Axes[i]), LigneAxe(axesAvant[i]));

    declencher(fenetre, "EffacerSequenceActuelle");
    QStringList initiale;
    for (int k = 1; k <= 7; ++k)
        initiale << QStringLiteral("00000") << QStringLiteral("+") << QStringLiteral("002");
    QCOMPARE(textesGrille(fenetre), initiale);

    declencher(fenetre, "OuvrirSequence");
    QCOMPARE(textesGrille(fenetre), GrilleVariee);
    cliquerTest(fenetre);
    QCOMPARE(pty.lire(84), SequenceVariee);
    QVERIFY(messages.vus.isEmpty());

    // Clearing the grid leaves the record of what was sent.
    const QStringList envoyees = lignesListe(fenetre);
    QCOMPARE(envoyees.size(), 7);
    declencher(fenetre, "EffacerSequenceActuelle");
    QCOMPARE(lignesListe(fenetre), envoyees);
}

void TestMenus::sequenceAcceptee_data()
{
    QTest::addColumn<QByteArray>("contenu");
    QTest::addColumn<QString>("premiereDirection");
    QByteArray crlf = SequenceVariee;
    crlf.replace("\n", "\r\n");
    QTest::newRow("LF") << SequenceVariee << "+";
    QTest::newRow("CRLF") << crlf << "+";
    QTest::newRow("lignes vides après") << SequenceVariee + "\n  \r\n\t\n"
                                        << "+";
    QTest::newRow("direction espace") << QByteArray(SequenceVariee).replace(1, 1, " ") << " ";
}

void TestMenus::sequenceAcceptee()
{
    QFETCH(QByteArray, contenu);
    QFETCH(QString, premiereDirection);
    CaptureMessages messages;
    ChoixImpose choix;
    choix.reponse = m_dossier.filePath(QStringLiteral("acceptee.seq"));
    QVERIFY(ecrire(choix.reponse, contenu));
    Form1 fenetre;
    declencher(fenetre, "OuvrirSequence");
    QVERIFY2(messages.vus.isEmpty(), qPrintable(messages.vus.value(0).texte));
    QStringList attendu = GrilleVariee;
    attendu[1] = premiereDirection;
    QCOMPARE(textesGrille(fenetre), attendu);
}

void TestMenus::sequenceRefusee_data()
{
    QTest::addColumn<QByteArray>("contenu");
    QTest::addColumn<QString>("chemin"); // a special path, or empty for a file holding contenu
    QTest::addColumn<QString>("motif");  // what the message must say

    const auto avecLigne = [](int k, const QByteArray &ligne) {
        QList<QByteArray> lignes = SequenceVariee.split('\n');
        lignes[k - 1] = ligne;
        return lignes.join('\n');
    };
    const QByteArray sansFin = SequenceVariee.chopped(1);
    // clang-format off
    const QList<std::tuple<const char *, QByteArray, const char *>> cas = {
        {"vide",               "",                                     "Ligne 1 : ligne manquante"},
        {"six lignes",         SequenceVariee.left(72),                "Ligne 7 : ligne manquante"},
        {"ordre",              avecLigne(1, "B+00000:002"),            "Ligne 1 : la ligne doit commencer par la lettre A"},
        {"minuscule",          avecLigne(2, "b+00000:002"),            "Ligne 2 : la ligne doit commencer par la lettre B"},
        {"BOM",                "\xEF\xBB\xBF" + SequenceVariee,        "Ligne 1 : la ligne doit commencer"},
        {"trop courte",        avecLigne(3, "C+0000:002"),             "Ligne 3 : la ligne doit compter 11 caractères"},
        {"trop longue",        avecLigne(3, "C+000000:002"),           "Ligne 3 : la ligne doit compter 11 caractères"},
        {"pas non chiffre",    avecLigne(4, "D+0a000:002"),            "Ligne 4 : le nombre de pas doit compter cinq chiffres"},
        {"pas négatif",        avecLigne(4, "D+-0001:002"),            "Ligne 4 : le nombre de pas"},
        {"deux-points",        avecLigne(5, "E+00000;002"),            "Ligne 5 : « : » est attendu"},
        {"vitesse non chiffre", avecLigne(6, "F+00000:0x2"),           "Ligne 6 : la vitesse doit compter trois chiffres"},
        {"vitesse 256",        avecLigne(4, "D+00000:256"),            "Ligne 4 : la vitesse 256 dépasse 255"},
        {"direction tabulation", avecLigne(7, "G\t00000:002"),         "Ligne 7 : la direction (octet 0x09)"},
        {"direction 0x81",     avecLigne(7, "G\x81" "00000:002"),      "Ligne 7 : la direction (octet 0x81)"},
        {"direction DEL",      avecLigne(1, "A\x7f" "00000:002"),      "Ligne 1 : la direction (octet 0x7f)"},
        {"CR isolé",           avecLigne(2, "B+00\r00:002"),           "Ligne 2 : le nombre de pas"},
        {"huitième ligne",     SequenceVariee + "H+00000:002\n",       "Ligne 8 : rien ne doit suivre"},
        {"texte après blanc",  SequenceVariee + "\nfin\n",             "Ligne 9 : rien ne doit suivre"},
        {"saut final manquant", sansFin,                               "Ligne 7 : le saut de ligne final manque"},
        {"trop gros",          SequenceVariee + QByteArray(64 * 1024, '\n'), "64 Kio"},
    };
    // clang-format on
    for (const auto &[nom, contenu, motif] : cas)
        QTest::newRow(nom) << contenu << QString() << QString::fromUtf8(motif);
    QTest::newRow("dossier") << QByteArray() << "dossier"
                             << "pas un fichier ordinaire";
    QTest::newRow("tube") << QByteArray() << "tube"
                          << "pas un fichier ordinaire";
    QTest::newRow("périphérique") << QByteArray() << "/dev/null"
                                  << "pas un fichier ordinaire";
    QTest::newRow("absent") << QByteArray() << "absent"
                            << "n'existe pas";
}

// A refused file says why, names the file, and leaves the grid as it was.
void TestMenus::sequenceRefusee()
{
    QFETCH(QByteArray, contenu);
    QFETCH(QString, chemin);
    QFETCH(QString, motif);

    CaptureMessages messages;
    ChoixImpose choix;
    if (chemin.isEmpty()) {
        choix.reponse = m_dossier.filePath(QStringLiteral("refusee.seq"));
        QVERIFY(ecrire(choix.reponse, contenu));
    } else if (chemin == QLatin1String("dossier")) {
        choix.reponse = m_dossier.path();
    } else if (chemin == QLatin1String("tube")) {
        choix.reponse = m_dossier.filePath(QStringLiteral("tube"));
        QFile::remove(choix.reponse);
        QCOMPARE(::mkfifo(QFile::encodeName(choix.reponse).constData(), 0600), 0);
    } else if (chemin == QLatin1String("absent")) {
        choix.reponse = m_dossier.filePath(QStringLiteral("absent.seq"));
    } else {
        choix.reponse = chemin;
    }

    Form1 fenetre;
    remplirGrille(fenetre, GrilleVariee);
    declencher(fenetre, "OuvrirSequence");
    QCOMPARE(messages.vus.size(), 1);
    QCOMPARE(messages.vus[0].genre, GenreMessage::Erreur);
    QVERIFY2(messages.vus[0].texte.contains(motif), qPrintable(messages.vus[0].texte));
    QVERIFY2(messages.vus[0].texte.contains(choix.reponse), qPrintable(messages.vus[0].texte));
    QCOMPARE(textesGrille(fenetre), GrilleVariee);
}

// Saving checks the grid as TEST does: same message, the box focused, no
// question asked and no file written.
void TestMenus::enregistrementRefuse()
{
    CaptureMessages messages;
    ChoixImpose choix;
    choix.reponse = m_dossier.filePath(QStringLiteral("jamais.seq"));
    Form1 fenetre;
    fenetre.show();
    QVERIFY(QTest::qWaitForWindowActive(&fenetre));
    auto *vitesse3 = controle<QLineEdit>(fenetre, QStringLiteral("Text2_3"));
    vitesse3->setText(QStringLiteral("300"));

    declencher(fenetre, "EnregistrerSequence");
    QCOMPARE(messages.vus.size(), 1);
    const QString &texte = messages.vus[0].texte;
    QVERIFY2(texte.contains(QStringLiteral("Axe 03")) &&
                 texte.contains(QStringLiteral("« Vitesse »")) &&
                 texte.contains(QStringLiteral("« 300 »")),
             qPrintable(texte));
    QCOMPARE(QApplication::focusWidget(), vitesse3);
    QCOMPARE(vitesse3->selectedText(), QStringLiteral("300"));
    QVERIFY(choix.questions.isEmpty());
    QVERIFY(!QFile::exists(choix.reponse));
}

void TestMenus::enregistrementImpossible_data()
{
    QTest::addColumn<QString>("cas");
    QTest::newRow("dossier") << "dossier";
    QTest::newRow("dossier absent") << "dossier absent";
    QTest::newRow("dossier protégé") << "dossier protégé";
    QTest::newRow("tube") << "tube";
    QTest::newRow("périphérique") << "peripherique";
    QTest::newRow("lien vers un tube") << "lien";
}

// A save that cannot be written says so and leaves an existing file whole;
// a tube or a device at the chosen name is refused, never replaced.
void TestMenus::enregistrementImpossible()
{
    QFETCH(QString, cas);
    CaptureMessages messages;
    ChoixImpose choix;
    Form1 fenetre;
    const QByteArray ancien = "contenu précédent\n";
    QString existant;
    bool privilegesRendus = false;
    PseudoTerminal pty;
    QTemporaryDir dossier;
    const QString tube = dossier.filePath(QStringLiteral("tube"));
    QCOMPARE(::mkfifo(QFile::encodeName(tube).constData(), 0600), 0);

    if (cas == QLatin1String("dossier")) {
        choix.reponse = m_dossier.path();
    } else if (cas == QLatin1String("tube")) {
        choix.reponse = tube;
    } else if (cas == QLatin1String("peripherique")) {
        choix.reponse = pty.chemin();
    } else if (cas == QLatin1String("lien")) {
        QVERIFY(QFile::link(tube, choix.reponse = dossier.filePath(QStringLiteral("lien.seq"))));
    } else if (cas == QLatin1String("dossier absent")) {
        choix.reponse = m_dossier.filePath(QStringLiteral("nulle-part/sequence.seq"));
    } else {
        const QString protege = m_dossier.filePath(QStringLiteral("protege"));
        QVERIFY(QDir().mkpath(protege));
        existant = choix.reponse = protege + QStringLiteral("/sequence.seq");
        QVERIFY(ecrire(existant, ancien));
        QVERIFY(QFile::setPermissions(protege, QFile::ReadOwner | QFile::ExeOwner |
                                                   QFile::ReadOther | QFile::ExeOther));
        QVERIFY(QFile::setPermissions(existant, QFile::ReadOwner | QFile::ReadOther));
        privilegesRendus = ::geteuid() == 0;
    }
    struct stat avant {
    }, apres{};
    ::lstat(QFile::encodeName(choix.reponse).constData(), &avant);
    if (privilegesRendus)
        ::setfsuid(65534); // root writes anywhere: files are checked as "nobody"
    declencher(fenetre, "EnregistrerSequence");
    if (privilegesRendus)
        ::setfsuid(0);
    ::lstat(QFile::encodeName(choix.reponse).constData(), &apres);
    QCOMPARE(apres.st_mode, avant.st_mode); // the tube, device or link is still there
    QCOMPARE(apres.st_rdev, avant.st_rdev);
    QCOMPARE(pty.lire(), QByteArray());

    QCOMPARE(messages.vus.size(), 1);
    QCOMPARE(messages.vus[0].genre, GenreMessage::Erreur);
    QVERIFY2(messages.vus[0].texte.contains(choix.reponse), qPrintable(messages.vus[0].texte));
    if (cas == QLatin1String("tube") || cas == QLatin1String("peripherique") ||
        cas == QLatin1String("lien"))
        QVERIFY2(messages.vus[0].texte.contains(QStringLiteral("pas un fichier ordinaire")),
                 qPrintable(messages.vus[0].texte));
    if (!existant.isEmpty()) {
        QCOMPARE(lire(existant), ancien);
        QCOMPARE(QDir(QFileInfo(existant).path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("sequence.seq")}); // no temporary left behind
    }
}

// A save on a full file system says so, leaves the old file as it was and
// creates no new one.
void TestMenus::enregistrementDisquePlein()
{
    if (::geteuid() != 0)
        QSKIP("il faut être root pour monter un petit système de fichiers plein");
    // Mounted in this thread's own namespace, never seen by the host.
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        QSKIP(qPrintable(QStringLiteral("espace de montage privé impossible ici (%1)")
                             .arg(QString::fromLocal8Bit(strerror(errno)))));
    QTemporaryDir dossier;
    const QByteArray point = QFile::encodeName(dossier.path());
    QVERIFY2(::mount("tarvik-essai", point.constData(), "tmpfs", 0, "size=64k") == 0,
             strerror(errno));
    const auto demonter = qScopeGuard([&] { ::umount2(point.constData(), MNT_DETACH); });
    const QString ancien = dossier.filePath(QStringLiteral("ancien.seq"));
    const QByteArray contenuAncien = "contenu précédent\n";
    QVERIFY(ecrire(ancien, contenuAncien));
    const int plein = ::open(QFile::encodeName(dossier.filePath(QStringLiteral("plein"))),
                             O_WRONLY | O_CREAT, 0600);
    for (const QByteArray bloc(4096, 'x'); ::write(plein, bloc.constData(), bloc.size()) > 0;) {
    }
    while (::write(plein, "x", 1) > 0) {
    }
    QCOMPARE(errno, ENOSPC);
    ::close(plein);
    const QStringList avant = QDir(dossier.path()).entryList(QDir::Files | QDir::Hidden);

    CaptureMessages messages;
    ChoixImpose choix;
    Form1 fenetre;
    for (const auto &[nom, suite] : {std::pair{QStringLiteral("ancien.seq"), "est resté intact"},
                                     std::pair{QStringLiteral("nouveau.seq"), "Aucun fichier"}}) {
        choix.reponse = dossier.filePath(nom);
        declencher(fenetre, "EnregistrerSequence");
        QCOMPARE(messages.vus.size(), 1);
        const QString texte = messages.vus.takeFirst().texte;
        QVERIFY2(texte.contains(QStringLiteral("plus de place sur le disque")) &&
                     texte.contains(QString::fromUtf8(suite)),
                 qPrintable(texte));
        QCOMPARE(lire(ancien), contenuAncien);
        QCOMPARE(QDir(dossier.path()).entryList(QDir::Files | QDir::Hidden), avant);
    }
}

void TestMenus::fichierRemplaceParUnTube_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("séquence") << "OuvrirSequence";
    QTest::newRow("noms") << "DesignAxe";
}

// The chosen file becomes a tube just before it is opened: the window is
// never blocked on it. Should a reader block all the same, a watchdog opens
// the tube's other end after 3 s, and the test fails on the message.
void TestMenus::fichierRemplaceParUnTube()
{
    QFETCH(QString, action);
    CaptureMessages messages;
    ChoixImpose choix;
    choix.reponse = m_dossier.filePath(QStringLiteral("remplace-") + action);
    QVERIFY(ecrire(choix.reponse, SequenceVariee));
    const QByteArray tube = QFile::encodeName(choix.reponse);
    AvantOuvertureFichier = [&](const QString &) {
        ::unlink(tube.constData());
        ::mkfifo(tube.constData(), 0600);
    };
    std::atomic<bool> fini = false, bloque = false;
    std::thread gardien([&] {
        for (int k = 0; k < 300 && !fini; ++k)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (!fini) {
            bloque = true;
            ::close(::open(tube.constData(), O_WRONLY | O_NONBLOCK));
        }
    });
    const auto finir = qScopeGuard([&] {
        fini = true;
        gardien.join();
        AvantOuvertureFichier = nullptr;
    });
    Form1 fenetre;
    declencher(fenetre, qPrintable(action));
    QVERIFY2(!bloque, "la lecture est restée bloquée sur le tube");
    QCOMPARE(messages.vus.size(), 1);
    QVERIFY2(messages.vus[0].texte.contains(QStringLiteral("pas un fichier ordinaire")),
             qPrintable(messages.vus[0].texte));
}

void TestMenus::nomsLus_data()
{
    QTest::addColumn<QByteArray>("contenu");
    QTest::addColumn<QString>("premier"); // axis 1's name, empty: "Axe 01"
    const QString hors = QString::fromUcs4(U"\U0001D400");
    QTest::newRow("40 hors du plan de base") << hors.repeated(40).toUtf8() << hors.repeated(40);
    QTest::newRow("marques seules") << QByteArray("\xCC\x81\xCC\x81\n") << QString();
    QTest::newRow("espaces insécables") << QByteArray("\xC2\xA0\xE3\x80\x80\n") << QString();
    QTest::newRow("nom accentué") << QByteArray("  Épaule\n") << QStringLiteral("Épaule");
}

// Names count characters, not UTF-16 units; a name that leaves no visible
// mark counts as blank.
void TestMenus::nomsLus()
{
    QFETCH(QByteArray, contenu);
    QFETCH(QString, premier);
    const NomsLus lus = LireNomsAxes(contenu);
    QCOMPARE(lus.erreur, QString());
    QCOMPARE(lus.noms[1], premier);
}

void TestMenus::nomsAcceptes()
{
    Banc banc;
    auto &[pty, messages, fenetre] = banc;
    ChoixImpose choix;
    const QString long40 = QString(40, u'N');

    choix.reponse = m_dossier.filePath(QStringLiteral("noms.txt"));
    QVERIFY(ecrire(choix.reponse, "\xEF\xBB\xBF  Pince \r\nRotation base\n\nBras\n\n" +
                                      long40.toUtf8() + "\nAvance"));
    declencher(fenetre, "DesignAxe");
    QVERIFY2(messages.vus.isEmpty(), qPrintable(messages.vus.value(0).texte));
    const QStringList vues = etiquettes(fenetre);
    QCOMPARE(vues.mid(0, 5), (QStringList{QStringLiteral("Pince"), QStringLiteral("Rotation base"),
                                          QStringLiteral("Axe 03"), QStringLiteral("Bras"),
                                          QStringLiteral("Axe 05")}));
    QVERIFY2(vues[5].endsWith(u'…') && vues[5].size() < 40, qPrintable(vues[5]));
    QCOMPARE(vues[6], QStringLiteral("Avance"));
    auto *axe6 = controle<QLabel>(fenetre, nomElement("Label1", 6));
    QCOMPARE(QTextDocumentFragment::fromHtml(axe6->toolTip()).toPlainText(), long40);
    QVERIFY(axe6->fontMetrics().horizontalAdvance(vues[5]) <= axe6->width());

    // Names change nothing on the wire.
    cliquerTest(fenetre);
    QCOMPARE(pty.lire(84), surLeFil(lignesInitiales()));

    // A new file replaces the names; its blank lines give the numbers back.
    QVERIFY(ecrire(choix.reponse, "\n<b>Pince</b>\n"));
    declencher(fenetre, "DesignAxe");
    QCOMPARE(etiquettes(fenetre)[0], QStringLiteral("Axe 01"));
    QCOMPARE(etiquettes(fenetre)[1], QStringLiteral("<b>Pince</b>")); // shown as typed
    QCOMPARE(controle<QLabel>(fenetre, nomElement("Label1", 1))->toolTip(), QString());
}

void TestMenus::nomsRefuses_data()
{
    QTest::addColumn<QByteArray>("contenu");
    QTest::addColumn<QString>("motif");
    // clang-format off
    QTest::newRow("huit noms")        << QByteArray("a\nb\nc\nd\ne\nf\ng\nh\n") << "Ligne 8 : il n'y a que sept axes";
    QTest::newRow("nom en ligne 9")   << QByteArray("a\n\n\n\n\n\n\n\ni\n")     << "Ligne 9 : il n'y a que sept axes";
    QTest::newRow("41 caractères")    << "\n" + QByteArray(41, 'x')             << "Ligne 2 : le nom compte 41 caractères";
    QTest::newRow("41 avec accents")  << QString(41, u'é').toUtf8()             << "Ligne 1 : le nom compte 41 caractères";
    QTest::newRow("tabulation")       << QByteArray("a\nb\tc\n")                << "Ligne 2 : caractère de contrôle (U+0009)";
    QTest::newRow("contrôle C1")      << QByteArray("\xC2\x85")                 << "Ligne 1 : caractère de contrôle (U+0085)";
    QTest::newRow("UTF-8 invalide")   << QByteArray("a\nb\n\xff\n")             << "Ligne 3 : texte UTF-8 invalide";
    QTest::newRow("UTF-8 tronqué")    << QByteArray("a\n\xC3\n")                << "Ligne 2 : texte UTF-8 invalide";
    QTest::newRow("trop gros")        << QByteArray(64 * 1024 + 1, '\n')         << "64 Kio";
    QTest::newRow("41 hors du plan")  << QString::fromUcs4(U"\U0001D400").repeated(41).toUtf8() << "Ligne 1 : le nom compte 41 caractères";
    QTest::newRow("retournement")     << QByteArray("Pince\n\xE2\x80\xAE" "ecnip\n")    << "Ligne 2 : caractère de mise en forme invisible (U+202E)";
    QTest::newRow("espace nul seul")  << QByteArray("\xE2\x80\x8B\n")                 << "Ligne 1 : caractère de mise en forme invisible (U+200B)";
    QTest::newRow("séparateur ligne") << QByteArray("Bras\xE2\x80\xA8" "gauche\n")     << "Ligne 1 : séparateur de ligne ou de paragraphe (U+2028)";
    QTest::newRow("séparateur parag") << QByteArray("a\xE2\x80\xA9")                   << "Ligne 1 : séparateur de ligne ou de paragraphe (U+2029)";
    // clang-format on
}

// A refused name file says which line and why, and changes no label.
void TestMenus::nomsRefuses()
{
    QFETCH(QByteArray, contenu);
    QFETCH(QString, motif);
    CaptureMessages messages;
    ChoixImpose choix;
    Form1 fenetre;
    choix.reponse = m_dossier.filePath(QStringLiteral("noms-avant.txt"));
    QVERIFY(ecrire(choix.reponse, "Pince\nBras\n"));
    declencher(fenetre, "DesignAxe");
    const QStringList avant = etiquettes(fenetre);
    QCOMPARE(avant[1], QStringLiteral("Bras"));

    choix.reponse = m_dossier.filePath(QStringLiteral("noms-refuses.txt"));
    QVERIFY(ecrire(choix.reponse, contenu));
    declencher(fenetre, "DesignAxe");
    QCOMPARE(messages.vus.size(), 1);
    QVERIFY2(messages.vus[0].texte.contains(motif), qPrintable(messages.vus[0].texte));
    QCOMPARE(etiquettes(fenetre), avant);
}

void TestMenus::entreesAide_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("motifs");
    QTest::newRow("CommentCreer") << "CommentCreer"
                                  << QStringList{QStringLiteral("sept"), QStringLiteral("Pince")};
    QTest::newRow("Schemas") << "Schemas"
                             << QStringList{QStringLiteral("« Schémas Electronique de la Carte »"),
                                            QStringLiteral("pas fourni")};
    QTest::newRow("ProgASM") << "ProgASM"
                             << QStringList{QStringLiteral("« Le programme en Assembleur »"),
                                            QStringLiteral("pas fourni")};
    QTest::newRow("IntelHEX") << "IntelHEX"
                              << QStringList{QStringLiteral("« Le Fichier Intel .HEX »"),
                                             QStringLiteral("pas fourni")};
    QTest::newRow("Apropos") << "Apropos"
                             << QStringList{QStringLiteral("Tarvik " TARVIK_VERSION),
                                            QStringLiteral("Ligne : 38400 bauds, 8 bits, "
                                                           "sans parité, 1 bit d'arrêt"),
                                            QStringLiteral("Port : ") + PeripheriquePort(1),
                                            QStringLiteral("Qt ") + QLatin1String(qVersion())};
}

void TestMenus::entreesAide()
{
    QFETCH(QString, action);
    QFETCH(QStringList, motifs);
    CaptureMessages messages;
    Form1 fenetre;
    controle<QAction>(fenetre, action)->trigger();
    QCOMPARE(messages.vus.size(), 1);
    QCOMPARE(messages.vus[0].genre, GenreMessage::Information);
    for (const QString &motif : motifs)
        QVERIFY2(messages.vus[0].texte.contains(motif), qPrintable(messages.vus[0].texte));
}

// The file entries ask the right question, and a cancelled one changes
// nothing; the shortcuts are there.
void TestMenus::entreesFichier()
{
    CaptureMessages messages;
    ChoixImpose choix; // answers nothing: cancelled
    Form1 fenetre;
    remplirGrille(fenetre, GrilleVariee);
    for (const char *action : {"OuvrirSequence", "EnregistrerSequence", "DesignAxe"})
        declencher(fenetre, action);
    QCOMPARE(choix.questions.size(), 3);
    QCOMPARE(choix.questions[0].mode, ModeFichier::Ouvrir);
    QCOMPARE(choix.questions[1].mode, ModeFichier::Enregistrer);
    QCOMPARE(choix.questions[2].mode, ModeFichier::Ouvrir);
    QVERIFY(messages.vus.isEmpty());
    QCOMPARE(textesGrille(fenetre), GrilleVariee);

    const QList<std::pair<const char *, const char *>> raccourcis = {
        {"OuvrirSequence", "Ctrl+O"}, {"EnregistrerSequence", "Ctrl+S"}, {"Quitter", "Ctrl+Q"}};
    for (const auto &[action, touches] : raccourcis)
        QCOMPARE(controle<QAction>(fenetre, QLatin1String(action))->shortcut(),
                 QKeySequence(QLatin1String(touches)));
}

QTEST_MAIN(TestMenus)
#include "tst_menus.moc"

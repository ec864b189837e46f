// The menu entries: sequence files (saved, reopened, refused), clearing the
// grid, axis names, and the help texts.
#include "app/version.h"
#include "fenetre_essai.h"
#include "port/choix_port.h"
#include "pseudo_terminal.h"
#include "sequences_essai.h"
#include "system/lecture.h"
#include "window/case_grille.h"
#include "window/dialogue_limites.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScopeGuard>
#include <QStyle>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocumentFragment>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <sched.h>
#include <sys/fsuid.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>

using namespace tarvik::window;

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

// What the operator saw in the limits dialog, and how it ended.
struct VuDesLimites {
    QStringList vus; // row A's name, the machine's steps, the operator's speed, the explanation
    QString enVigueur, bulle, dit; // row A's limits that apply; the box's tooltip, description
    int marque = -1;               // the box's CaseGrille::Marque; -1: not a marked box
    bool signe = false;            // the sign in the box shows
    QStringList coupees;           // texts, headings and boxes not shown whole
    bool imposee = false;          // "Lecture stricte" checked and out of reach
    bool suivante = false;         // after Entrée in the box: still open, on the next box
    bool ouvert = false, repris = false; // still open, the box selected again
};

// The box after `boite` ("pas_1") in the order Tab takes: the row's next
// limit, or the next row's first.
QString boiteSuivante(const QString &boite)
{
    const QStringList champs{"pas", "vitesse", "directions", "course"};
    const int champ = int(champs.indexOf(boite.section(u'_', 0, 0))) + 1;
    const int rangee = boite.section(u'_', 1).toInt();
    return champ < champs.size() ? QStringLiteral("%1_%2").arg(champs[champ]).arg(rangee)
                                 : QStringLiteral("pas_%1").arg(rangee + 1);
}

// The texts of `table` its cells do not show whole: headings, items at their
// column's width, wrapped, and the boxes' texts beside their sign.
QStringList coupees(const QTableWidget *table)
{
    QStringList textes;
    const QFontMetrics mesure = table->fontMetrics();
    const int marge = 2 * (table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
    for (int colonne = 0; colonne < table->columnCount(); ++colonne) {
        const int largeur = table->columnWidth(colonne);
        if (table->horizontalHeader()->sectionSizeHint(colonne) > largeur)
            textes << table->horizontalHeaderItem(colonne)->text();
        for (int rangee = 0; rangee < table->rowCount(); ++rangee) {
            const QTableWidgetItem *cellule = table->item(rangee, colonne);
            const auto *boite =
                cellule ? nullptr : table->cellWidget(rangee, colonne)->findChild<QLineEdit *>();
            const QString texte = cellule ? cellule->text() : boite->text();
            const bool signe =
                boite && !boite->actions().isEmpty() && boite->actions()[0]->isVisible();
            const QRect tout =
                mesure.boundingRect(QRect(0, 0, largeur - marge, 100000), Qt::TextWordWrap, texte);
            if (tout.width() + (signe ? 16 : 0) > largeur - marge ||
                tout.height() > table->rowHeight(rangee))
                textes << texte;
        }
    }
    return textes;
}

// Opens the limits dialog of `fenetre`, types `saisie` in the box `boite` and
// presses Entrée there (or ticks the box), then clicks the save button.
VuDesLimites changerLimites(const Form1 &fenetre, const QString &boite, const QString &saisie)
{
    VuDesLimites vu;
    auDialogue<DialogueLimites>(fenetre, [&](DialogueLimites *dialogue) {
        auto *table = dialogue->findChild<QTableWidget *>(QStringLiteral("tableLimites"));
        vu.vus << table->item(0, 0)->text() << table->item(0, 1)->text()
               << dialogue->findChild<QLineEdit *>(QStringLiteral("vitesse_1"))->text()
               << dialogue->findChild<QLabel *>(QStringLiteral("explication"))->text();
        QWidget *cible = dialogue->findChild<QWidget *>(boite);
        auto *champ = qobject_cast<QLineEdit *>(cible);
        auto *stricte = dialogue->findChild<QCheckBox *>(QStringLiteral("lectureStricte"));
        vu.imposee = stricte->isChecked() && !stricte->isEnabled();
        if (cible == stricte)
            QTest::keyClick(stricte, Qt::Key_Space);
        else {
            champ->selectAll();
            QTest::keyClicks(champ, saisie);
            vu.bulle = champ->toolTip();
            vu.dit = champ->accessibleDescription();
            const auto *marquee = qobject_cast<CaseGrille *>(champ);
            vu.marque = marquee ? int(marquee->marque()) : -1;
            vu.signe = champ->actions().value(0) && champ->actions()[0]->isVisible();
            vu.coupees = coupees(table);
            QTest::keyClick(champ, Qt::Key_Return);
            vu.suivante =
                dialogue->isVisible() &&
                dialogue->focusWidget() == dialogue->findChild<QLineEdit *>(boiteSuivante(boite));
        }
        vu.enVigueur = table->item(0, table->columnCount() - 1)->text();
        QTest::mouseClick(dialogue->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Save),
                          Qt::LeftButton);
        vu.ouvert = dialogue->isVisible();
        vu.repris =
            vu.ouvert && dialogue->focusWidget() == champ && champ->selectedText() == saisie;
        if (vu.ouvert)
            dialogue->reject();
    });
    declencher(fenetre, "LimitesAxes");
    return vu;
}

// The limits as a new file holds them, without its group line.
QByteArray canon(const Limites &limites)
{
    return FormerLimites(limites).mid(qstrlen("[Limites]\n"));
}

} // namespace

class TestMenus : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void allerRetour();
    void sequenceRefusee_data();
    void sequenceRefusee();
    void enregistrementRefuse();
    void enregistrementImpossible_data();
    void enregistrementImpossible();
    void enregistrementDisquePlein();
    void fichierRemplaceParUnTube_data();
    void fichierRemplaceParUnTube();
    void nomsAcceptes();
    void nomsRefuses_data();
    void nomsRefuses();
    void designationRetenue();
    void entreesAide_data();
    void entreesAide();
    void reglagesNonLusAvecPort();
    void entreesFichier();
    void limitesDesAxes_data();
    void limitesDesAxes();

private:
    QTemporaryDir m_dossier;
};

// Saved, cleared, reopened: the same grid, and TEST sends what the file holds.
void TestMenus::allerRetour()
{
    const auto sansReglages = qScopeGuard([] { QFile::remove(CheminReglages()); });
    Banc banc;
    auto &[pty, messages, fenetre] = banc;
    ChoixImpose choix;
    remplirGrille(fenetre, GrilleVariee);

    choix.reponse = m_dossier.filePath(QStringLiteral("aller-retour.seq"));
    declencher(fenetre, "EnregistrerSequence");
    QCOMPARE(lireFichier(choix.reponse), SequenceVariee);
    QCOMPARE(choix.questions.size(), 1);
    QCOMPARE(choix.questions[0].mode, ModeFichier::Enregistrer);
    QCOMPARE(choix.questions[0].suffixe, QStringLiteral("seq"));
    QCOMPARE(pty.lire(), QByteArray()); // saving is not a run

    auto *annuler = controle<QAction>(fenetre, QStringLiteral("AnnulerEffacement"));
    auto *rappeler = controle<QAction>(fenetre, QStringLiteral("RappelerGrille"));
    QVERIFY(!annuler->isEnabled() && !rappeler->isEnabled()); // nothing cleared, nothing sent
    declencher(fenetre, "EffacerSequenceActuelle");
    QStringList initiale;
    for (int k = 1; k <= 7; ++k)
        initiale << QStringLiteral("00000") << QStringLiteral("+") << QStringLiteral("002");
    QCOMPARE(textesGrille(fenetre), initiale);
    // Ctrl+Z, in a box with nothing of its own to undo, puts the grid back, once.
    QCOMPARE(annuler->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    QVERIFY(annuler->isEnabled());
    const auto ctrlZPourLaFenetre = [](QWidget *boite) {
        QKeyEvent touche(QEvent::ShortcutOverride, Qt::Key_Z, Qt::ControlModifier);
        QCoreApplication::sendEvent(boite, &touche);
        return !touche.isAccepted();
    };
    auto *boite = controle<QLineEdit>(fenetre, QStringLiteral("Text1_1"));
    QVERIFY(ctrlZPourLaFenetre(boite));
    declencher(fenetre, "AnnulerEffacement");
    QCOMPARE(textesGrille(fenetre), GrilleVariee);
    QVERIFY(!annuler->isEnabled());
    QTest::keyClick(boite, Qt::Key_5); // typed: Ctrl+Z is the box's own
    QVERIFY(!ctrlZPourLaFenetre(boite));
    declencher(fenetre, "EffacerSequenceActuelle");

    declencher(fenetre, "OuvrirSequence");
    QCOMPARE(textesGrille(fenetre), GrilleVariee);
    cliquerTest(fenetre);
    QCOMPARE(pty.lire(84), SequenceVariee);
    QVERIFY(messages.vus.isEmpty());
    // The grid sent, recalled over another.
    QTRY_VERIFY_WITH_TIMEOUT(rappeler->isEnabled(), 20000);
    declencher(fenetre, "EffacerSequenceActuelle");
    declencher(fenetre, "RappelerGrille");
    QCOMPARE(textesGrille(fenetre), GrilleVariee);
    // The file saved and opened is the first recent file, in the settings too.
    auto *recent = controle<QAction>(fenetre, QStringLiteral("Recent1"));
    QVERIFY(recent && recent->isEnabled());
    QCOMPARE(recent->toolTip(), choix.reponse);
    QCOMPARE(LireReglages().reglages.recents, QStringList{choix.reponse});
    declencher(fenetre, "EffacerSequenceActuelle");
    recent->trigger();
    QCOMPARE(textesGrille(fenetre), GrilleVariee);
    QVERIFY(QFile::remove(choix.reponse)); // gone: shown greyed
    controle<QMenu>(fenetre, QStringLiteral("FichiersRecents"))->aboutToShow();
    QVERIFY(!controle<QAction>(fenetre, QStringLiteral("Recent1"))->isEnabled());

    // Clearing the grid leaves the record of what was sent.
    const QStringList envoyees = lignesListe(fenetre);
    QCOMPARE(envoyees.size(), 7);
    declencher(fenetre, "EffacerSequenceActuelle");
    QCOMPARE(lignesListe(fenetre), envoyees);
}

void TestMenus::sequenceRefusee_data()
{
    QTest::addColumn<QByteArray>("contenu");
    QTest::addColumn<QString>("chemin"); // a special path, or empty for a file holding contenu
    QTest::addColumn<QString>("motif");  // what the message must say
    // The file's format is tested with its reader; here, what the window does.
    QTest::newRow("vitesse 256")
        << QByteArray(SequenceVariee).replace("D 00250:000", "D+00000:256") << QString()
        << " » a été lu, mais refusé.\nLigne 4 : la vitesse 256 dépasse 255";
    QTest::newRow("trop gros") << SequenceVariee + QByteArray(64 * 1024, '\n') << QString()
                               << "64 Kio";
    QTest::newRow("dossier") << QByteArray() << "dossier"
                             << " » n'a pas pu être lu.\n"
                                "Ce n'est pas un fichier ordinaire";
    QTest::newRow("tube") << QByteArray() << "tube"
                          << "pas un fichier ordinaire";
    QTest::newRow("périphérique") << QByteArray() << "/dev/null"
                                  << "pas un fichier ordinaire";
    QTest::newRow("absent") << QByteArray() << "absent"
                            << " » n'a pas pu être lu.\n"
                               "Le fichier n'existe pas";
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
        QVERIFY(ecrireFichier(choix.reponse, contenu));
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

    Panneau fenetre;
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
    Panneau fenetre;
    auto *vitesse3 = controle<QLineEdit>(fenetre, QStringLiteral("Text2_3"));
    vitesse3->setText(QStringLiteral("300"));

    declencher(fenetre, "EnregistrerSequence");
    QCOMPARE(messages.vus.size(), 1);
    const QString &texte = messages.vus[0].texte;
    QVERIFY2(texte.contains(QStringLiteral("Axe 03")) &&
                 texte.contains(QStringLiteral("« Vitesse »")) &&
                 texte.contains(QStringLiteral("« 300 »")),
             qPrintable(texte));
    QCOMPARE(fenetre.focusWidget(), vitesse3);
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
    Panneau fenetre;
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
        QVERIFY(ecrireFichier(existant, ancien));
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
        QCOMPARE(lireFichier(existant), ancien);
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
    QVERIFY(ecrireFichier(ancien, contenuAncien));
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
    Panneau fenetre;
    for (const auto &[nom, suite] : {std::pair{QStringLiteral("ancien.seq"), "est resté intact"},
                                     std::pair{QStringLiteral("nouveau.seq"), "Aucun fichier"}}) {
        choix.reponse = dossier.filePath(nom);
        declencher(fenetre, "EnregistrerSequence");
        QCOMPARE(messages.vus.size(), 1);
        const QString texte = messages.vus.takeFirst().texte;
        QVERIFY2(texte.contains(QStringLiteral("plus de place sur le disque")) &&
                     texte.contains(QString::fromUtf8(suite)),
                 qPrintable(texte));
        QCOMPARE(lireFichier(ancien), contenuAncien);
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
// the tube's other end unless the window is done within 10 s, and the test
// fails on the message.
void TestMenus::fichierRemplaceParUnTube()
{
    QFETCH(QString, action);
    CaptureMessages messages;
    ChoixImpose choix;
    choix.reponse = m_dossier.filePath(QStringLiteral("remplace-") + action);
    QVERIFY(ecrireFichier(choix.reponse, SequenceVariee));
    const QByteArray tube = QFile::encodeName(choix.reponse);
    const auto avant = AvantOuvertureFichier.remplacer([&](const QString &) {
        ::unlink(tube.constData());
        ::mkfifo(tube.constData(), 0600);
    });
    std::mutex garde;
    std::condition_variable fin;
    bool fini = false;
    std::atomic<bool> bloque = false;
    std::thread gardien([&] {
        std::unique_lock verrou(garde);
        if (!fin.wait_for(verrou, std::chrono::seconds(10), [&] { return fini; })) {
            bloque = true;
            ::close(::open(tube.constData(), O_WRONLY | O_NONBLOCK));
        }
    });
    const auto finir = qScopeGuard([&] {
        {
            const std::lock_guard verrou(garde);
            fini = true;
        }
        fin.notify_one();
        gardien.join();
    });
    Panneau fenetre;
    declencher(fenetre, qPrintable(action));
    QVERIFY2(!bloque, "la lecture est restée bloquée sur le tube");
    QCOMPARE(messages.vus.size(), 1);
    QVERIFY2(messages.vus[0].texte.contains(QStringLiteral("pas un fichier ordinaire")),
             qPrintable(messages.vus[0].texte));
}

void TestMenus::nomsAcceptes()
{
    Banc banc;
    auto &[pty, messages, fenetre] = banc;
    ChoixImpose choix;
    const QString long40 = QString(40, u'N');

    choix.reponse = m_dossier.filePath(QStringLiteral("noms.txt"));
    QVERIFY(ecrireFichier(choix.reponse, "\xEF\xBB\xBF  Pince \r\nRotation base\n\nBras\n\n" +
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
    QVERIFY(ecrireFichier(choix.reponse, "\n<b>Pince</b>\n"));
    declencher(fenetre, "DesignAxe");
    QCOMPARE(etiquettes(fenetre)[0], QStringLiteral("Axe 01"));
    QCOMPARE(etiquettes(fenetre)[1], QStringLiteral("<b>Pince</b>")); // shown as typed
    QCOMPARE(controle<QLabel>(fenetre, nomElement("Label1", 1))->toolTip(), QString());
}

void TestMenus::nomsRefuses_data()
{
    QTest::addColumn<QByteArray>("contenu");
    QTest::addColumn<QString>("motif");
    // The file's format is tested with its reader; here, what the window does.
    QTest::newRow("huit noms") << QByteArray("a\nb\nc\nd\ne\nf\ng\nh\n")
                               << "Ligne 8 : il n'y a que sept axes";
    QTest::newRow("trop gros") << QByteArray(64 * 1024 + 1, '\n') << "64 Kio";
}

// A refused name file says which line and why, and changes no label.
void TestMenus::nomsRefuses()
{
    QFETCH(QByteArray, contenu);
    QFETCH(QString, motif);
    CaptureMessages messages;
    ChoixImpose choix;
    Panneau fenetre;
    choix.reponse = m_dossier.filePath(QStringLiteral("noms-avant.txt"));
    QVERIFY(ecrireFichier(choix.reponse, "Pince\nBras\n"));
    declencher(fenetre, "DesignAxe");
    const QStringList avant = etiquettes(fenetre);
    QCOMPARE(avant[1], QStringLiteral("Bras"));

    choix.reponse = m_dossier.filePath(QStringLiteral("noms-refuses.txt"));
    QVERIFY(ecrireFichier(choix.reponse, contenu));
    declencher(fenetre, "DesignAxe");
    QCOMPARE(messages.vus.size(), 1);
    QVERIFY2(messages.vus[0].texte.contains(motif), qPrintable(messages.vus[0].texte));
    QCOMPARE(etiquettes(fenetre), avant);
}

// The axis designation file opened is opened again at the next start, and
// its names are those of the messages. One that is gone by then is said
// once, and the rows keep their numbers.
void TestMenus::designationRetenue()
{
    const auto sansReglages = qScopeGuard([] { QFile::remove(CheminReglages()); });
    {
        CaptureMessages messages;
        ChoixImpose choix;
        Panneau fenetre;
        choix.reponse = m_dossier.filePath(QStringLiteral("retenus.txt"));
        QVERIFY(ecrireFichier(choix.reponse, "Pince\nRotation base\n"));
        declencher(fenetre, "DesignAxe");
        QVERIFY(messages.vus.isEmpty());
    }
    Banc<> banc;
    auto &[pty, messages, fenetre] = banc;
    {
        Panneau suivante(LireReglages());
        QCOMPARE(etiquettes(suivante).mid(0, 3),
                 (QStringList{QStringLiteral("Pince"), QStringLiteral("Rotation base"),
                              QStringLiteral("Axe 03")}));
        suivante.imposerPort(pty.chemin());
        controle<QLineEdit>(suivante, nomElement("Text2", 2))->setText(QStringLiteral("300"));
        cliquerTest(suivante);
        QCOMPARE(messages.vus.size(), 1);
        QVERIFY2(messages.vus[0].texte.contains(QStringLiteral("Rotation base (B)")),
                 qPrintable(messages.vus[0].texte));
    }
    QVERIFY(QFile::remove(m_dossier.filePath(QStringLiteral("retenus.txt"))));
    Panneau sansFichier(LireReglages());
    QTRY_COMPARE(messages.vus.size(), 2); // said once the window is up
    QCOMPARE(messages.vus[1].genre, GenreMessage::Avertissement);
    QVERIFY2(messages.vus[1].texte.contains(QStringLiteral("retenus.txt")),
             qPrintable(messages.vus[1].texte));
    QCOMPARE(etiquettes(sansFichier)[0], QStringLiteral("Axe 01"));
}

void TestMenus::entreesAide_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("motifs");
    QTest::addColumn<QByteArray>("reglages"); // tarvik.conf; empty: none
    QTest::newRow("CommentCreer") << "CommentCreer"
                                  << QStringList{QStringLiteral("sept"), QStringLiteral("Pince")}
                                  << QByteArray();
    QTest::newRow("Schemas") << "Schemas"
                             << QStringList{QStringLiteral("« Schémas Electronique de la Carte »"),
                                            QStringLiteral("pas fourni")}
                             << QByteArray();
    QTest::newRow("ProgASM") << "ProgASM"
                             << QStringList{QStringLiteral("« Le programme en Assembleur »"),
                                            QStringLiteral("pas fourni")}
                             << QByteArray();
    QTest::newRow("IntelHEX") << "IntelHEX"
                              << QStringList{QStringLiteral("« Le Fichier Intel .HEX »"),
                                             QStringLiteral("pas fourni")}
                              << QByteArray();
    QTest::newRow("Apropos") << "Apropos"
                             << QStringList{QStringLiteral("Tarvik " TARVIK_VERSION),
                                            QStringLiteral("Ligne : 38400 bauds, 8 bits, "
                                                           "sans parité, 1 bit d'arrêt"),
                                            QStringLiteral("Port : ") + PeripheriquePort(1),
                                            QStringLiteral("Qt ") + QLatin1String(qVersion())}
                             << QByteArray();
    // Settings not read: said, and what it means for the system's journal.
    QTest::newRow("Apropos, réglages douteux")
        << "Apropos"
        << QStringList{QStringLiteral("Réglages : les réglages"),
                       QStringLiteral("chaque envoi part donc aussi au journal du système")}
        << QByteArray("journal_systeme=Non\n");
}

void TestMenus::entreesAide()
{
    QFETCH(QString, action);
    QFETCH(QStringList, motifs);
    QFETCH(QByteArray, reglages);
    CaptureMessages messages;
    const ReglagesAnalyses lus = AnalyserReglages(reglages);
    Panneau fenetre({lus.reglages, lus.echec});
    controle<QAction>(fenetre, action)->trigger();
    QCOMPARE(messages.vus.size(), 1);
    QCOMPARE(messages.vus[0].genre, GenreMessage::Information);
    for (const QString &motif : motifs)
        QVERIFY2(messages.vus[0].texte.contains(motif), qPrintable(messages.vus[0].texte));
}

// Settings not read while --port lets the panel send: the operator is told
// once the window is up, with what it means for the system's journal.
void TestMenus::reglagesNonLusAvecPort()
{
    CaptureMessages messages;
    const ReglagesAnalyses lus = AnalyserReglages("Journal_systeme=non\n");
    Panneau fenetre({lus.reglages, lus.echec}, {}, QStringLiteral("/dev/ttyUSB0"));
    QTRY_COMPARE(messages.vus.size(), 1);
    QCOMPARE(messages.vus[0].genre, GenreMessage::Avertissement);
    QVERIFY2(messages.vus[0].texte.contains(QStringLiteral("aussi au journal du système")),
             qPrintable(messages.vus[0].texte));
}

// The file entries ask the right question, and a cancelled one changes
// nothing; the shortcuts are there.
void TestMenus::entreesFichier()
{
    CaptureMessages messages;
    ChoixImpose choix; // answers nothing: cancelled
    Panneau fenetre;
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

void TestMenus::limitesDesAxes_data()
{
    QTest::addColumn<QByteArray>("avant");      // the operator's file
    QTest::addColumn<QString>("boite");         // what the operator changes
    QTest::addColumn<QString>("saisie");        // and types there, then Entrée
    QTest::addColumn<QString>("enVigueur");     // axis A's limits that apply, as the dialog says
    QTest::addColumn<QString>("infobulle");     // the box's, and said to a screen reader
    QTest::addColumn<int>("marque");            // the box's CaseGrille::Marque; -1: none typed
    QTest::addColumn<bool>("imposee");          // the machine's file says lecture=stricte
    QTest::addColumn<QString>("message");       // said when saving; empty: nothing
    QTest::addColumn<QByteArray>("fichier");    // the operator's file after
    QTest::addColumn<QByteArray>("effectives"); // the panel's limits after
    const QByteArray miennes = "# les miennes\nA.vitesse=100\n";
    const QByteArray depart = "A.pas=5000\nA.vitesse=100\nA.directions=+-\nA.course=1000\n";
    const int aucune = int(CaseGrille::Marque::Aucune), large = int(CaseGrille::Marque::Lue),
              refusee = int(CaseGrille::Marque::Refusee);
    // clang-format off
    QTest::newRow("plus stricte")    << miennes << "pas_1" << "3000" << "pas ≤ 3000 (vous)\nvitesse ≤ 100 (vous)\ndirections « +- » (machine)\ncourse ≤ 1000 (machine)" << "" << aucune << false
                                     << "" << miennes + "A.pas=3000\n" << QByteArray("A.pas=3000\nA.vitesse=100\nA.directions=+-\nA.course=1000\n");
    QTest::newRow("plus large, gardée") << miennes << "pas_1" << "8000" << "pas ≤ 5000 (machine)" << "Plus large que la limite de la machine (5000) : gardée dans votre fichier" << large << false
                                     << "" << miennes + "A.pas=8000\n" << depart;
    QTest::newRow("refusée")         << miennes << "pas_1" << "12a" << "à corriger : pas maximal : le nombre de pas doit s'écrire en chiffres seuls" << "À corriger : le nombre de pas doit s'écrire en chiffres seuls" << refusee << false
                                     << "Pince (A), pas maximal : le nombre de pas doit s'écrire en chiffres seuls, de 0 à 99999 (« 12a »)" << miennes << depart;
    QTest::newRow("lecture stricte") << miennes << "lectureStricte" << "" << "" << "" << -1 << false
                                     << "" << miennes + "lecture=stricte\n" << "lecture=stricte\n" + depart;
    // Imposed: shown checked, out of reach; the operator's file stays without it.
    QTest::newRow("lecture imposée") << miennes << "lectureStricte" << "" << "" << "" << -1 << true
                                     << "" << miennes << "lecture=stricte\n" + depart;
    QTest::newRow("fichier douteux") << QByteArray("A.vitesse=x\n") << "pas_1" << "3000" << "pas ≤ 3000 (vous)\ndirections « +- » (machine)" << "" << aucune << false
                                     << "était illisible (ligne 1 (A.vitesse) : la vitesse doit s'écrire en chiffres seuls" << QByteArray("[Limites]\nA.pas=3000\n")
                                     << QByteArray("A.pas=3000\nA.directions=+-\nA.course=1000\n");
    QTest::newRow("directions plus larges, gardées") << miennes << "directions_1" << "+-*" << "directions « +- » (machine)" << "Directions que la machine ne permet pas (« * ») : gardées dans votre fichier, mais seules celles que la machine permet aussi s'appliquent : « +- »." << large << false
                                     << "" << miennes + "A.directions=+-*\n" << depart;
    // None in force: the box says so, as "En vigueur" does, never that the machine's apply.
    QTest::newRow("direction hors de la machine") << miennes << "directions_1" << "9" << "aucune direction permise" << "Directions que la machine ne permet pas (« 9 ») : gardées dans votre fichier, mais seules celles que la machine permet aussi s'appliquent : aucune direction permise." << large << false
                                     << "" << miennes + "A.directions=9\n" << QByteArray("A.pas=5000\nA.vitesse=100\nA.directions=\nA.course=1000\n");
    QTest::newRow("course plus stricte") << miennes << "course_1" << "800" << "course ≤ 800 (vous)" << "" << aucune << false
                                     << "" << miennes + "A.course=800\n" << QByteArray("A.pas=5000\nA.vitesse=100\nA.directions=+-\nA.course=800\n");
    QTest::newRow("course plus large, gardée") << miennes << "course_1" << "2000" << "course ≤ 1000 (machine)" << "Plus large que la limite de la machine (1000) : gardée dans votre fichier" << large << false
                                     << "" << miennes + "A.course=2000\n" << depart;
    QTest::newRow("course refusée")  << miennes << "course_1" << "100000000" << "à corriger : course maximale : la course 100000000 dépasse 99999999" << "À corriger : la course 100000000 dépasse 99999999" << refusee << false
                                     << "Pince (A), course maximale : la course 100000000 dépasse 99999999" << miennes << depart;
    // clang-format on
}

// The dialog shows the machine's limits beside the operator's, which it
// saves, keeping the file's comments; a looser value than the machine's is
// kept, never refused, and the machine's applies, as the dialog says and the
// box's mark shows as it is typed. Entrée in a box goes on to the next box;
// only the save button saves. A strict reading the machine imposes is shown
// checked, and cannot be unchecked.
void TestMenus::limitesDesAxes()
{
    if (::geteuid() != 0)
        QSKIP("il faut être root pour faire un fichier de limites de la machine (à root)");
    QFETCH(QByteArray, avant);
    QFETCH(QString, boite);
    QFETCH(QString, saisie);
    QFETCH(QString, enVigueur);
    QFETCH(QString, infobulle);
    QFETCH(int, marque);
    QFETCH(bool, imposee);
    QFETCH(QString, message);
    QFETCH(QByteArray, fichier);
    QFETCH(QByteArray, effectives);
    QTemporaryDir machine;
    const QString fixees = machine.filePath(QStringLiteral("Tarvik/limites.conf"));
    QVERIFY(QDir().mkpath(QFileInfo(fixees).path()) &&
            ecrireFichier(fixees, QByteArray(imposee ? "lecture=stricte\n" : "") +
                                      "A.pas=5000\nA.directions=+-\nA.course=1000\n"));
    const QByteArray dossiers = qgetenv("XDG_CONFIG_DIRS");
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(machine.path()));
    const QString siennes = CheminLimitesOperateur();
    const auto remise = qScopeGuard([&] {
        qputenv("XDG_CONFIG_DIRS", dossiers);
        QDir(QFileInfo(siennes).path()).removeRecursively();
    });
    QVERIFY(QDir().mkpath(QFileInfo(siennes).path()) && ecrireFichier(siennes, avant));
    CaptureMessages messages;
    ChoixImpose choix;
    Panneau fenetre({}, LireLimites());
    choix.reponse = m_dossier.filePath(QStringLiteral("pince.txt"));
    QVERIFY(ecrireFichier(choix.reponse, "Pince\n"));
    declencher(fenetre, "DesignAxe"); // its settings go with the folder, at the end
    fenetre.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fenetre));

    const VuDesLimites vu = changerLimites(fenetre, boite, saisie);
    QVERIFY2(vu.vus.size() == 4, "la boîte des limites ne s'est pas ouverte");
    QCOMPARE(vu.vus.mid(0, 3),
             (QStringList{QStringLiteral("Pince (A)"), QStringLiteral("5000"),
                          avant == "A.vitesse=x\n" ? QString() : QStringLiteral("100")}));
    QVERIFY2(vu.vus[3].contains(fixees), qPrintable(vu.vus[3]));
    QVERIFY2(vu.enVigueur.contains(enVigueur), qPrintable(vu.enVigueur));
    QCOMPARE(vu.suivante, marque >= 0);
    QCOMPARE(vu.imposee, imposee);
    QVERIFY2(vu.bulle.contains(infobulle), qPrintable(vu.bulle));
    QVERIFY2(vu.dit.contains(infobulle), qPrintable(vu.dit));
    QCOMPARE(vu.marque, marque);
    QCOMPARE(vu.signe, marque > 0);
    QCOMPARE(vu.coupees, QStringList());
    QCOMPARE(messages.vus.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty())
        QVERIFY2(messages.vus[0].texte.contains(message), qPrintable(messages.vus[0].texte));
    QCOMPARE(vu.ouvert, QByteArray(QTest::currentDataTag()).endsWith("refusée"));
    QCOMPARE(vu.repris, vu.ouvert);
    QCOMPARE(lireFichier(siennes), fichier);
    if (message.contains(QStringLiteral("illisible"))) // set aside, whole
        QCOMPARE(lireFichier(siennes + QStringLiteral(".illisible")), avant);
    QCOMPARE(canon(fenetre.poste().limites()), effectives);
    QCOMPARE(fenetre.poste().limites().axes[0].niveauPas,
             effectives.startsWith("A.pas=3000") ? NiveauLimite::Operateur : NiveauLimite::Machine);
}

QTEST_MAIN(TestMenus)
#include "tst_menus.moc"

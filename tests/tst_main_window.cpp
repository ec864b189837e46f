// The window as the operator sees it: its controls, focus chain and menus,
// and a click on TEST with the port on a pseudo-terminal.
#include "app/formulation.h"
#include "app/langue.h"
#include "fenetre_essai.h"
#include "journal_essai.h"
#include "locale_essai.h"
#include "pseudo_terminal.h"
#include "run/journal.h"
#include "surveillance_essai.h"
#include "window/case_grille.h"
#include "window/dialogue_port.h"
#include "window/fenetre_programme.h"
#include "window/style_panneau.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QColorSpace>
#include <QFontDatabase>
#include <QFrame>
#include <QImage>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <sys/file.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <tuple>

using namespace tarvik::window;

namespace {

QString texteDe(const QWidget *w)
{
    if (auto *l = qobject_cast<const QLabel *>(w))
        return l->text();
    if (auto *e = qobject_cast<const QLineEdit *>(w))
        return e->text();
    if (auto *b = qobject_cast<const QPushButton *>(w))
        return b->text();
    return {};
}

// What a box shows of its mark: the triangle in its right-hand corner, and
// a frame along its left-hand side, by their colours.
QString dessinDe(CaseGrille &boite)
{
    const QImage image = boite.grab().toImage();
    const QColor orange(0xd0, 0x70, 0x00), rouge(0xc0, 0x10, 0x10);
    QStringList vus;
    for (const auto &[nom, couleur, coin] :
         {std::tuple{"triangle orange", orange, true}, std::tuple{"triangle rouge", rouge, true},
          std::tuple{"cadre rouge", rouge, false}}) {
        bool vu = false;
        for (int y = 0; y < image.height() && !vu; ++y)
            for (int x = 0; x < image.width() && !vu; ++x)
                vu = (x > image.width() / 2) == coin && image.pixelColor(x, y) == couleur;
        if (vu)
            vus << QLatin1String(nom);
    }
    return vus.join(QStringLiteral(", "));
}

// Types `texte` over the text of the box `nom`; what no key gives ("ā"),
// as an input method commits it.
void taper(const QWidget &fenetre, const QString &nom, const QString &texte)
{
    auto *boite = controle<QLineEdit>(fenetre, nom);
    boite->selectAll();
    QTest::keyClick(boite, Qt::Key_Delete);
    if (!texte.isEmpty() && texte.front() > u'~') {
        QInputMethodEvent saisie;
        saisie.setCommitString(texte);
        QCoreApplication::sendEvent(boite, &saisie);
    } else {
        QTest::keyClicks(boite, texte);
    }
}

// The port as the watcher tells it, and what the panel does meanwhile.
struct PortVu {
    EtatPort::Etat etat;
    bool douteux;        // a limits file is doubtful
    bool test;           // TEST sends, once the device came back
    QStringList dit;     // in the status line
    QString pasDit = {}; // nowhere in it
};

// How a run fails.
enum class Panne { Occupe, Absent, Bloque, OccupeLibere };

// The way a grid leaves the panel.
enum class Porte { Test, Ajout, Enregistrement };
// A box entered again after another window: none, or the click that brings
// the panel back, after its activation (a slow click) or before it.
enum class Retour { Aucun, ActivationPuisClic, ClicPuisActivation };

// The items a message lists: its lines "– …", else its paragraphs.
QStringList elements(const QString &texte)
{
    QStringList vus;
    for (const QString &ligne : texte.split(u'\n'))
        if (ligne.startsWith(QStringLiteral("– ")))
            vus << ligne.mid(2);
    return vus.isEmpty() && !texte.isEmpty() ? texte.split(QStringLiteral("\n\n")) : vus;
}

// A window whose run clicks TEST again in the middle of writing, as a click
// delivered by a nested event loop would.
class FenetreImpatiente : public Panneau {
protected:
    void ajouterLigne(const QString &ligne) override
    {
        Form1::ajouterLigne(ligne);
        if (!m_recliquee && ligne.startsWith(u'C')) {
            m_recliquee = true;
            controle<QPushButton>(*this, QStringLiteral("Command1"))->click();
        }
    }

private:
    bool m_recliquee = false;
};

} // namespace

Q_DECLARE_METATYPE(Porte)
Q_DECLARE_METATYPE(Retour)
Q_DECLARE_METATYPE(Panne)
Q_DECLARE_METATYPE(PortVu)

class TestMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void composition_data();
    void composition();
    void fenetre();
    void ligneDEtatEntiere();
    void chaineDeFocus();
    void menus();
    void clicTest();
    void toucheEspace();
    void echec_data();
    void echec();
    void ligneBloquee();
    void clicsRapprochesEtImbriques();
    void quitter();
    void choixDuPort_data();
    void choixDuPort();
    void deuxPanneaux();
    void journalDuPanneau();
    void nomsAccessibles();
    void langue_data();
    void langue();
    void marques_data();
    void marques();
    void clavier_data();
    void clavier();
    void listePerimee();
    void reessayer_data();
    void reessayer();
    void horsLimites_data();
    void horsLimites();
    void avantEnvoi_data();
    void avantEnvoi();
    void portParDefaut();
    void rebranche_data();
    void rebranche();
};

void TestMainWindow::composition_data()
{
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QString>("genre");
    QTest::addColumn<QString>("texte");
    QTest::addColumn<QRect>("geometrie");
    QTest::addColumn<bool>("gras");

    struct Cas {
        const char *nom, *genre;
        const char16_t *texte;
        QRect geometrie;
        bool gras;
    };
    // clang-format off
    QList<Cas> cas = {
        {"Label2",   "QLabel",      u"Pas",             {120, 8, 73, 25},   true},
        {"Label4",   "QLabel",      u"Direction",       {192, 8, 73, 25},   true},
        {"Label3",   "QLabel",      u"Vitesse",         {264, 8, 73, 25},   true},
        {"Label5",   "QLabel",      u"Sequence Envoyé", {360, 8, 297, 25},  true},
        {"List1",    "QListWidget", u"",                {344, 48, 329, 244}, false},
        {"Command1", "QPushButton", u"TEST",            {128, 264, 105, 33}, true},
        {"Line1",    "QFrame",      u"",                {0, 0, 680, 1},     false},
    };
    // clang-format on
    for (const Cas &c : cas)
        QTest::newRow(c.nom) << QString::fromLatin1(c.nom) << QString::fromLatin1(c.genre)
                             << QString::fromUtf16(c.texte) << c.geometrie << c.gras;
    for (int k = 1; k <= 7; ++k) {
        const int haut = 40 + 32 * (k - 1);
        const auto rangee = [&](const char *tableau, const char *genre, const QString &texte,
                                QRect geometrie) {
            const QString nom = QStringLiteral("%1_%2").arg(QLatin1String(tableau)).arg(k);
            QTest::newRow(qPrintable(nom))
                << nom << QString::fromLatin1(genre) << texte << geometrie << true;
        };
        rangee("Label1", "QLabel", QStringLiteral("Axe 0%1").arg(k), {0, haut, 113, 25});
        rangee("Text1", "QLineEdit", QStringLiteral("00000"), {120, haut, 73, 25});
        rangee("Text3", "QLineEdit", QStringLiteral("+"), {216, haut, 25, 25});
        rangee("Text2", "QLineEdit", QStringLiteral("002"), {264, haut, 73, 25});
    }
}

void TestMainWindow::composition()
{
    QFETCH(QString, nom);
    QFETCH(QString, genre);
    QFETCH(QString, texte);
    QFETCH(QRect, geometrie);
    QFETCH(bool, gras);

    Panneau fenetre;
    const auto trouves = fenetre.findChildren<QWidget *>(nom);
    QCOMPARE(trouves.size(), 1);
    const QWidget *w = trouves.first();
    QVERIFY2(w->inherits(qPrintable(genre)), w->metaObject()->className()); // a grid box is one
    QCOMPARE(texteDe(w), texte);
    QCOMPARE(w->geometry(), geometrie);
    if (nom != QLatin1String("Line1")) {
        // MS Sans Serif, or the first installed of the same width.
        static const QString famille = [] {
            const QStringList panneau{QStringLiteral("MS Sans Serif"),
                                      QStringLiteral("Microsoft Sans Serif"),
                                      QStringLiteral("Arial"), QStringLiteral("Liberation Sans")};
            for (const QString &une : panneau)
                if (QFontDatabase::families().contains(une, Qt::CaseInsensitive))
                    return une;
            return panneau.front();
        }();
        QCOMPARE(w->font().families().value(0), famille);
        QCOMPARE(w->font().pixelSize(), 16); // 12 points at 96 dpi
        QCOMPARE(w->font().weight(), gras ? QFont::Bold : QFont::Normal);
        QVERIFY(!w->font().italic() && !w->font().underline() && !w->font().strikeOut());
    }
    if (genre == QLatin1String("QLabel"))
        QCOMPARE(w->focusPolicy(), Qt::NoFocus);
}

void TestMainWindow::fenetre()
{
    Panneau fenetre;
    fenetre.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fenetre));
    QCOMPARE(fenetre.windowTitle(), QStringLiteral("Form1"));
    QCOMPARE(fenetre.centralWidget()->size(), QSize(679, 299));
    QCOMPARE(fenetre.centralWidget()->geometry().top(), fenetre.menuBar()->geometry().bottom() + 1);
    QCOMPARE(fenetre.minimumSize(), fenetre.maximumSize()); // nothing resizes
    QCOMPARE(fenetre.findChildren<QLineEdit *>().size(), 21);
    QCOMPARE(lignesListe(fenetre), QStringList());
    // Its images, read from no image file: the icon's pixels are the
    // drawing's, and the menu bar's overflow arrow is there when drawn.
    const auto premultiplie = [](const QImage &image) {
        QImage pixels = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        pixels.setColorSpace({}); // the file's says sRGB, which the pixels are
        return pixels;
    };
    QCOMPARE(premultiplie(IconeTarvik().pixmap(64).toImage()),
             premultiplie(QImage(QStringLiteral(TARVIK_DATA "/tarvik-64.png"))));
    // Over the style in force, as -style windows would have it.
    const QString style = QApplication::style()->name();
    const auto retablir = qScopeGuard([&] { QApplication::setStyle(style); });
    QApplication::setStyle(QStringLiteral("windows"));
    InstallerStylePanneau();
    const auto *proxy = qobject_cast<const QProxyStyle *>(QApplication::style());
    QVERIFY(proxy);
    QCOMPARE(proxy->baseStyle()->name(), QStringLiteral("windows"));
    QVERIFY(!QApplication::style()
                 ->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton)
                 .pixmap(16)
                 .isNull());
}

// A status line too long for the window goes on to as many lines as it
// needs: the window keeps its width, whatever the screen's, the status bar
// grows, and every word shows.
void TestMainWindow::ligneDEtatEntiere()
{
    InstallerLangue(QStringLiteral("en"));
    const auto retablir = qScopeGuard([] { InstallerLangue(QStringLiteral("fr")); });
    Panneau fenetre;
    fenetre.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fenetre));
    auto *ligne = controle<QLabel>(fenetre, QStringLiteral("etatPort"));
    QTRY_COMPARE(ligne->height(), ligne->fontMetrics().height()); // one line, laid out
    const int largeur = fenetre.width(), hauteur = ligne->height();
    const QString texte = QStringLiteral(
        "Port /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0 → /dev/ttyUSB0: "
        "busy with process 4242 (minicom, run by root); plugged back in at 12:34:56: the board "
        "may have restarted");
    ligne->setText(texte);
    const auto entiere = [&] {
        const QRect zone = ligne->contentsRect();
        const QRect texteEntier = ligne->fontMetrics().boundingRect(
            QRect(0, 0, zone.width(), 100 * zone.height()), Qt::TextWordWrap, texte);
        return texteEntier.height() <= zone.height() &&
               fenetre.rect().contains(QRect(ligne->mapTo(&fenetre, QPoint()), ligne->size()));
    };
    QTRY_VERIFY(entiere());
    QVERIFY(ligne->height() >= 2 * hauteur);
    QCOMPARE(fenetre.width(), largeur);
    ligne->setText(QStringLiteral("Port /dev/ttyUSB0: ready"));
    QTRY_COMPARE(ligne->height(), hauteur); // and back to one line
}

void TestMainWindow::chaineDeFocus()
{
    Panneau fenetre;
    fenetre.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fenetre));
    QCOMPARE(fenetre.focusWidget()->objectName(), QStringLiteral("Text1_1"));

    QStringList attendu;
    for (const char *tableau : {"Text1", "Text2", "Text3"})
        for (int k = 1; k <= 7; ++k)
            attendu << QStringLiteral("%1_%2").arg(QLatin1String(tableau)).arg(k);
    // No port chosen: the status line's link, to choose one, comes last.
    attendu << QStringLiteral("Command1") << QStringLiteral("List1")
            << QStringLiteral("choisirPort") << QStringLiteral("Text1_1");

    QStringList vu;
    for (int pas = 0; pas < attendu.size(); ++pas) {
        frapper(fenetre, QKeySequence(Qt::Key_Tab));
        vu << fenetre.focusWidget()->objectName();
    }
    QCOMPARE(vu, attendu.mid(1) + QStringList{QStringLiteral("Text1_2")});
}

void TestMainWindow::menus()
{
    struct Menu {
        const char *nom;
        QString titre;
        QList<std::pair<const char *, QString>> entrees;
    };
    const QList<Menu> attendus = {
        {"MenuFichier",
         QStringLiteral("&Fichier"),
         {{"OuvrirSequence", QStringLiteral("Ouvrir Sequence")},
          {"EnregistrerSequence", QStringLiteral("Enregistrer Sequence")},
          {"EffacerSequenceActuelle", QStringLiteral("Effacer Sequence Actuelle")},
          {"AnnulerEffacement", QStringLiteral("Annuler l'effacement")},
          {"RappelerGrille", QStringLiteral("Rappeler la grille précédente")},
          {"FichiersRecents", QStringLiteral("Fichiers &récents")},
          {"Programme", QStringLiteral("&Programme…")},
          {"JournalEnvois", QStringLiteral("Journal des envois…")},
          {"Quitter", QStringLiteral("Quitter le programme")}}},
        {"Initialisation",
         QStringLiteral("&Initialisation"),
         {{"DesignAxe", QStringLiteral("Ouvrir un fichier de designation d'axes")},
          {"ChoisirPort", QStringLiteral("Choisir le port série…")},
          {"LimitesAxes", QStringLiteral("Limites des axes…")},
          {"Langue", QStringLiteral("Langue")}}},
        {"Aide",
         QStringLiteral("&Aide"),
         {{"CommentCreer", QStringLiteral("Comment Créer un fichier de désignation d'axes ?")},
          {"Schemas", QStringLiteral("Schémas Electronique de la Carte")},
          {"ProgASM", QStringLiteral("Le programme en Assembleur")},
          {"IntelHEX", QStringLiteral("Le Fichier Intel .HEX")},
          {"Apropos", QStringLiteral("A propos de Tarvik")}}},
    };
    Panneau fenetre;
    const QList<QAction *> barre = fenetre.menuBar()->actions();
    QCOMPARE(barre.size(), attendus.size());
    for (int m = 0; m < attendus.size(); ++m) {
        QMenu *menu = barre[m]->menu();
        QVERIFY(menu);
        QCOMPARE(menu->objectName(), QLatin1String(attendus[m].nom));
        QCOMPARE(menu->title(), attendus[m].titre);
        QVERIFY(barre[m]->isVisible() && barre[m]->isEnabled());
        const QList<QAction *> entrees = menu->actions();
        QCOMPARE(entrees.size(), attendus[m].entrees.size());
        for (int e = 0; e < entrees.size(); ++e) {
            QCOMPARE(entrees[e]->objectName(), QLatin1String(attendus[m].entrees[e].first));
            QCOMPARE(entrees[e]->text(), attendus[m].entrees[e].second);
            // Nothing to undo, recall or open again at start.
            const bool enAttente =
                QByteArrayList{"AnnulerEffacement", "RappelerGrille", "FichiersRecents"}.contains(
                    attendus[m].entrees[e].first);
            QVERIFY(entrees[e]->isVisible() && entrees[e]->isEnabled() != enAttente);
        }
    }
}

void TestMainWindow::clicTest()
{
    Banc banc;
    QVERIFY(banc.pret());
    auto &[pty, messages, fenetre] = banc;
    auto *test = controle<QPushButton>(fenetre, QStringLiteral("Command1"));

    QTest::mouseClick(test, Qt::LeftButton);
    QVERIFY(envoisFinis(fenetre));
    QCOMPARE(lignesListe(fenetre), lignesInitiales());
    QCOMPARE(pty.lire(84), surLeFil(lignesInitiales()));

    auto *pas4 = controle<QLineEdit>(fenetre, QStringLiteral("Text1_4"));
    pas4->selectAll();
    QTest::keyClicks(pas4, QStringLiteral("250"));
    QTest::mouseClick(test, Qt::LeftButton);
    QVERIFY(envoisFinis(fenetre));
    QStringList attendues = lignesInitiales();
    attendues[3] = QStringLiteral("D+00250:002");
    QCOMPARE(lignesListe(fenetre), attendues);
    QCOMPARE(pty.lire(84), surLeFil(attendues));
    QVERIFY(messages.vus.isEmpty());
}

void TestMainWindow::toucheEspace()
{
    Banc banc;
    QVERIFY(banc.pret());
    auto &[pty, messages, fenetre] = banc;
    auto *test = controle<QPushButton>(fenetre, QStringLiteral("Command1"));
    test->setFocus();
    QTest::keyClick(test, Qt::Key_Space);
    QVERIFY(envoisFinis(fenetre));
    QCOMPARE(pty.lire(84), surLeFil(lignesInitiales()));
    QCOMPARE(lignesListe(fenetre), lignesInitiales());
}

void TestMainWindow::echec_data()
{
    QTest::addColumn<QString>("boite"); // the box edited, empty for none
    QTest::addColumn<QString>("texte"); // what is typed in it
    QTest::addColumn<bool>("portAbsent");
    QTest::addColumn<QString>("dansLeMessage");

    QTest::newRow("vitesse 300") << "Text2_3"
                                 << "300" << false << "Axe 03";
    QTest::newRow("pas négatif") << "Text1_6"
                                 << "-5" << false << "Axe 06";
    QTest::newRow("direction tabulation") << "Text3_2"
                                          << "\t" << false << "Direction";
    QTest::newRow("port absent") << ""
                                 << "" << true << "absent";
}

// A failed run is reported once, the window goes on, the faulty box has the
// focus with its text selected, and nothing reached the board.
void TestMainWindow::echec()
{
    QFETCH(QString, boite);
    QFETCH(QString, texte);
    QFETCH(bool, portAbsent);
    QFETCH(QString, dansLeMessage);

    Banc banc;
    QVERIFY(banc.pret());
    auto &[pty, messages, fenetre] = banc;
    if (portAbsent)
        fenetre.imposerPort(QStringLiteral("/dev/tarvik-absent-pour-essai"));
    if (!boite.isEmpty())
        controle<QLineEdit>(fenetre, boite)->setText(texte);

    QTest::mouseClick(controle<QPushButton>(fenetre, QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY(envoisFinis(fenetre));
    QCOMPARE(messages.vus.size(), 1);
    QCOMPARE(messages.vus[0].genre, GenreMessage::Erreur);
    QVERIFY2(messages.vus[0].texte.contains(dansLeMessage), qPrintable(messages.vus[0].texte));
    QVERIFY(fenetre.isVisible());
    QCOMPARE(lignesListe(fenetre), QStringList());
    QCOMPARE(pty.lire(), QByteArray());
    if (!boite.isEmpty()) {
        auto *fautive = controle<QLineEdit>(fenetre, boite);
        QCOMPARE(fenetre.focusWidget(), fautive);
        QCOMPARE(fautive->selectedText(), texte);
    }

    // Mended, the same window sends.
    if (!boite.isEmpty()) {
        controle<QLineEdit>(fenetre, boite)
            ->setText(boite.startsWith(u"Text3") ? QStringLiteral("+") : QStringLiteral("002"));
        QTest::mouseClick(controle<QPushButton>(fenetre, QStringLiteral("Command1")),
                          Qt::LeftButton);
        QVERIFY(envoisFinis(fenetre));
        QCOMPARE(messages.vus.size(), 1);
        QCOMPARE(pty.lire(84).size(), 84);
    }
}

// A line nobody reads: one message once the bound has passed, then the
// window answers and sends again.
void TestMainWindow::ligneBloquee()
{
    Banc banc;
    QVERIFY(banc.pret());
    auto &[pty, messages, fenetre] = banc;
    QVERIFY(pty.remplir() > 0);
    {
        const auto delai = DelaiSequenceMs.remplacer(100); // the real 2 s: tarvik-envoyer's test
        cliquerTest(fenetre);
    }
    QCOMPARE(messages.vus.size(), 1);
    QVERIFY2(messages.vus[0].texte.contains(QStringLiteral("délai dépassé")),
             qPrintable(messages.vus[0].texte));
    QVERIFY(fenetre.isVisible());

    pty.lire(); // the board reads again, and the run has its real bound
    cliquerTest(fenetre);
    QCOMPARE(messages.vus.size(), 1);
    QCOMPARE(pty.lire(84), surLeFil(lignesInitiales()));
    QCOMPARE(lignesListe(fenetre), lignesInitiales());
}

// Two runs asked for together give two complete runs, one after the other.
void TestMainWindow::clicsRapprochesEtImbriques()
{
    Banc<FenetreImpatiente> banc;
    QVERIFY(banc.pret());
    auto &[pty, messages, fenetre] = banc;
    auto *test = controle<QPushButton>(fenetre, QStringLiteral("Command1"));

    QTest::mouseClick(test, Qt::LeftButton); // clicks again while writing line C
    QTest::mouseClick(test, Qt::LeftButton);
    QVERIFY(envoisFinis(fenetre));
    QVERIFY(messages.vus.isEmpty());
    QCOMPARE(pty.lire(3 * 84), surLeFil(lignesInitiales()).repeated(3));
    QCOMPARE(lignesListe(fenetre), lignesInitiales());
}

void TestMainWindow::quitter()
{
    CaptureMessages messages;
    Panneau fenetre;
    fenetre.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fenetre));
    fenetre.findChild<QAction *>(QStringLiteral("Quitter"))->trigger();
    QVERIFY(!fenetre.isVisible());
    QVERIFY(messages.vus.isEmpty());
}

void TestMainWindow::choixDuPort_data()
{
    QTest::addColumn<QString>("geste");    // what the operator does in the dialog
    QTest::addColumn<QString>("message");  // what the only message says, if any
    QTest::addColumn<bool>("resteOuvert"); // refused: the field selected for another try
    const QString lien = QDir::homePath() + QStringLiteral("/tarvik-port"); // never "$HOME"
    const struct {
        const char *nom, *geste;
        QString message;
        bool resteOuvert = false;
    } cas[] = {
        {"pty tapé, Entrée, Garder", "garder", QStringLiteral("socat pty,rawer,link=") + lien},
        {"pty tapé, Choisir un autre", "autre", lien, true},
        {"adaptateur aux flèches, Entrée", "fleches", {}},
        {"adaptateur cliqué, Échap", "clic", {}},
        {"pty tapé, Échap", "echap", {}},
        {"fichier refusé", "refus", QStringLiteral("ne peut pas servir de port"), true},
        {"nom nu : un périphérique de /dev", "nu", QStringLiteral("« /dev/tarvik-essai-absent »"),
         true},
        {"chemin relatif refusé", "relatif", QStringLiteral("chemin relatif"), true},
        {"champ vidé : port 1", "vide", {}},
        {"réglages abîmés remplacés", "abimes", QStringLiteral("mis de côté")},
        {"--port, puis l'adaptateur", "option", QStringLiteral("désormais")},
        // Behind a folder this user may not go through: chosen, a run says why.
        {"dans un dossier fermé", "ferme", {}},
    };
    for (const auto &c : cas)
        QTest::newRow(c.nom) << QString::fromLatin1(c.geste) << c.message << c.resteOuvert;
}

// The port chosen in the dialog is saved and used at once by this window,
// even over --port, and by a new one (port 1 is never opened); Échap or a
// refused name changes nothing; an empty field goes back to port 1; a
// damaged settings file is set aside and replaced. The list shows each
// device once, and selecting a row fills the field. A port behind a folder
// this user may not go through is chosen: only a run can say it is refused.
void TestMainWindow::choixDuPort()
{
    QFETCH(QString, geste);
    QFETCH(QString, message);
    QFETCH(bool, resteOuvert);
    const auto est = [&](const char *g) {
        return geste == QLatin1String(g);
    };
    QDir(QFileInfo(CheminReglages()).path()).removeRecursively();
    PseudoTerminal pty, impose; // impose: the port given with --port
    QTemporaryDir parId;
    const QString stable = parId.filePath(QStringLiteral("usb-FTDI_FT232R_A50285BI-if00-port0"));
    QVERIFY(QFile::link(pty.chemin(), stable));
    const QString fichier = parId.filePath(QStringLiteral("fichier"));
    QVERIFY(QFile(fichier).open(QIODevice::WriteOnly));
    const QString ferme = parId.filePath(QStringLiteral("ferme")); // its owner's only
    QVERIFY(QDir().mkdir(ferme) && QFile::link(pty.chemin(), ferme + QStringLiteral("/port")) &&
            QFile::setPermissions(ferme, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    // The adapter under two names, and port 1: two rows.
    const auto systeme = EnumerationPorts.remplacer([&] {
        return QList<PortDecouvert>{
            {pty.chemin(), stable, QStringLiteral("FT232R USB UART"), QStringLiteral("FTDI"),
             QStringLiteral("A50285BI"), 0x0403, 0x6001},
            {stable, {}, QStringLiteral("doublon"), {}, {}, {}, {}},
            {PeripheriquePort(1), {}, QStringLiteral("port 1"), {}, {}, {}, {}}};
    });
    const QByteArray abime = "\xEF\xBB\xBF[General]\nport=/dev/ttyUSB0\n";
    if (est("vide") || est("abimes")) {
        QVERIFY(QDir().mkpath(QFileInfo(CheminReglages()).path()));
        QFile avant(CheminReglages());
        QVERIFY(avant.open(QIODevice::WriteOnly));
        avant.write(est("vide") ? "[General]\nport=" + stable.toUtf8() + '\n' : abime);
    }
    const QString attendu = est("garder")                                      ? pty.chemin()
                            : est("fleches") || est("abimes") || est("option") ? stable
                            : est("ferme") ? ferme + QStringLiteral("/port")
                                           : QString();
    const QString tape = est("refus")                     ? fichier
                         : est("ferme")                   ? attendu
                         : est("nu")                      ? QStringLiteral("tarvik-essai-absent")
                         : est("relatif")                 ? QStringLiteral("serie/ttyUSB0")
                         : est("abimes") || est("option") ? stable
                                                          : pty.chemin();

    CaptureMessages messages;
    messages.reponses = {est("autre") ? 1 : 0};
    bool focusDansLeChamp = false, ouvert = false, champRepris = false;
    QString champVu, etiquette;
    QStringList elements;
    Panneau fenetre;
    if (est("option"))
        fenetre.imposerPort(impose.chemin());
    fenetre.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fenetre));
    auDialogue<DialoguePort>(fenetre, [&](DialoguePort *dialogue) {
        auto *champ = dialogue->findChild<QLineEdit *>(QStringLiteral("cheminPort"));
        auto *liste = dialogue->findChild<QListWidget *>(QStringLiteral("listePorts"));
        focusDansLeChamp = dialogue->focusWidget() == champ;
        if (auto *haut = dialogue->findChild<QLabel *>(QStringLiteral("portImpose")))
            etiquette = haut->text();
        for (int k = 0; k < liste->count(); ++k)
            elements << liste->item(k)->text();
        if (est("fleches")) {
            liste->setFocus();
            QTest::keyClick(liste, Qt::Key_Down);
        } else if (est("clic")) {
            QTest::mouseClick(liste->viewport(), Qt::LeftButton, {},
                              liste->visualItemRect(liste->item(1)).center());
        } else if (est("vide")) {
            champ->selectAll();
            QTest::keyClick(champ, Qt::Key_Delete);
        } else {
            champ->clear();
            QTest::keyClicks(champ, tape);
        }
        champVu = champ->text();
        const bool dehors = est("ferme"); // checked by a user the folder keeps out
        if (dehors && ::geteuid() == 0)
            ::setfsuid(65534);
        else if (dehors)
            ::chmod(QFile::encodeName(ferme).constData(), 0);
        QTest::keyClick(est("fleches") || est("clic") ? static_cast<QWidget *>(liste) : champ,
                        est("echap") || est("clic") ? Qt::Key_Escape : Qt::Key_Return);
        ::setfsuid(::geteuid());
        ::chmod(QFile::encodeName(ferme).constData(), 0700); // the runs below are its owner's
        ouvert = dialogue->isVisible();
        champRepris = dialogue->focusWidget() == champ && champ->selectedText() == tape;
        if (ouvert)
            QTest::keyClick(champ, Qt::Key_Escape);
    });
    controle<QAction>(fenetre, QStringLiteral("ChoisirPort"))->trigger();
    QVERIFY(focusDansLeChamp);
    QCOMPARE(elements.size(), 2);
    QVERIFY2(elements[0].startsWith(QStringLiteral("Port série 1 (par défaut) : ")) &&
                 elements[1].contains(QStringLiteral("FTDI")) &&
                 elements[1].contains(QStringLiteral("USB 0403:6001")),
             qPrintable(elements.join(u'\n')));
    if (est("fleches") || est("clic"))
        QCOMPARE(champVu, stable);
    QCOMPARE(etiquette.contains(impose.chemin()), est("option"));
    QCOMPARE(messages.vus.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty())
        QVERIFY2(messages.vus[0].texte.contains(message), qPrintable(messages.vus[0].texte));
    if (est("garder") || est("autre"))
        QCOMPARE(messages.boutons,
                 QStringList({QStringLiteral("Garder"), QStringLiteral("Choisir un autre")}));
    QCOMPARE(ouvert, resteOuvert);
    QCOMPARE(champRepris, resteOuvert);
    QCOMPARE(LireReglages().reglages.port, attendu);
    if (est("abimes")) { // kept beside the new one, whole
        QFile misDeCote(CheminReglages() + QStringLiteral(".illisible"));
        QVERIFY(misDeCote.open(QIODevice::ReadOnly));
        QCOMPARE(misDeCote.readAll(), abime);
    }
    if (est("vide"))
        QCOMPARE(Panneau(LireReglages()).poste().port().origine, OriginePort::Port1);
    if (attendu.isEmpty())
        return;

    Panneau nouvelle(LireReglages());
    OuverturesVues port1(QFileInfo(PeripheriquePort(1)).canonicalFilePath());
    for (Panneau *panneau : {&fenetre, &nouvelle}) { // never port 1 by mistake
        QCOMPARE(panneau->poste().port().peripherique, attendu);
        cliquerTest(*panneau);
        QCOMPARE(pty.lire(84), surLeFil(lignesInitiales()));
        QVERIFY(controle<QPushButton>(*panneau, QStringLiteral("Command1"))
                    ->toolTip()
                    .contains(attendu));
    }
    QCOMPARE(port1.nombre(), 0);
    QCOMPARE(impose.lire(), QByteArray());
}

// Two panels with one settings file: each sends where it was told to; a
// choice made in the other applies from the next start.
void TestMainWindow::deuxPanneaux()
{
    QDir(QFileInfo(CheminReglages()).path()).removeRecursively();
    PseudoTerminal a, b;
    CaptureMessages messages; // the warnings on numbered pseudo-terminals: « Garder »
    messages.reponses = {0, 0};
    Panneau premier, second;
    const auto choisir = [](Panneau &fenetre, const QString &chemin) {
        fenetre.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fenetre));
        auDialogue<DialoguePort>(fenetre, [chemin](DialoguePort *dialogue) {
            auto *champ = dialogue->findChild<QLineEdit *>(QStringLiteral("cheminPort"));
            champ->clear();
            QTest::keyClicks(champ, chemin);
            QTest::keyClick(champ, Qt::Key_Return);
            if (dialogue->isVisible()) // refused: the checks below say so
                dialogue->reject();
        });
        controle<QAction>(fenetre, QStringLiteral("ChoisirPort"))->trigger();
    };
    choisir(premier, a.chemin());
    choisir(second, b.chemin());
    cliquerTest(premier);
    QCOMPARE(a.lire(84), surLeFil(lignesInitiales()));
    QCOMPARE(b.lire(), QByteArray());
    QVERIFY(
        controle<QPushButton>(premier, QStringLiteral("Command1"))->toolTip().contains(a.chemin()));
    QCOMPARE(Panneau(LireReglages()).poste().port().peripherique, b.chemin());
}

// TEST leaves a record in the journal. A journal that cannot be written is
// said once, without a dialog that would hold the next TEST.
void TestMainWindow::journalDuPanneau()
{
    JournalEssai etat;
    Banc banc;
    QVERIFY(banc.pret());
    auto &[pty, messages, fenetre] = banc;
    cliquerTest(fenetre);
    QFile journal(CheminJournal());
    QVERIFY(journal.open(QIODevice::ReadOnly));
    const QByteArrayList champs = journal.readAll().chopped(1).split('\t');
    QCOMPARE(champs.size(), 15); // the run's id last
    QVERIFY(champs[14].startsWith("id=") && champs[14].size() == 19);
    QCOMPARE(champs[1], QByteArray("tarvik"));
    QCOMPARE(champs[2], QByteArray()); // the grid, not a file
    QCOMPARE(QString::fromUtf8(champs[3]), pty.chemin());
    QCOMPARE(QString::fromUtf8(champs[5]), QStringLiteral("envoyée"));
    QCOMPARE(champs.mid(7, 7).join('\n') + '\n', surLeFil(lignesInitiales()));

    QVERIFY(journal.remove() && QDir().mkdir(CheminJournal()));
    cliquerTest(fenetre);
    cliquerTest(fenetre);
    QCOMPARE(pty.lire(3 * 84), surLeFil(lignesInitiales()).repeated(3));
    QCOMPARE(messages.vus.size(), 1);
    QCOMPARE(messages.vus[0].genre, GenreMessage::Avertissement);
    QVERIFY2(messages.vus[0].texte.contains(CheminJournal()), qPrintable(messages.vus[0].texte));
}

// What a screen reader hears: each box named by its row and column (names
// following an axis-name file), the list, and what TEST sends where.
void TestMainWindow::nomsAccessibles()
{
    CaptureMessages messages;
    ChoixImpose choix;
    QTemporaryDir dossier;
    Panneau fenetre;
    fenetre.imposerPort(QStringLiteral("/dev/pts/42"));
    const auto nom = [&](const QString &objet, QAccessible::Text quoi = QAccessible::Name) {
        return QAccessible::queryAccessibleInterface(controle<QWidget>(fenetre, objet))->text(quoi);
    };
    const auto noms = [&] {
        QStringList vus;
        for (int k = 1; k <= 7; ++k)
            for (const char *tableau : {"Text1", "Text3", "Text2"})
                vus << nom(nomElement(tableau, k));
        return vus;
    };
    const auto attendus = [](const QStringList &axes) {
        QStringList liste;
        for (const QString &axe : axes)
            for (const char *colonne : {"Pas", "Direction", "Vitesse"})
                liste << axe + QStringLiteral(", ") + QLatin1String(colonne);
        return liste;
    };
    QStringList axes;
    for (int k = 1; k <= 7; ++k)
        axes << NomAxe(k);
    const QStringList vus = noms();
    QCOMPARE(vus, attendus(axes));
    QCOMPARE(QSet<QString>(vus.begin(), vus.end()).size(), 21);
    QCOMPARE(nom(QStringLiteral("List1")), QStringLiteral("Sequence Envoyé"));
    QVERIFY(nom(QStringLiteral("Command1"), QAccessible::Description).contains(u"/dev/pts/42"));
    for (int k = 1; k <= 7; ++k)
        QCOMPARE(controle<QLabel>(fenetre, nomElement("Label1", k))->buddy(),
                 controle<QWidget>(fenetre, nomElement("Text1", k)));

    choix.reponse = dossier.filePath(QStringLiteral("noms.txt"));
    QFile noms3(choix.reponse);
    QVERIFY(noms3.open(QIODevice::WriteOnly) && noms3.write("Pince\n\nRotation de la base\n") > 0);
    noms3.close();
    controle<QAction>(fenetre, QStringLiteral("DesignAxe"))->trigger();
    QVERIFY(messages.vus.isEmpty());
    axes[0] = QStringLiteral("Pince");
    axes[2] = QStringLiteral("Rotation de la base");
    QCOMPARE(noms(), attendus(axes));
    // The labels say the names whole, in words, tooltip or not.
    for (int k : {1, 3})
        for (const QAccessible::Text quoi : {QAccessible::Name, QAccessible::Description})
            QCOMPARE(nom(nomElement("Label1", k), quoi), axes[k - 1]);
}

void TestMainWindow::langue_data()
{
    QTest::addColumn<QByteArray>("lang");
    QTest::addColumn<QStringList>("textes"); // first menu, axis 1, steps heading, list heading
    QTest::addColumn<QString>("erreur");
    QTest::newRow("en_US.UTF-8") << QByteArray("en_US.UTF-8")
                                 << QStringList{"&File", "Axis 01", "Steps", "Sequence Sent"}
                                 << "Value refused for Axis 03 (C), column “Speed”: “300”.";
    QTest::newRow("C") << QByteArray("C")
                       << QStringList{"&Fichier", "Axe 01", "Pas", "Sequence Envoyé"}
                       << "Valeur refusée pour Axe 03 (C), colonne « Vitesse » : « 300 ».";
}

// The panel in the system's language: its captions and its error messages;
// nothing reaches the board from a refused value in either.
void TestMainWindow::langue()
{
    QFETCH(QByteArray, lang);
    QFETCH(QStringList, textes);
    QFETCH(QString, erreur);
    LocaleEssai locale(lang);
    InstallerLangue(LangueDuSysteme());
    const auto retablir = qScopeGuard([] { InstallerLangue(QStringLiteral("fr")); });
    Banc banc;
    QVERIFY(banc.pret());
    auto &[pty, messages, fenetre] = banc;
    const QStringList vus{fenetre.menuBar()->actions().value(0)->text(),
                          controle<QLabel>(fenetre, nomElement("Label1", 1))->text(),
                          controle<QLabel>(fenetre, QStringLiteral("Label2"))->text(),
                          controle<QLabel>(fenetre, QStringLiteral("Label5"))->text()};
    QCOMPARE(vus, textes);
    controle<QLineEdit>(fenetre, QStringLiteral("Text2_3"))->setText(QStringLiteral("300"));
    cliquerTest(fenetre);
    QCOMPARE(messages.vus.size(), 1);
    QVERIFY2(messages.vus[0].texte.startsWith(erreur), qPrintable(messages.vus[0].texte));
    QCOMPARE(pty.lire(), QByteArray());
}

void TestMainWindow::marques_data()
{
    QTest::addColumn<QString>("boite");
    QTest::addColumn<QString>("tape"); // typed after the box's text is selected
    QTest::addColumn<int>("marque");   // CaseGrille::Marque
    QTest::addColumn<QString>("dit");  // in its tooltip and for a screen reader
    const int a = int(CaseGrille::Marque::Aucune), l = int(CaseGrille::Marque::Lue),
              r = int(CaseGrille::Marque::Refusee);
    QTest::newRow("chiffres") << "Text1_1"
                              << "00100" << a << "";
    QTest::newRow("lettre O") << "Text1_2"
                              << "1O0" << l << "Lu comme 00001";
    QTest::newRow("virgule") << "Text2_4"
                             << "12,7" << l << "Lu comme 012";
    QTest::newRow("vide") << "Text1_5"
                          << "" << l << "Case vide, lue comme 00000";
    QTest::newRow("direction vide") << "Text3_1"
                                    << "" << l << "envoyée comme une espace";
    QTest::newRow("vitesse 300") << "Text2_3"
                                 << "300" << r << "Refusé";
    // "2." is read as 00002, then "2.6" as 00003: the same mark, another reading.
    QTest::newRow("lecture qui change") << "Text1_1"
                                        << "2.6" << l << "Lu comme 00003";
}

// As the operator types, a box whose text will not go out as typed, or not
// at all, is marked; its tooltip and its description say what will be sent.
// The mark is a shape: the triangle of a box read otherwise, the triangle
// and a dashed frame of a refused one, each in its own colour.
void TestMainWindow::marques()
{
    QFETCH(QString, boite);
    QFETCH(QString, tape);
    QFETCH(int, marque);
    QFETCH(QString, dit);
    Panneau fenetre;
    auto *c = controle<CaseGrille>(fenetre, boite);
    c->selectAll();
    QTest::keyClick(c, Qt::Key_Delete);
    QTest::keyClicks(c, tape);
    QCOMPARE(int(c->marque()), marque);
    QVERIFY2(dit.isEmpty() ? c->toolTip().isEmpty() : c->toolTip().contains(dit),
             qPrintable(c->toolTip()));
    QVERIFY2(c->accessibleDescription().contains(c->toolTip()),
             qPrintable(c->accessibleDescription()));
    const QStringList dessins{QString(), QStringLiteral("triangle orange"),
                              QStringLiteral("triangle rouge, cadre rouge")};
    QCOMPARE(dessinDe(*c), dessins[marque]);
}

void TestMainWindow::clavier_data()
{
    QTest::addColumn<QString>("depart");
    QTest::addColumn<QKeySequence>("touches");
    QTest::addColumn<QString>("focus"); // where the focus ends
    QTest::addColumn<QString>("texte"); // the start box's text after; empty: unchanged
    QTest::addColumn<bool>("envoi");
    QTest::addColumn<Retour>("retour"); // how the box is entered again after a first key
    // clang-format off
    QTest::newRow("bas dans la colonne")  << "Text1_3" << QKeySequence(Qt::Key_Down) << "Text1_4" << "" << false << Retour::Aucun;
    QTest::newRow("haut, deux fois")      << "Text2_3" << QKeySequence(Qt::Key_Up, Qt::Key_Up) << "Text2_1" << "" << false << Retour::Aucun;
    QTest::newRow("haut au bord")         << "Text3_1" << QKeySequence(Qt::Key_Up) << "Text3_1" << "" << false << Retour::Aucun;
    QTest::newRow("direction remplacée")  << "Text3_2" << QKeySequence(Qt::Key_Minus) << "Text3_2" << "-" << false << Retour::Aucun;
    QTest::newRow("pas sélectionnés")     << "Text1_2" << QKeySequence(Qt::Key_7) << "Text1_2" << "7" << false << Retour::Aucun;
    QTest::newRow("droite, case entrée")  << "Text1_2" << QKeySequence(Qt::Key_Right) << "Text3_2" << "" << false << Retour::Aucun;
    QTest::newRow("gauche, deux fois")    << "Text2_3" << QKeySequence(Qt::Key_Left, Qt::Key_Left) << "Text1_3" << "" << false << Retour::Aucun;
    QTest::newRow("gauche au bord")       << "Text1_5" << QKeySequence(Qt::Key_Left) << "Text1_5" << "" << false << Retour::Aucun;
    QTest::newRow("droite au bout tapé")  << "Text1_2" << QKeySequence(Qt::Key_7, Qt::Key_Right) << "Text3_2" << "7" << false << Retour::Aucun;
    QTest::newRow("gauche dans le texte") << "Text1_2" << QKeySequence(Qt::Key_7, Qt::Key_Left) << "Text1_2" << "7" << false << Retour::Aucun;
    QTest::newRow("Ctrl+T envoie")        << "Text1_1" << QKeySequence(QStringLiteral("Ctrl+T")) << "Text1_1" << "" << true << Retour::Aucun;
    QTest::newRow("Entrée sur TEST")      << "Command1" << QKeySequence(Qt::Key_Return) << "Command1" << "" << true << Retour::Aucun;
    QTest::newRow("retour : activation, puis clic") << "Text1_1" << QKeySequence(Qt::Key_5, Qt::Key_0) << "Text1_1" << "50" << false << Retour::ActivationPuisClic;
    QTest::newRow("retour : clic, puis activation") << "Text1_1" << QKeySequence(Qt::Key_5, Qt::Key_0) << "Text1_1" << "50" << false << Retour::ClicPuisActivation;
    // clang-format on
}

// The grid as grid editors work: a box gets the focus with its text
// selected, so typing replaces it; the arrows move in a column; TEST has a
// shortcut, and takes Entrée as well as the space bar.
void TestMainWindow::clavier()
{
    QFETCH(QString, depart);
    QFETCH(QKeySequence, touches);
    QFETCH(QString, focus);
    QFETCH(QString, texte);
    QFETCH(bool, envoi);
    QFETCH(Retour, retour);
    Banc banc;
    QVERIFY(banc.pret());
    auto &[pty, messages, fenetre] = banc;
    auto *premier = controle<QWidget>(fenetre, depart);
    donnerFocus(premier, Qt::MouseFocusReason);
    if (auto *boite = qobject_cast<QLineEdit *>(premier)) // selected right after the focus
        QTRY_VERIFY(boite->hasSelectedText());
    if (retour != Retour::Aucun) {
        // A first key, then the program's window, then back with a click at
        // the end of the text, the click that makes the panel active again.
        auto *boite = qobject_cast<QLineEdit *>(premier);
        QTest::keyClick(boite, Qt::Key_9);
        fenetre.findChild<QAction *>(QStringLiteral("Programme"))->trigger();
        QWidget *autre = fenetre.fenetreProgramme();
        QVERIFY(autre);
        autre->activateWindow();
        QTRY_VERIFY_WITH_TIMEOUT(autre->isActiveWindow() && !boite->hasFocus(), 20000);
        const auto clic = [boite] {
            QTest::mouseClick(boite, Qt::LeftButton, {},
                              QPoint(boite->width() - 3, boite->height() / 2));
        };
        if (retour == Retour::ClicPuisActivation)
            clic();
        fenetre.activateWindow();
        QTRY_VERIFY_WITH_TIMEOUT(boite->hasFocus(), 20000);
        QCoreApplication::processEvents(); // what the focus put off, before a slow click
        if (retour == Retour::ActivationPuisClic)
            clic();
    }
    frapper(fenetre, touches);
    QVERIFY(envoisFinis(fenetre));
    QCOMPARE(fenetre.focusWidget()->objectName(), focus);
    if (!texte.isEmpty())
        QCOMPARE(qobject_cast<QLineEdit *>(premier)->text(), texte);
    QCOMPARE(pty.lire(envoi ? 84 : 0), envoi ? surLeFil(lignesInitiales()) : QByteArray());
    QVERIFY(messages.vus.isEmpty());
}

// A run that sends nothing leaves the list as it was, greyed and said to be
// the previous sequence's; the status bar gives each attempt and its time.
void TestMainWindow::listePerimee()
{
    Banc banc;
    QVERIFY(banc.pret());
    auto &[pty, messages, fenetre] = banc;
    auto *liste = controle<QListWidget>(fenetre, QStringLiteral("List1"));
    auto *etat = controle<QLabel>(fenetre, QStringLiteral("etatEnvoi"));
    cliquerTest(fenetre);
    QCOMPARE(pty.lire(84).size(), 84);
    QVERIFY2(etat->text().contains(QStringLiteral("envoyée à")), qPrintable(etat->text()));
    QVERIFY(!liste->item(0)->font().italic() && liste->toolTip().isEmpty());

    const QString chemin = pty.chemin();
    fenetre.imposerPort(QStringLiteral("/dev/tarvik-absent-pour-essai"));
    cliquerTest(fenetre);
    QCOMPARE(lignesListe(fenetre), lignesInitiales());
    QVERIFY(liste->item(0)->font().italic() && liste->item(6)->font().italic());
    QVERIFY2(liste->toolTip().contains(QStringLiteral("Séquence précédente, envoyée à")),
             qPrintable(liste->toolTip()));
    QCOMPARE(liste->accessibleDescription(), liste->toolTip());
    QVERIFY2(etat->text().contains(QStringLiteral("non envoyée")) &&
                 etat->text().contains(QStringLiteral("port absent")),
             qPrintable(etat->text()));

    fenetre.imposerPort(chemin);
    cliquerTest(fenetre);
    QCOMPARE(pty.lire(84).size(), 84);
    QVERIFY(!liste->item(0)->font().italic() && liste->toolTip().isEmpty());
    QCOMPARE(messages.vus.size(), 1);
}

void TestMainWindow::reessayer_data()
{
    QTest::addColumn<Panne>("panne");
    QTest::addColumn<QString>("conseil");
    QTest::addColumn<bool>("question"); // « Réessayer » is offered
    QTest::newRow("port occupé") << Panne::Occupe << "Fermez ce programme" << true;
    QTest::newRow("port absent") << Panne::Absent << "Vérifiez le câble" << true;
    QTest::newRow("délai dépassé") << Panne::Bloque << "avant d'envoyer de nouveau" << false;
    // Freed, and a box changed, as the operator reads the question.
    QTest::newRow("port libéré, grille changée")
        << Panne::OccupeLibere << "Fermez ce programme" << true;
}

// A failure says what to do; where nothing was written, « Réessayer » sends
// the grid that run carried again, whatever the boxes hold now, and only
// then.
void TestMainWindow::reessayer()
{
    QFETCH(Panne, panne);
    QFETCH(QString, conseil);
    QFETCH(bool, question);
    const auto delai = DelaiSequenceMs.remplacer(100);
    Banc banc;
    QVERIFY(banc.pret());
    auto &[pty, messages, fenetre] = banc;
    const int occupant =
        ::open(QFile::encodeName(pty.chemin()).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    const auto fermer = qScopeGuard([&] { ::close(occupant); });
    if (panne == Panne::Occupe || panne == Panne::OccupeLibere)
        QCOMPARE(::flock(occupant, LOCK_EX | LOCK_NB), 0);
    else if (panne == Panne::Absent)
        fenetre.imposerPort(QStringLiteral("/dev/tarvik-absent-pour-essai"));
    else
        QVERIFY(pty.remplir() > 0);
    messages.reponses = {0}; // « Réessayer » once, then « Fermer »
    const auto libere = Question.remplacer(
        [&, repondre = *Question](QWidget *w, GenreMessage genre, const QString &titre,
                                  const QString &texte, const QStringList &choix, int defaut,
                                  int annule) {
            if (panne == Panne::OccupeLibere) {
                controle<QLineEdit>(banc.fenetre, QStringLiteral("Text1_1"))
                    ->setText(QStringLiteral("00042"));
                ::flock(occupant, LOCK_UN);
            }
            return repondre(w, genre, titre, texte, choix, defaut, annule);
        });
    cliquerTest(fenetre);
    const bool renvoyee = panne == Panne::OccupeLibere; // and went through
    QCOMPARE(messages.vus.size(), question && !renvoyee ? 2 : 1);
    QVERIFY2(messages.vus[0].texte.contains(conseil), qPrintable(messages.vus[0].texte));
    const QStringList boutons{QStringLiteral("Réessayer"), QStringLiteral("Fermer")};
    QCOMPARE(messages.boutons, question ? boutons : QStringList());
    if (renvoyee) // the grid that failed, not the boxes as they are now
        QCOMPARE(pty.lire(84), surLeFil(lignesInitiales()));
}

void TestMainWindow::horsLimites_data()
{
    QTest::addColumn<QByteArray>("fichier"); // the operator's limits; empty: a doubtful file
    QTest::addColumn<QString>("boite");
    QTest::addColumn<QString>("tape");
    QTest::addColumn<QString>("dit");   // in the box's tooltip and TEST's message; empty: sent
    QTest::addColumn<bool>("demande");  // saving asks first: a box is read otherwise
    QTest::addColumn<bool>("avertit");  // saving warns
    QTest::addColumn<bool>("consigne"); // the refusal is journalled, as "hors limites"
    QTest::addColumn<QString>("etat");  // the last attempt, as the status line says it
    // clang-format off
    QTest::newRow("pas")             << QByteArray("A.pas=5000\n") << "Text1_1" << "5001" << "5000 pas au plus" << false << true << true << "hors limites";
    QTest::newRow("vitesse")         << QByteArray("C.vitesse=100\n") << "Text2_3" << "101" << "vitesse 100" << false << true << true << "hors limites";
    QTest::newRow("direction")       << QByteArray("B.directions=+-\n") << "Text3_2" << "x" << "«\u00a0+-\u00a0»" << false << true << true << "hors limites";
    // Saved once the question allows it, the file holds the value as it is
    // sent: nothing to warn of.
    QTest::newRow("lecture stricte") << QByteArray("lecture=stricte\n") << "Text1_4" << "1O0" << "chiffres seulement" << true << false << true << "hors limites";
    QTest::newRow("fichier douteux") << QByteArray() << "" << "" << "/etc/xdg/Tarvik/limites.conf" << false << false << true << "fichier de limites douteux";
    // The limit itself is within the limits.
    QTest::newRow("pas à la limite") << QByteArray("A.pas=5000\n") << "Text1_1" << "05000" << "" << false << false << false << "";
    // A typo is refused by the grid's own check, whatever the bench: no limit of the bench's.
    QTest::newRow("vitesse 300, faute de frappe") << QByteArray("C.vitesse=100\n") << "Text2_3" << "300" << "comprise entre 0 et 255" << false << false << false << "valeur refusée";
    // clang-format on
}

// A value beyond the bench's limits is marked as it is typed; TEST refuses
// it, or anything while a limits file is doubtful, says why, journals it and
// sends nothing; the refused box takes back the focus the click gave TEST.
// Saving still saves, and warns; a box read otherwise is asked about first,
// as TEST asks. A value at the limit goes; a value no grid
// takes is refused, but is not journalled as beyond limits.
void TestMainWindow::horsLimites()
{
    QFETCH(QByteArray, fichier);
    QFETCH(QString, boite);
    QFETCH(QString, tape);
    QFETCH(QString, dit);
    QFETCH(bool, demande);
    QFETCH(bool, avertit);
    QFETCH(bool, consigne);
    QFETCH(QString, etat);
    JournalEssai journal;
    Banc banc;
    QVERIFY(banc.pret());
    auto &[pty, messages, fenetre] = banc;
    LimitesLues lues = limitesOperateur(fichier);
    if (fichier.isEmpty())
        lues.echec =
            LimitesDouteuses{{{dit, EchecLecture{.genre = EchecLecture::Genre::PasOrdinaire}}}};
    fenetre.poste().setLimites(lues);
    auto *c = boite.isEmpty() ? nullptr : controle<CaseGrille>(fenetre, boite);
    if (c) {
        c->selectAll();
        QTest::keyClicks(c, tape);
        QCOMPARE(c->marque(),
                 dit.isEmpty() ? CaseGrille::Marque::Aucune : CaseGrille::Marque::Refusee);
        QVERIFY2(c->accessibleDescription().contains(dit), qPrintable(c->accessibleDescription()));
    }
    QTest::mouseClick(controle<QPushButton>(fenetre, QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY(envoisFinis(fenetre));
    QCOMPARE(journal.issues(), dit.isEmpty() ? QList{IssueEnvoi::Envoyee}
                               : consigne    ? QList{IssueEnvoi::HorsLimites}
                                             : QList<IssueEnvoi>());
    if (dit.isEmpty()) { // sent as typed
        QCOMPARE(pty.lire(84).left(12), "A+" + tape.toLatin1() + ":002\n");
        QVERIFY(messages.vus.isEmpty());
        return;
    }
    QCOMPARE(pty.lire(), QByteArray());
    const QString tentative = controle<QLabel>(fenetre, QStringLiteral("etatEnvoi"))->text();
    QVERIFY2(tentative.endsWith(QStringLiteral(" : ") + etat), qPrintable(tentative));
    QCOMPARE(messages.vus.size(), 1);
    QCOMPARE(messages.vus[0].titre, QStringLiteral("Séquence non envoyée"));
    QVERIFY2(messages.vus[0].texte.contains(dit) &&
                 messages.vus[0].texte.contains(QStringLiteral("Rien n'a été envoyé")),
             qPrintable(messages.vus[0].texte));
    QVERIFY(!c || fenetre.focusWidget() == c);
    if (!c || !consigne) // a grid no run takes is not saved either
        return;
    ChoixImpose choix;
    choix.reponse = journal.chemin(QStringLiteral("autre-banc.seq"));
    messages.reponses = {1}; // « Enregistrer tel quel », when asked
    controle<QAction>(fenetre, QStringLiteral("EnregistrerSequence"))->trigger();
    QVERIFY(QFile::exists(choix.reponse));
    QCOMPARE(messages.vus.size(), 1 + demande + avertit);
    QVERIFY(!demande || messages.vus[1].titre == QStringLiteral("Cases à vérifier"));
    QVERIFY(!avertit || (messages.vus.last().genre == GenreMessage::Avertissement &&
                         messages.vus.last().texte.contains(dit)));
}

void TestMainWindow::avantEnvoi_data()
{
    QTest::addColumn<QByteArray>("limites");  // the operator's
    QTest::addColumn<QStringList>("saisies"); // "Text1_1=1O0": typed over a box's text
    QTest::addColumn<Porte>("porte");         // the way the grid leaves
    QTest::addColumn<QString>("geste");       // in the question: a key, else a button clicked
    QTest::addColumn<QString>("titre");       // of the refusal; empty: none
    QTest::addColumn<QStringList>("dit"); // the question's list or the refusal's, each item's start
    QTest::addColumn<QStringList>("envoi"); // what reaches the pty, the step added, the file
    const QStringList rien, un{"Text1_1=1O0"};
    QStringList lu = lignesInitiales();
    lu[0] = QStringLiteral("A+00001:002");
    const QString a1 = QStringLiteral("Axe 01 (A), Pas : « 1O0 » partira comme « 00001 »");
    const QStringList trois{
        a1, QStringLiteral("Axe 02 (B), Direction : case vide, partira comme une espace"),
        QStringLiteral("Axe 04 (D), Vitesse : « 12,7 » partira comme « 012 »")};
    const QStringList quatre{
        QStringLiteral("Axe 01 (A), Pas : « 5001 » — cet axe va jusqu'à 5000 pas au plus"),
        QStringLiteral("Axe 02 (B), Pas : « 6000 » — cet axe va jusqu'à 5000 pas au plus"),
        QStringLiteral("Axe 03 (C), Vitesse : « 101 » — cet axe va jusqu'à la vitesse 100 au plus"),
        QStringLiteral("Axe 04 (D), Direction : « x » — cet axe n'accepte que les directions")};
    const QByteArray bornes("A.pas=5000\nB.pas=5000\nC.vitesse=100\nD.directions=+-\n");
    const QStringList dehors{"Text1_1=5001", "Text1_2=6000", "Text2_3=101", "Text3_4=x"};
    const QStringList fautes{"Text1_1=1O0", "Text3_2=", "Text2_4=12,7"};
    // Refused, beyond a limit or by the line's own range, before "abc" is asked about.
    const QStringList melees{"Text1_1=5001", "Text2_2=300", "Text1_3=abc"};
    const QStringList deux{quatre[0], QStringLiteral("Axe 02 (B), Vitesse : « 300 » — la "
                                                     "vitesse doit être comprise entre 0 et 255")};
    const QString refus = QStringLiteral("Séquence non envoyée");
    // The travel beside a value refused; two refusals of one row.
    const QStringList course{"Text2_2=300", "Text1_1=5"};
    const QStringList rangee{"Text3_2=ā", "Text2_2=300"};
    const QStringList courseDite{
        QStringLiteral("Valeur refusée pour Axe 02 (B), colonne « Vitesse » : « 300 »"),
        QStringLiteral("Course refusée pour Axe 01 (A) : cet envoi l'amène à +5 pas")};
    const QStringList deuxDansLaRangee{
        QStringLiteral("Axe 02 (B), Direction : « ā » — la direction doit"), deux[1]};
    // clang-format off
    QTest::newRow("1O0, Entrée")              << QByteArray() << un << Porte::Test << "Entrée" << "" << QStringList{a1} << rien;
    QTest::newRow("1O0, Échap")               << QByteArray() << un << Porte::Test << "Échap" << "" << QStringList{a1} << rien;
    QTest::newRow("1O0, Envoyer tel quel")    << QByteArray() << un << Porte::Test << "Envoyer tel quel" << "" << QStringList{a1} << lu;
    QTest::newRow("grille propre : un clic")  << QByteArray() << rien << Porte::Test << "" << "" << rien << lignesInitiales();
    QTest::newRow("trois cases lues, Entrée") << QByteArray() << fautes << Porte::Test << "Entrée" << "" << trois << rien;
    QTest::newRow("quatre au-delà")           << bornes << dehors << Porte::Test << "" << refus << quatre << rien;
    QTest::newRow("au-delà et invalide")      << bornes << melees << Porte::Test << "" << refus << deux << rien;
    QTest::newRow("ajout : 1O0, Entrée")      << QByteArray() << un << Porte::Ajout << "Entrée" << "" << QStringList{a1} << rien;
    QTest::newRow("ajout : Ajouter tel quel") << QByteArray() << un << Porte::Ajout << "Ajouter tel quel" << "" << QStringList{a1} << lu;
    QTest::newRow("ajout : quatre au-delà")   << bornes << dehors << Porte::Ajout << "" << "Étape non ajoutée" << quatre << rien;
    QTest::newRow("course et vitesse 300")    << QByteArray("A.course=3\n") << course << Porte::Test << "" << refus << courseDite << rien;
    QTest::newRow("deux refus dans une rangée") << QByteArray() << rangee << Porte::Test << "" << refus << deuxDansLaRangee << rien;
    QTest::newRow("Ctrl+S : 1O0, Entrée")     << QByteArray() << un << Porte::Enregistrement << "Entrée" << "" << QStringList{a1} << rien;
    QTest::newRow("Ctrl+S : Enregistrer tel quel") << QByteArray() << un << Porte::Enregistrement << "Enregistrer tel quel" << "" << QStringList{a1} << lu;
    // clang-format on
}

// TEST, "Ajouter la grille" and Ctrl+S ask first when a box will not go out
// as typed: Entrée and Échap give "Corriger", which sends nothing and puts
// the focus back in the first box; only "… tel quel" goes on. A clean grid
// goes at one click. Every refusal is in one message, the travel included,
// one line each when each is a box's, the first focused, every box marked.
void TestMainWindow::avantEnvoi()
{
    QFETCH(QByteArray, limites);
    QFETCH(QStringList, saisies);
    QFETCH(Porte, porte);
    QFETCH(QString, geste);
    QFETCH(QString, titre);
    QFETCH(QStringList, dit);
    QFETCH(QStringList, envoi);
    JournalEssai etat;
    Banc banc;
    QVERIFY(banc.pret());
    auto &[pty, messages, fenetre] = banc;
    const auto reelle = Question.remplacer({}); // the real question
    fenetre.poste().setLimites(limitesOperateur(limites));
    for (const QString &saisie : saisies)
        taper(fenetre, saisie.section(u'=', 0, 0), saisie.section(u'=', 1));
    QStringList vus; // the question's text, its default button, its escape's
    auDialogue<QMessageBox>(fenetre, [&](QMessageBox *boite) {
        vus << boite->text() << boite->defaultButton()->text() << boite->escapeButton()->text();
        const auto cle = std::map<QString, Qt::Key>{{QStringLiteral("Entrée"), Qt::Key_Return},
                                                    {QStringLiteral("Échap"), Qt::Key_Escape}};
        if (cle.count(geste))
            return QTest::keyClick(boite, cle.at(geste));
        for (QAbstractButton *bouton : boite->buttons())
            if (bouton->text() == geste)
                QTest::mouseClick(bouton, Qt::LeftButton);
    });
    ChoixImpose fichier;
    fichier.reponse = etat.chemin(QStringLiteral("grille.seq"));
    if (porte == Porte::Enregistrement) {
        controle<QAction>(fenetre, QStringLiteral("EnregistrerSequence"))->trigger();
    } else if (porte == Porte::Ajout) {
        controle<QAction>(fenetre, QStringLiteral("Programme"))->trigger();
        QVERIFY(fenetre.fenetreProgramme());
        QTest::mouseClick(
            controle<QPushButton>(*fenetre.fenetreProgramme(), QStringLiteral("ajouterGrille")),
            Qt::LeftButton);
    } else {
        QTest::mouseClick(controle<QPushButton>(fenetre, QStringLiteral("Command1")),
                          Qt::LeftButton);
        QVERIFY(envoisFinis(fenetre));
    }
    const QString texte = titre.isEmpty() ? vus.value(0) : messages.vus.value(0).texte;
    QCOMPARE(vus.isEmpty(), !titre.isEmpty() || dit.isEmpty()); // asked, or refused
    QCOMPARE(messages.vus.size(), titre.isEmpty() ? 0 : 1);
    QCOMPARE(messages.vus.value(0).titre, titre);
    const QStringList vusDits = elements(texte);
    QCOMPARE(vusDits.size(), dit.size());
    for (qsizetype k = 0; k < dit.size(); ++k)
        QVERIFY2(vusDits[k].startsWith(dit[k]), qPrintable(texte));
    if (!vus.isEmpty())
        QCOMPARE(vus.mid(1), QStringList({QStringLiteral("Corriger"), QStringLiteral("Corriger")}));
    if (titre.isEmpty() && !dit.isEmpty()) // the box it goes back to, one or the first of several
        QVERIFY2(texte.contains(dit.size() == 1 ? QStringLiteral("vous ramène à cette case.")
                                                : QStringLiteral("la première de ces cases.")),
                 qPrintable(texte));
    for (qsizetype k = 0; !titre.isEmpty() && k < dit.size(); ++k)
        if (!dit[k].startsWith(QStringLiteral("Course"))) // the travel marks no box
            QCOMPARE(controle<CaseGrille>(fenetre, saisies[k].section(u'=', 0, 0))->marque(),
                     CaseGrille::Marque::Refusee);
    if (envoi.isEmpty() && !saisies.isEmpty()) { // corrected: the first box, its text selected
        auto *boite = controle<QLineEdit>(fenetre, saisies.first().section(u'=', 0, 0));
        QCOMPARE(fenetre.focusWidget(), boite);
        QCOMPARE(boite->selectedText(), boite->text());
    }
    if (porte == Porte::Ajout) {
        const Programme fait = fenetre.fenetreProgramme()->programme();
        QCOMPARE(fait.etapes.isEmpty() ? QStringList() : fait.etapes[0].grille.lignes(), envoi);
    }
    if (porte == Porte::Enregistrement)
        QCOMPARE(lireFichier(fichier.reponse), envoi.isEmpty() ? QByteArray() : surLeFil(envoi));
    const bool envoye = porte == Porte::Test && !envoi.isEmpty();
    QCOMPARE(pty.lire(envoye ? 84 : 0), envoye ? surLeFil(envoi) : QByteArray());
}

// With no port chosen, the status line says port 1 is the default, and its
// link opens the port dialog; TEST still sends to port 1. A port given or
// chosen has no link.
void TestMainWindow::portParDefaut()
{
    Banc banc;
    QVERIFY(banc.pret());
    auto &[pty, messages, fenetre] = banc;
    fenetre.poste().setPort(DeterminerPort({}, {}, pty.chemin())); // port 1 is the pty
    auto *etat = controle<QLabel>(fenetre, QStringLiteral("etatPort"));
    auto *lien = controle<QLabel>(fenetre, QStringLiteral("choisirPort"));
    QCOMPARE(etat->text(),
             QStringLiteral("Port série 1 (%1), par défaut : aucun port choisi ; prêt")
                 .arg(pty.chemin()));
    QVERIFY(lien->isVisible());
    bool ouvert = false;
    auDialogue<DialoguePort>(fenetre, [&](DialoguePort *dialogue) {
        ouvert = true;
        QTest::keyClick(dialogue, Qt::Key_Escape);
    });
    QTest::mouseClick(lien, Qt::LeftButton, {}, lien->contentsRect().center());
    QTRY_VERIFY(ouvert);
    cliquerTest(fenetre);
    QCOMPARE(pty.lire(84), surLeFil(lignesInitiales()));
    fenetre.imposerPort(pty.chemin());
    QCOMPARE(etat->text(), QStringLiteral("Port %1 : prêt").arg(pty.chemin()));
    QVERIFY(!lien->isVisible());
    QVERIFY(messages.vus.isEmpty());
}

void TestMainWindow::rebranche_data()
{
    QTest::addColumn<PortVu>("vu");
    using E = EtatPort::Etat;
    const QString rebranche = QStringLiteral("rebranché à ");
    // clang-format off
    QTest::newRow("prêt")              << PortVu{E::Pret, false, false, {rebranche}, QStringLiteral("prêt")};
    QTest::newRow("occupé")            << PortVu{E::Occupe, false, false, {QStringLiteral("occupé par minicom (4242) ; rebranché à ")}};
    QTest::newRow("limites douteuses") << PortVu{E::Pret, true, false, {QStringLiteral("un fichier de limites est douteux"), rebranche}};
    QTest::newRow("puis un TEST")      << PortVu{E::Pret, false, true, {QStringLiteral("prêt")}, QStringLiteral("rebranché")};
    // clang-format on
}

// A device that came back is said on the status line beside what else
// TEST would meet, never hiding it, until the next TEST starts.
void TestMainWindow::rebranche()
{
    QFETCH(PortVu, vu);
    Banc banc;
    QVERIFY(banc.pret());
    SurveillanceEssai surveillance;
    banc.fenetre.poste().brancherSurveillance(&surveillance);
    if (vu.douteux)
        banc.fenetre.poste().setLimites(
            {{},
             {},
             {},
             {},
             LimitesDouteuses{{{QStringLiteral("limites.conf"),
                                EchecLecture{.genre = EchecLecture::Genre::PasOrdinaire}}}}});
    EtatPort etat{vu.etat, banc.pty.chemin()};
    etat.raison = EtatPort::Raison::Processus;
    etat.qui = {4242, QStringLiteral("minicom"), {}};
    surveillance.annoncer(etat, QDateTime::currentDateTime());
    if (vu.test)
        cliquerTest(banc.fenetre);
    const QString ligne = controle<QLabel>(banc.fenetre, QStringLiteral("etatPort"))->text();
    for (const QString &mots : vu.dit)
        QVERIFY2(ligne.contains(mots), qPrintable(ligne));
    QVERIFY2(vu.pasDit.isEmpty() || !ligne.contains(vu.pasDit), qPrintable(ligne));
    QCOMPARE(banc.pty.lire(vu.test ? 84 : 0).size(), vu.test ? 84 : 0);
}

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"

#include "window/main_window.h"

#include "app/programme.h"
#include "port/reglages.h"
#include "run/journal.h"
#include "system/noms.h"
#include "window/dialogues.h"

#include <QAction>
#include <QActionGroup>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>

namespace {

// The layout is drawn in twips, 15 to a pixel.
constexpr int twips(int t)
{
    return t / 15;
}

QRect enTwips(int gauche, int haut, int largeur, int hauteur)
{
    return {twips(gauche), twips(haut), twips(largeur), twips(hauteur)};
}

constexpr int hautRangee(int k)
{
    return 600 + 480 * (k - 1);
}

// "MS Sans Serif" 12 points: 16 pixels, the size the pixel layout was drawn
// with. Where that font is absent, a sans-serif of the same width.
QFont policePanneau(bool gras)
{
    QFont police;
    police.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                        QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    police.setStyleHint(QFont::SansSerif);
    police.setPixelSize(16);
    police.setWeight(gras ? QFont::Bold : QFont::Normal);
    return police;
}

template <class Controle>
Controle *placer(Controle *controle, const QString &nom, const QRect &geometrie, bool gras)
{
    controle->setObjectName(nom);
    controle->setGeometry(geometrie);
    controle->setFont(policePanneau(gras));
    return controle;
}

QString nomElement(const char *tableau, int i)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(tableau)).arg(i);
}

} // namespace

Form1::Form1(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));

    auto *zone = new QWidget(this);
    zone->setObjectName(QStringLiteral("zoneClient"));
    zone->setFixedSize(twips(10185), twips(4485));
    setCentralWidget(zone);
    creerControles(zone);
    creerMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    m_MSComm1.setPort(DeterminerPort());
    montrerPort();
    m_Text1[1]->setFocus();
}

void Form1::imposerPort(const QString &peripherique)
{
    if (peripherique.isEmpty())
        return;
    m_MSComm1.setPort(PortImpose(peripherique));
    montrerPort();
}

void Form1::montrerPort()
{
    const QString texte = Form1::tr("Envoie les sept lignes de commande, de A à G, sur %1.")
                              .arg(DecrirePort(m_MSComm1.port()));
    m_Command1->setToolTip(texte);
    m_Command1->setAccessibleDescription(texte);
}

void Form1::nommerRangee(int k, const QString &nom)
{
    const auto nommer = [&](QLineEdit *boite, Colonne colonne, const QString &description) {
        boite->setAccessibleName(QStringLiteral("%1, %2").arg(nom, NomColonne(colonne)));
        boite->setAccessibleDescription(description);
    };
    nommer(m_Text1[k], Colonne::Pas, Form1::tr("Nombre de pas, de 0 à 99999."));
    nommer(m_Text3[k], Colonne::Direction, Form1::tr("Un caractère, par exemple + ou -."));
    nommer(m_Text2[k], Colonne::Vitesse, Form1::tr("Vitesse, de 0 à 255."));
}

void Form1::creerControles(QWidget *zone)
{
    auto *ligne =
        placer(new QFrame(zone), QStringLiteral("Line1"), enTwips(0, 0, 10200, 15), false);
    ligne->setFrameStyle(QFrame::HLine | QFrame::Plain);

    const auto titre = [zone](const char *nom, const QString &texte, int gauche, int largeur) {
        return placer(new QLabel(texte, zone), QLatin1String(nom),
                      enTwips(gauche, 120, largeur, 375), true);
    };
    titre("Label2", NomColonne(Colonne::Pas), 1800, 1095);
    titre("Label4", NomColonne(Colonne::Direction), 2880, 1095);
    titre("Label3", NomColonne(Colonne::Vitesse), 3960, 1095);
    titre("Label5", Form1::tr("Sequence Envoyé"), 5400, 4455);

    const auto boite = [zone](const char *tableau, int k, const QString &texte, int gauche,
                              int largeur) {
        return placer(new QLineEdit(texte, zone), nomElement(tableau, k),
                      enTwips(gauche, hautRangee(k), largeur, 375), true);
    };
    for (int k = 1; k <= NombreAxes; ++k) {
        m_Label1[k] = placer(new QLabel(NomAxe(k), zone), nomElement("Label1", k),
                             enTwips(0, hautRangee(k), 1695, 375), true);
        m_Label1[k]->setTextFormat(Qt::PlainText); // axis names are never markup
        m_Text1[k] = boite("Text1", k, TexteInitialPas, 1800, 1095);
        m_Text3[k] = boite("Text3", k, TexteInitialDirection, 3240, 375);
        m_Text2[k] = boite("Text2", k, TexteInitialVitesse, 3960, 1095);
        m_Label1[k]->setBuddy(m_Text1[k]);
        nommerRangee(k, NomAxe(k));
    }

    m_List1 = placer(new QListWidget(zone), QStringLiteral("List1"), enTwips(5160, 720, 4935, 3660),
                     false);
    m_List1->setAccessibleName(Form1::tr("Sequence Envoyé"));
    m_Command1 = placer(new QPushButton(QStringLiteral("TEST"), zone), QStringLiteral("Command1"),
                        enTwips(1920, 3960, 1575, 495), true);
    connect(m_Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    ordonnerFocus();
}

void Form1::ordonnerFocus()
{
    // The steps, then the speeds, then the directions, TEST, the list.
    QWidget *precedent = nullptr;
    for (const auto *colonne : {&m_Text1, &m_Text2, &m_Text3}) {
        for (int k = 1; k <= NombreAxes; ++k) {
            if (precedent)
                setTabOrder(precedent, (*colonne)[k]);
            precedent = (*colonne)[k];
        }
    }
    setTabOrder(precedent, m_Command1);
    setTabOrder(m_Command1, m_List1);
}

QList<Form1::Menu> Form1::barreDeMenus()
{
    // clang-format off
    return {
        {"MenuFichier", QT_TRANSLATE_NOOP("Form1", "Fichier"), {
            {"OuvrirSequence", QT_TRANSLATE_NOOP("Form1", "Ouvrir Sequence"), &Form1::OuvrirSequence_Click, "Ctrl+O"},
            {"EnregistrerSequence", QT_TRANSLATE_NOOP("Form1", "Enregistrer Sequence"), &Form1::EnregistrerSequence_Click, "Ctrl+S"},
            {"EffacerSequenceActuelle", QT_TRANSLATE_NOOP("Form1", "Effacer Sequence Actuelle"), &Form1::EffacerSequenceActuelle_Click},
            {"JournalEnvois", QT_TRANSLATE_NOOP("Form1", "Journal des envois…"), &Form1::JournalEnvois_Click, "Ctrl+J"},
            {"Quitter", QT_TRANSLATE_NOOP("Form1", "Quitter le programme"), &Form1::Quitter_Click, "Ctrl+Q"}}},
        {"Initialisation", QT_TRANSLATE_NOOP("Form1", "Initialisation"), {
            {"DesignAxe", QT_TRANSLATE_NOOP("Form1", "Ouvrir un fichier de designation d'axes"), &Form1::DesignAxe_Click},
            {"ChoisirPort", QT_TRANSLATE_NOOP("Form1", "Choisir le port série…"), &Form1::ChoisirPort_Click}}},
        {"Aide", QT_TRANSLATE_NOOP("Form1", "Aide"), {
            {"CommentCreer", QT_TRANSLATE_NOOP("Form1", "Comment Créer un fichier de désignation d'axes ?"), &Form1::CommentCreer_Click},
            {"Schemas", QT_TRANSLATE_NOOP("Form1", "Schémas Electronique de la Carte")},
            {"ProgASM", QT_TRANSLATE_NOOP("Form1", "Le programme en Assembleur")},
            {"IntelHEX", QT_TRANSLATE_NOOP("Form1", "Le Fichier Intel .HEX")},
            {"Apropos", QT_TRANSLATE_NOOP("Form1", "A propos de Tarvik"), &Form1::Apropos_Click}}},
    };
    // clang-format on
}

void Form1::creerMenus()
{
    for (const Menu &m : barreDeMenus()) {
        QMenu *menu = menuBar()->addMenu(tr(m.titre));
        menu->setObjectName(QLatin1String(m.nom));
        for (const Entree &e : m.entrees) {
            const QString titre = tr(e.titre);
            QAction *action = menu->addAction(titre);
            action->setObjectName(QLatin1String(e.nom));
            if (e.raccourci)
                action->setShortcut(QKeySequence(QLatin1String(e.raccourci)));
            if (e.action)
                connect(action, &QAction::triggered, this, e.action);
            else
                connect(action, &QAction::triggered, this,
                        [this, titre] { documentDeLaCarte(titre); });
        }
        if (qstrcmp(m.nom, "Initialisation") == 0)
            creerMenuLangue(menu->addMenu(tr("Langue")));
    }
}

void Form1::creerMenuLangue(QMenu *menu)
{
    // Each language named in itself; the choice applies at the next start.
    menu->setObjectName(QStringLiteral("Langue"));
    menu->menuAction()->setObjectName(QStringLiteral("Langue"));
    auto *groupe = new QActionGroup(menu);
    const QString enregistree = LireReglagesEnregistres().langue;
    struct Choix {
        const char *nom;
        QString code, titre; // an empty code: the system's
    };
    const QList<Choix> langues = {{"LangueSysteme", {}, tr("Celle du système")},
                                  {"LangueFr", QStringLiteral("fr"), QStringLiteral("Français")},
                                  {"LangueEn", QStringLiteral("en"), QStringLiteral("English")}};
    for (const Choix &choix : langues) {
        QAction *action = menu->addAction(choix.titre);
        action->setObjectName(QLatin1String(choix.nom));
        action->setCheckable(true);
        action->setActionGroup(groupe);
        action->setChecked(enregistree == choix.code);
        connect(action, &QAction::triggered, this,
                [this, code = choix.code] { choisirLangue(code); });
    }
}

TextesGrille Form1::textes() const
{
    TextesGrille textes;
    for (int k = 1; k <= NombreAxes; ++k)
        textes[k] = {m_Text1[k]->text(), m_Text3[k]->text(), m_Text2[k]->text()};
    return textes;
}

void Form1::ViderList1()
{
    m_List1->clear();
}

void Form1::AjouterList1(const QString &ligne)
{
    m_List1->addItem(ligne);
}

QLineEdit *Form1::caseDe(Colonne colonne, int i) const
{
    switch (colonne) {
    case Colonne::Pas:
        return m_Text1.at(i);
    case Colonne::Direction:
        return m_Text3.at(i);
    case Colonne::Vitesse:
        break;
    }
    return m_Text2.at(i);
}

void Form1::Command1_Click()
{
    // A click that reaches us during a run (from a nested event loop) gets
    // its own run once the current one has closed the port.
    ++m_demandes;
    if (m_enCours)
        return;
    m_enCours = true;
    while (m_demandes > 0) {
        --m_demandes;
        JournalEnvoi journal(QStringLiteral("tarvik"));
        const auto echec = EnvoyerSequence(textes(), m_MSComm1,
                                           journal.observateur({[this] { ViderList1(); },
                                                                [this](const QString &ligne) {
                                                                    AjouterList1(ligne);
                                                                }}));
        if (const auto rate = journal.consigner(echec, m_MSComm1))
            signalerJournal(*rate);
        if (echec && echec->lien == EchecLien::Genre::Interrompu) {
            m_demandes = 0; // the program is ending: no message, no other run
            break;
        }
        if (echec)
            signalerEchec(Form1::tr("Séquence non envoyée"), *echec, echec->valeur);
        else
            signalerAvertissements();
    }
    m_enCours = false;
}

void Form1::signalerEchec(const QString &titre, const Echec &echec,
                          const std::optional<ValeurRefusee> &valeur)
{
    Afficher(this, GenreMessage::Erreur, titre, Phrase(echec));
    if (valeur) {
        QLineEdit *fautive = caseDe(valeur->colonne, valeur->axe);
        fautive->setFocus();
        fautive->selectAll();
    }
}

void Form1::signalerJournal(const Echec &rate)
{
    // Once a session, and never in the way of the next TEST.
    if (std::exchange(m_journalSignale, true))
        return;
    Afficher(this, GenreMessage::Avertissement, Form1::tr("Journal des envois"),
             Form1::tr("Le journal des envois « %1 » : %2.\nLes séquences partent quand "
                       "même. Ce message ne reviendra pas avant le prochain démarrage du "
                       "panneau.")
                 .arg(NomLisible(FichierJournal()), rate.message));
}

void Form1::signalerAvertissements()
{
    // Said once a session: the same stale lock would be met by every run.
    QStringList nouveaux;
    for (const QString &avertissement : m_MSComm1.avertissements())
        if (!m_avertis.contains(avertissement))
            nouveaux << avertissement;
    m_avertis += nouveaux;
    // Thrown away bytes are news at every run.
    if (const QString jetes = NoteOctetsJetes(m_MSComm1); !jetes.isEmpty())
        nouveaux << jetes;
    if (!nouveaux.isEmpty())
        Afficher(
            this, GenreMessage::Information, Form1::tr("Séquence envoyée"),
            Form1::tr("La séquence a été envoyée.\n%1.").arg(nouveaux.join(QStringLiteral(".\n"))));
}

#include "window/main_window.h"

#include "app/demarrage.h"
#include "app/programme.h"
#include "core/langues.h"
#include "run/journal.h"
#include "system/noms.h"
#include "window/case_grille.h"
#include "window/dialogues.h"
#include "window/fenetre_programme.h"

#include <QAccessible>
#include <QAction>
#include <QActionGroup>
#include <QDateTime>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>

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

// Where the saved port is chosen, as messages name it.
QString menuChoixPort()
{
    return Form1::tr("« Initialisation › Choisir le port série… »");
}

// A failure, in a few words, for the status bar.
QString enQuelquesMots(EchecLien::Genre genre)
{
    using G = EchecLien::Genre;
    switch (genre) {
    case G::AucunPort:
        return Form1::tr("aucun port choisi");
    case G::PortAbsent:
        return Form1::tr("port absent");
    case G::PasUnPortSerie:
    case G::PermissionRefusee:
        return Form1::tr("port refusé");
    case G::PortOccupe:
        return Form1::tr("port occupé");
    case G::DelaiDepasse:
        return Form1::tr("délai dépassé");
    case G::PortDebranche:
        return Form1::tr("port débranché");
    case G::Interrompu:
        return Form1::tr("interrompue");
    case G::OuvertureEchouee:
    case G::EcritureEchouee:
        break;
    }
    return Form1::tr("échec du port");
}

// A line of the status bar: what does not fit ends in "…", the whole text
// staying its tooltip and what a screen reader reads.
class LigneDEtat : public QLabel {
public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter peintre(this);
        const QRect zone = contentsRect();
        style()->drawItemText(&peintre, zone, int(alignment()), palette(), isEnabled(),
                              fontMetrics().elidedText(text(), Qt::ElideRight, zone.width()),
                              foregroundRole());
    }
};

// A sentence from the start of a text: its first letter up, a full stop.
QString phraseDe(const QString &texte)
{
    return texte.isEmpty() ? texte : texte.front().toUpper() + texte.mid(1) + u'.';
}

} // namespace

Form1::Form1(const ReglagesLus &reglages, const LimitesLues &limites, QWidget *parent)
    : QMainWindow(parent)
    , m_reglages(reglages)
{
    appliquerLimites(limites);
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));

    auto *zone = new QWidget(this);
    zone->setObjectName(QStringLiteral("zoneClient"));
    zone->setFixedSize(twips(10185), twips(4485));
    setCentralWidget(zone);
    creerControles(zone);
    creerMenus();
    const auto etiquette = [this](const char *nom) {
        auto *ligne = new LigneDEtat(this);
        ligne->setObjectName(QLatin1String(nom));
        ligne->setTextFormat(Qt::PlainText);
        return ligne;
    };
    m_etatPort = etiquette("etatPort");
    m_etatEnvoi = etiquette("etatEnvoi");
    // The port's state above, the last attempt below: two lines that keep
    // their height, whatever they say.
    auto *lignes = new QWidget(this);
    auto *pile = new QVBoxLayout(lignes);
    pile->setContentsMargins(0, 0, 0, 0);
    pile->setSpacing(0);
    pile->addWidget(m_etatPort);
    pile->addWidget(m_etatEnvoi);
    statusBar()->addWidget(lignes, 1);
    m_etatEnvoi->setText(Form1::tr("Dernière séquence : aucune depuis le démarrage"));
    statusBar()->setSizeGripEnabled(false);
    connect(&m_surveillance, &SurveillancePort::etatChange, this, &Form1::montrerEtatPort);
    connect(&m_surveillance, &SurveillancePort::rebranche, this, &Form1::consignerRebranchement);
    connect(&m_execution, &ExecutionProgramme::etapeCommencee, this, [this] {
        m_lignesEnvoyees->clear(); // once the port is open
        m_listeVidee = true;
    });
    connect(&m_execution, &ExecutionProgramme::ligneRemise, this, &Form1::ajouterLigne);
    connect(&m_execution, &ExecutionProgramme::etapeTerminee, this, &Form1::consignerEtape);
    connect(&m_execution, &ExecutionProgramme::termine, this, &Form1::finEnvoi);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    m_lien.setPort(DeterminerPort({}, m_reglages));
    montrerPort();
    chargerDesignation();
    m_rangees[0].pas->setFocus();
}

void Form1::consignerEtape(const ResultatEtape &etape)
{
    // A program's step is named by its program and its number, from 1.
    const QString source =
        programmeEnCours()
            ? QStringLiteral("%1:%2").arg(m_sourceProgramme, QString::number(etape.etape + 1))
            : QString();
    if (const auto rate = EcrireJournal(
            EnregistrementDe(etape.envoi, etape.debut, QStringLiteral("tarvik"), source)))
        signalerJournal(*rate);
}

Form1::~Form1()
{
    delete m_fenetreProgramme;
    disconnect(&m_execution, nullptr, this, nullptr);
}

void Form1::appliquerLimites(const LimitesLues &limites)
{
    m_limitesLues = limites;
    m_limites = limites.effectives;
    if (!m_rangees[0].pas)
        return; // the boxes come later, marked as they are made
    for (int numero = 1; numero <= NombreAxes; ++numero)
        for (const Colonne colonne : {Colonne::Pas, Colonne::Direction, Colonne::Vitesse})
            marquerCase(numero, colonne);
}

bool Form1::dansLesLimites(const Programme &programme, const QString &titre, const QString &source)
{
    std::optional<Echec> refus;
    if (m_limitesLues.echec) {
        refus = Echec{Form1::tr("%1.\nAucun envoi n'est possible tant qu'il l'est")
                          .arg(m_limitesLues.echec->message)};
    } else {
        QStringList valeurs;
        for (const ValeurRefusee &valeur : VerifierLimites(programme, m_limites, m_noms))
            valeurs << valeur.message;
        if (!valeurs.isEmpty())
            refus = Echec{valeurs.join(QStringLiteral(".\n\n"))};
    }
    if (!refus)
        return true;
    consignerHorsLimites(refus->message, source);
    Afficher(this, GenreMessage::Erreur, titre,
             Phrase(Echec{refus->message + Form1::tr(".\nRien n'a été envoyé")}));
    return false;
}

void Form1::consignerHorsLimites(const QString &raison, const QString &source)
{
    if (const auto rate = EcrireJournal({QDateTime::currentDateTime(),
                                         QStringLiteral("tarvik"),
                                         source,
                                         m_lien.port().peripherique,
                                         {},
                                         IssueEnvoi::HorsLimites,
                                         raison,
                                         {}}))
        signalerJournal(*rate);
}

void Form1::imposerPort(const QString &peripherique)
{
    if (peripherique.isEmpty())
        return;
    m_lien.setPort(PortImpose(peripherique));
    montrerPort();
}

QString Form1::decrirePort() const
{
    return DecrirePort(m_lien.port(), menuChoixPort());
}

void Form1::showEvent(QShowEvent *evenement)
{
    QMainWindow::showEvent(evenement);
    // Once the window is on the screen: it never waits for the port's checks.
    QTimer::singleShot(0, this, [this] {
        if (isVisible())
            m_surveillance.setActive(true);
    });
}

void Form1::closeEvent(QCloseEvent *evenement)
{
    if (m_fenetreProgramme)
        m_fenetreProgramme->close();
    QMainWindow::closeEvent(evenement);
}

void Form1::hideEvent(QHideEvent *evenement)
{
    QMainWindow::hideEvent(evenement);
    m_surveillance.setActive(false);
}

void Form1::montrerEtatPort()
{
    using E = EtatPort::Etat;
    const EtatPort &etat = m_surveillance.etat();
    const PortChoisi &port = m_lien.port();
    QString nom = port.echec ? Form1::tr("inconnu") : NomLisible(port.peripherique);
    if (!etat.peripherique.isEmpty() && etat.peripherique != port.peripherique)
        nom += QStringLiteral(" → ") + NomLisible(etat.peripherique);
    QString texte = etat.etat == E::Pret     ? Form1::tr("prêt")
                    : etat.etat == E::Absent ? Form1::tr("absent")
                    : etat.etat == E::Occupe ? Form1::tr("occupé par %1").arg(etat.raison)
                                             : Form1::tr("refusé : %1").arg(etat.raison);
    // Until the next TEST: the board may have restarted meanwhile.
    if (const QDateTime rebranche = m_surveillance.rebrancheA();
        rebranche.isValid() && etat.etat != E::Absent) {
        const QString dit = Form1::tr("rebranché à %1 : la carte a pu redémarrer")
                                .arg(rebranche.toString(QStringLiteral("HH:mm:ss")));
        texte = etat.etat == E::Pret ? dit : texte + QStringLiteral(" ; ") + dit;
    }
    m_etatPort->setText(Form1::tr("Port %1 : %2").arg(nom, texte));
    m_etatPort->setToolTip(m_etatPort->text());
}

void Form1::consignerRebranchement(const QDateTime &quand)
{
    const EtatPort &etat = m_surveillance.etat();
    const PortChoisi &port = m_lien.port();
    EnregistrementEnvoi evenement{
        quand,
        QStringLiteral("tarvik"),
        {},
        port.peripherique,
        etat.peripherique,
        IssueEnvoi::Rebranche,
        Form1::tr("débranché puis rebranché : la carte a pu redémarrer ; rien n'a été renvoyé"),
        {}};
    if (const auto rate = EcrireJournal(evenement))
        signalerJournal(*rate);
    montrerEtatPort();
}

void Form1::montrerPort()
{
    const QString texte =
        Form1::tr("Envoie les sept lignes de commande, de A à G, sur %1 (%2, ou Entrée quand le "
                  "bouton a le focus).")
            .arg(decrirePort(), m_raccourciTest);
    m_test->setToolTip(texte);
    m_test->setAccessibleDescription(texte);
    m_surveillance.surveiller(m_lien.port());
    montrerEtatPort();
}

void Form1::nommerRangee(int k, const QString &nom)
{
    const auto nommer = [&](CaseGrille *boite, Colonne colonne, const QString &description) {
        boite->setAccessibleName(QStringLiteral("%1, %2").arg(nom, NomColonne(colonne)));
        boite->decrire(description);
    };
    const RangeeAxe &rangee = m_rangees[std::size_t(k - 1)];
    nommer(rangee.pas, Colonne::Pas, Form1::tr("Nombre de pas, de 0 à 99999."));
    nommer(rangee.direction, Colonne::Direction, Form1::tr("Un caractère, par exemple + ou -."));
    nommer(rangee.vitesse, Colonne::Vitesse, Form1::tr("Vitesse, de 0 à 255."));
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

    const auto boite = [this, zone](const char *tableau, int k, Colonne colonne,
                                    const QString &texte, int gauche, int largeur) {
        auto *boite = placer(new CaseGrille(texte, zone), nomElement(tableau, k),
                             enTwips(gauche, hautRangee(k), largeur, 375), true);
        connect(boite, &QLineEdit::textChanged, this, [=, this] { marquerCase(k, colonne); });
        connect(boite, &CaseGrille::monter, this, [=, this] {
            if (k > 1)
                caseDe(colonne, k - 1)->setFocus(Qt::TabFocusReason);
        });
        connect(boite, &CaseGrille::descendre, this, [=, this] {
            if (k < NombreAxes)
                caseDe(colonne, k + 1)->setFocus(Qt::TabFocusReason);
        });
        return boite;
    };
    for (int k = 1; k <= NombreAxes; ++k) {
        RangeeAxe &rangee = m_rangees[std::size_t(k - 1)];
        rangee.nom = placer(new QLabel(NomAxe(k), zone), nomElement("Label1", k),
                            enTwips(0, hautRangee(k), 1695, 375), true);
        rangee.nom->setTextFormat(Qt::PlainText); // axis names are never markup
        rangee.pas = boite("Text1", k, Colonne::Pas, TexteInitialPas, 1800, 1095);
        rangee.direction = boite("Text3", k, Colonne::Direction, TexteInitialDirection, 3240, 375);
        rangee.direction->setMaxLength(1); // one character, which typing replaces
        rangee.vitesse = boite("Text2", k, Colonne::Vitesse, TexteInitialVitesse, 3960, 1095);
        rangee.nom->setBuddy(rangee.pas);
        nommerRangee(k, NomAxe(k));
    }

    m_lignesEnvoyees = placer(new QListWidget(zone), QStringLiteral("List1"),
                              enTwips(5160, 720, 4935, 3660), false);
    m_lignesEnvoyees->setAccessibleName(Form1::tr("Sequence Envoyé"));
    m_test = placer(new QPushButton(QStringLiteral("TEST"), zone), QStringLiteral("Command1"),
                    enTwips(1920, 3960, 1575, 495), true);
    m_test->setAutoDefault(true); // Entrée, as well as the space bar, when it has the focus
    connect(m_test, &QPushButton::clicked, this, &Form1::envoyerGrille);
    const QKeySequence raccourci(QStringLiteral("Ctrl+T"));
    m_raccourciTest = raccourci.toString(QKeySequence::NativeText);
    connect(new QShortcut(raccourci, this), &QShortcut::activated, m_test, &QPushButton::click);
    ordonnerFocus();
}

void Form1::ordonnerFocus()
{
    // The steps, then the speeds, then the directions, TEST, the list.
    QWidget *precedent = nullptr;
    for (CaseGrille *RangeeAxe::*colonne :
         {&RangeeAxe::pas, &RangeeAxe::vitesse, &RangeeAxe::direction}) {
        for (const RangeeAxe &rangee : m_rangees) {
            if (precedent)
                setTabOrder(precedent, rangee.*colonne);
            precedent = rangee.*colonne;
        }
    }
    setTabOrder(precedent, m_test);
    setTabOrder(m_test, m_lignesEnvoyees);
}

QList<Form1::Menu> Form1::barreDeMenus()
{
    // clang-format off
    return {
        {"MenuFichier", QT_TRANSLATE_NOOP("Form1", "&Fichier"), {
            {"OuvrirSequence", QT_TRANSLATE_NOOP("Form1", "Ouvrir Sequence"), &Form1::OuvrirSequence_Click, "Ctrl+O"},
            {"EnregistrerSequence", QT_TRANSLATE_NOOP("Form1", "Enregistrer Sequence"), &Form1::EnregistrerSequence_Click, "Ctrl+S"},
            {"EffacerSequenceActuelle", QT_TRANSLATE_NOOP("Form1", "Effacer Sequence Actuelle"), &Form1::EffacerSequenceActuelle_Click},
            {"Programme", QT_TRANSLATE_NOOP("Form1", "&Programme…"), &Form1::Programme_Click},
            {"JournalEnvois", QT_TRANSLATE_NOOP("Form1", "Journal des envois…"), &Form1::JournalEnvois_Click, "Ctrl+J"},
            {"Quitter", QT_TRANSLATE_NOOP("Form1", "Quitter le programme"), &Form1::Quitter_Click, "Ctrl+Q"}}},
        {"Initialisation", QT_TRANSLATE_NOOP("Form1", "&Initialisation"), {
            {"DesignAxe", QT_TRANSLATE_NOOP("Form1", "Ouvrir un fichier de designation d'axes"), &Form1::DesignAxe_Click},
            {"ChoisirPort", QT_TRANSLATE_NOOP("Form1", "Choisir le port série…"), &Form1::ChoisirPort_Click},
            {"LimitesAxes", QT_TRANSLATE_NOOP("Form1", "Limites des axes…"), &Form1::LimitesAxes_Click}}},
        {"Aide", QT_TRANSLATE_NOOP("Form1", "&Aide"), {
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
    const QString enregistree = m_reglages.reglages.langue;
    QList<Langue> choix{{{}, tr("Celle du système")}}; // an empty code: the system's
    choix += Langues();
    for (const Langue &langue : choix) {
        QAction *action = menu->addAction(langue.nom);
        action->setObjectName(QStringLiteral("Langue") + (langue.code.isEmpty()
                                                              ? QStringLiteral("Systeme")
                                                              : langue.code.toUpper()));
        action->setCheckable(true);
        action->setActionGroup(groupe);
        action->setChecked(enregistree == langue.code);
        connect(action, &QAction::triggered, this,
                [this, code = langue.code] { choisirLangue(code); });
    }
}

TextesGrille Form1::textes() const
{
    TextesGrille textes;
    for (std::size_t k = 0; k < m_rangees.size(); ++k)
        textes[k] = {m_rangees[k].pas->text(), m_rangees[k].direction->text(),
                     m_rangees[k].vitesse->text()};
    return textes;
}

void Form1::remplirGrille(const Grille &grille)
{
    for (int numero = 1; numero <= NombreAxes; ++numero) {
        const Axe &axe = grille.axe(numero);
        const RangeeAxe &rangee = m_rangees[std::size_t(numero - 1)];
        rangee.pas->setText(TextePas(axe.Pas));
        rangee.direction->setText(QString(axe.Direction));
        rangee.vitesse->setText(TexteVitesse(axe.Vitesse));
    }
}

void Form1::ajouterLigne(const QString &ligne)
{
    m_lignesEnvoyees->addItem(ligne);
}

CaseGrille *Form1::caseDe(Colonne colonne, int numero) const
{
    const RangeeAxe &rangee = m_rangees.at(std::size_t(numero - 1));
    switch (colonne) {
    case Colonne::Pas:
        return rangee.pas;
    case Colonne::Direction:
        return rangee.direction;
    case Colonne::Vitesse:
        break;
    }
    return rangee.vitesse;
}

void Form1::marquerCase(int numero, Colonne colonne)
{
    CaseGrille *boite = caseDe(colonne, numero);
    const CaseVerifiee lue = VerifierCase(
        colonne, boite->text(), &m_limites.axes[std::size_t(numero - 1)], m_limites.stricte);
    if (lue.echec)
        boite->marquer(
            CaseGrille::Marque::Refusee,
            Form1::tr("Refusé : %1.").arg(lue.echec->front().toLower() + lue.echec->mid(1)));
    else if (!lue.telleQuelle)
        boite->marquer(CaseGrille::Marque::Lue, phraseDe(lue.lecture));
    else
        boite->marquer(CaseGrille::Marque::Aucune, {});
}

std::optional<Grille> Form1::grilleVerifiee(const QString &titre, const QString &suite)
{
    const GrilleVerifiee verifiee = VerifierGrille(textes(), m_noms, &m_limites);
    if (verifiee.grille)
        return verifiee.grille;
    activateWindow(); // the box named takes the focus here
    signalerEchec(titre, Echec{verifiee.echec->message + suite}, verifiee.echec);
    return std::nullopt;
}

bool Form1::lancerProgramme(const Programme &programme, const QString &source, int depuis,
                            ExecutionProgramme::Mode mode)
{
    if (envoiEnCours() || programme.etapes.isEmpty())
        return false;
    m_surveillance.oublierRebranchement(); // said until this run
    if (!dansLesLimites(programme, Form1::tr("Programme non lancé"), source))
        return false;
    m_lanceur = Lanceur::Programme;
    m_sourceProgramme = source;
    m_depuis = depuis;
    m_debutEnvoi = QDateTime::currentDateTime();
    m_listeVidee = false;
    m_execution.demarrer(programme, depuis, programme.repetitions, mode);
    return true;
}

void Form1::envoyerGrille()
{
    if (programmeEnCours()) {
        // Never queued behind a program, to leave at a moment no one chose.
        Afficher(this, GenreMessage::Avertissement, Form1::tr("Séquence non envoyée"),
                 Form1::tr("Un programme est en cours : « TEST » n'envoie rien tant qu'il n'est "
                           "pas fini. Pour l'arrêter : « Arrêter » (Échap) dans la fenêtre "
                           "« Programme ».\nRien n'a été envoyé."));
        return;
    }
    // A click during a run gets its own run once the current one has closed
    // the port.
    ++m_demandes;
    if (!m_execution.enCours() && !m_finissant)
        lancerEnvoi();
}

void Form1::lancerEnvoi()
{
    while (m_demandes > 0) {
        --m_demandes;
        m_debutEnvoi = QDateTime::currentDateTime();
        m_surveillance.oublierRebranchement(); // said until this TEST
        if (m_limitesLues.echec) {
            montrerTentative(m_debutEnvoi, Form1::tr("hors limites"), false);
            dansLesLimites({}, Form1::tr("Séquence non envoyée"));
            continue;
        }
        const GrilleVerifiee verifiee = VerifierGrille(textes(), m_noms, &m_limites);
        if (verifiee.echec) {
            const bool horsLimite = verifiee.echec->horsLimite;
            montrerTentative(m_debutEnvoi,
                             horsLimite ? Form1::tr("hors limites") : Form1::tr("valeur refusée"),
                             false);
            if (horsLimite)
                consignerHorsLimites(verifiee.echec->message);
            signalerEchec(Form1::tr("Séquence non envoyée"),
                          Echec{verifiee.echec->message + Form1::tr(".\nRien n'a été envoyé")},
                          verifiee.echec);
            continue;
        }
        m_listeVidee = false;
        Programme test;
        test.etapes << EtapeProgramme{{}, *verifiee.grille, 0};
        m_lanceur = Lanceur::Test;
        m_execution.demarrer(test);
        return;
    }
}

void Form1::finEnvoi(const ResultatProgramme &resultat)
{
    const Lanceur lanceur = std::exchange(m_lanceur, Lanceur::Aucun);
    if (resultat.fin == ResultatProgramme::Fin::Interrompue) {
        m_demandes = 0; // the program is ending: no message, no other run
        return;
    }
    if (lanceur == Lanceur::Programme) {
        finProgramme(resultat);
        return;
    }
    m_finissant = true;
    const ResultatEnvoi dernier =
        resultat.ouverture ? *resultat.ouverture : resultat.etapes.value(0).envoi;
    if (resultat.ouverture)
        if (const auto rate =
                EcrireJournal(EnregistrementDe(dernier, m_debutEnvoi, QStringLiteral("tarvik"))))
            signalerJournal(*rate);
    m_surveillance.verifier(); // the run may have found the port in another state
    montrerTentative(m_debutEnvoi, dernier.echec ? enQuelquesMots(dernier.echec->genre) : QString(),
                     m_listeVidee);
    if (dernier.echec && signalerEchecDEnvoi(dernier))
        ++m_demandes; // once more
    else if (!dernier.echec)
        signalerAvertissements(dernier);
    m_finissant = false;
    lancerEnvoi();
}

void Form1::finProgramme(const ResultatProgramme &resultat)
{
    const QDateTime fin = QDateTime::currentDateTime();
    if (resultat.ouverture) // the steps journal themselves
        if (const auto rate = EcrireJournal(EnregistrementDe(
                *resultat.ouverture, m_debutEnvoi, QStringLiteral("tarvik"),
                QStringLiteral("%1:%2").arg(m_sourceProgramme, QString::number(m_depuis + 1)))))
            signalerJournal(*rate);
    m_surveillance.verifier(); // the run may have found the port in another state
    const std::optional<EchecLien> echec = resultat.ouverture ? resultat.ouverture->echec
                                           : resultat.etapes.isEmpty()
                                               ? std::nullopt
                                               : resultat.etapes.last().envoi.echec;
    const QString heure = fin.toString(QStringLiteral("HH:mm:ss"));
    const QString mots = echec ? enQuelquesMots(echec->genre) : Form1::tr("arrêté");
    if (resultat.fin == ResultatProgramme::Fin::Terminee)
        montrerTentative(fin, {}, m_listeVidee,
                         Form1::tr("Dernier programme : terminé à %1").arg(heure));
    else if (resultat.fin == ResultatProgramme::Fin::Arretee)
        montrerTentative(fin, mots, m_listeVidee,
                         Form1::tr("Dernier programme : arrêté à %1").arg(heure));
    else
        montrerTentative(fin, mots, m_listeVidee,
                         Form1::tr("Dernier programme : non terminé à %1 : %2").arg(heure, mots));
}

void Form1::montrerTentative(const QDateTime &quand, const QString &echec, bool listeVidee,
                             const QString &texte)
{
    const QString heure = quand.toString(QStringLiteral("HH:mm:ss"));
    if (echec.isEmpty()) {
        m_envoyeeA = heure;
        m_etatEnvoi->setText(Form1::tr("Dernière séquence : envoyée à %1").arg(heure));
    } else {
        m_etatEnvoi->setText(
            Form1::tr("Dernière séquence : non envoyée à %1 : %2").arg(heure, echec));
        if (listeVidee)
            m_envoyeeA = heure; // the list shows what went of this one
    }
    if (!texte.isEmpty())
        m_etatEnvoi->setText(texte);
    // A list this attempt did not empty is the previous sequence's: greyed,
    // and said so, never taken for what was just sent.
    const bool perimee = !echec.isEmpty() && !listeVidee && m_lignesEnvoyees->count() > 0;
    QFont police = m_lignesEnvoyees->font();
    police.setItalic(perimee);
    for (int k = 0; k < m_lignesEnvoyees->count(); ++k) {
        QListWidgetItem *element = m_lignesEnvoyees->item(k);
        element->setFont(police);
        element->setForeground(perimee ? palette().brush(QPalette::Disabled, QPalette::Text)
                                       : palette().brush(QPalette::Active, QPalette::Text));
    }
    const QString description =
        perimee ? Form1::tr("Séquence précédente, envoyée à %1 : la tentative de %2 n'a rien "
                            "envoyé.")
                      .arg(m_envoyeeA, heure)
                : QString();
    m_lignesEnvoyees->setToolTip(description);
    m_lignesEnvoyees->setAccessibleDescription(description);
    QAccessibleEvent annonce(m_etatEnvoi, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&annonce);
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

bool Form1::signalerEchecDEnvoi(const ResultatEnvoi &resultat)
{
    // What the operator can do about it, wherever the port came from.
    using G = EchecLien::Genre;
    const EchecLien &echec = *resultat.echec;
    QString conseil;
    switch (echec.genre) {
    case G::AucunPort:
        conseil =
            Form1::tr("Choisissez le port par %1, ou donnez-le par --port.").arg(menuChoixPort());
        break;
    case G::PortAbsent:
        conseil = Form1::tr("Vérifiez le câble et l'adaptateur, ou choisissez un autre port par "
                            "%1.")
                      .arg(menuChoixPort());
        break;
    case G::PortOccupe:
        conseil = Form1::tr("Fermez ce programme, puis appuyez de nouveau sur TEST.");
        break;
    case G::PermissionRefusee:
        conseil = Form1::tr("Un administrateur peut vous ajouter au groupe dialout ; ouvrez "
                            "ensuite une nouvelle session.");
        break;
    case G::PasUnPortSerie:
        conseil = Form1::tr("Choisissez un port série par %1.").arg(menuChoixPort());
        break;
    case G::DelaiDepasse:
    case G::EcritureEchouee:
        conseil = Form1::tr("Vérifiez la carte, son câble et l'état de la machine avant "
                            "d'envoyer de nouveau.");
        break;
    case G::PortDebranche:
        conseil = Form1::tr("Rebranchez l'adaptateur. La carte a pu redémarrer : vérifiez l'état "
                            "de la machine avant d'envoyer de nouveau.");
        break;
    case G::OuvertureEchouee:
    case G::Interrompu:
        break;
    }
    const QString texte = conseil.isEmpty() ? Phrase(echec) : Phrase(echec) + u'\n' + conseil;
    // Only where nothing was written may the same grid simply go again.
    const bool rien =
        resultat.lignes.isEmpty() && (echec.genre == G::PortOccupe || echec.genre == G::PortAbsent);
    if (!rien) {
        Afficher(this, GenreMessage::Erreur, Form1::tr("Séquence non envoyée"), texte);
        return false;
    }
    return Demander(this, GenreMessage::Erreur, Form1::tr("Séquence non envoyée"), texte,
                    {Form1::tr("Réessayer"), Form1::tr("Fermer")}) == 0;
}

void Form1::signalerJournal(const Echec &rate)
{
    // Once a session, and never in the way of the next TEST.
    if (std::exchange(m_journalSignale, true))
        return;
    Afficher(this, GenreMessage::Avertissement, Form1::tr("Journal des envois"),
             Form1::tr("Le journal des envois « %1 » : %2.\nLes séquences partent quand "
                       "même. Ce message ne reviendra pas avant le prochain démarrage du "
                       "panneau.")
                 .arg(NomLisible(CheminJournal()), rate.message));
}

void Form1::signalerAvertissements(const ResultatEnvoi &resultat)
{
    // Said once a session: the same stale lock would be met by every run.
    QStringList nouveaux;
    for (const QString &avertissement : resultat.avertissements)
        if (!m_avertis.contains(avertissement))
            nouveaux << avertissement;
    m_avertis += nouveaux;
    // Thrown away bytes are news at every run.
    if (const QString jetes = NoteOctetsJetes(resultat.octetsJetes); !jetes.isEmpty())
        nouveaux << jetes;
    if (!nouveaux.isEmpty())
        Afficher(
            this, GenreMessage::Information, Form1::tr("Séquence envoyée"),
            Form1::tr("La séquence a été envoyée.\n%1.").arg(nouveaux.join(QStringLiteral(".\n"))));
}

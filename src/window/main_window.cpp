#include "window/main_window.h"

#include "app/consignation.h"
#include "app/demarrage.h"
#include "app/executable.h"
#include "app/formulation.h"
#include "app/phrases_poste.h"
#include "app/surveillance_port.h"
#include "core/langues.h"
#include "system/noms.h"
#include "window/case_grille.h"
#include "window/dialogues.h"
#include "window/fenetre_programme.h"

#include <algorithm>
#include <iterator>

#include <QAccessible>
#include <QAction>
#include <QActionGroup>
#include <QDateTime>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QWindow>

namespace tarvik::window {

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
// with. Where that font is absent, a sans-serif of the same width: the
// first of them installed, looked for once among the installed families
// (asking for families that are not there costs the font system a search
// for each, at every start); where none is, the system's nearest to them.
QFont policePanneau(bool gras)
{
    static const QStringList familles = [] {
        const QStringList voulues{QStringLiteral("MS Sans Serif"),
                                  QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                                  QStringLiteral("Liberation Sans")};
        const QStringList installees = QFontDatabase::families();
        for (const QString &famille : voulues)
            if (installees.contains(famille, Qt::CaseInsensitive))
                return QStringList{famille};
        return voulues;
    }();
    QFont police;
    police.setFamilies(familles);
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

// A refusal before sending, in a few words, for the status bar.
QString enQuelquesMots(const RefusEnvoi &refus)
{
    switch (refus.genre) {
    case RefusEnvoi::Genre::ValeurRefusee:
        return Form1::tr("valeur refusée");
    case RefusEnvoi::Genre::LimitesDouteuses:
        return Form1::tr("fichier de limites douteux");
    default:
        return Form1::tr("hors limites");
    }
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

// A line of the status bar: a text longer than the window is wide goes on
// to as many lines as it needs, and the status bar grows with it. It never
// widens the window, whose width is the grid's.
class LigneDEtat : public QLabel {
public:
    explicit LigneDEtat(QWidget *parent)
        : QLabel(parent)
    {
        setWordWrap(true);
    }
    QSize sizeHint() const override { return {0, hauteur()}; }
    QSize minimumSizeHint() const override { return {0, hauteur()}; }
    // Its height is its own to say, at the width it has: the layouts above
    // would ask for a width of their own choosing.
    bool hasHeightForWidth() const override { return false; }

protected:
    void resizeEvent(QResizeEvent *evenement) override
    {
        QLabel::resizeEvent(evenement);
        // As many lines as the new width needs, once the layout that gave
        // it is done: an update asked during it would be lost.
        if (evenement->size().width() != evenement->oldSize().width())
            QMetaObject::invokeMethod(this, &QWidget::updateGeometry, Qt::QueuedConnection);
    }

private:
    // One line until the layout has given it its width.
    int hauteur() const
    {
        return testAttribute(Qt::WA_Resized) ? heightForWidth(width())
                                             : QLabel::heightForWidth(QWIDGETSIZE_MAX);
    }
};

// A link of the status line: one stop of the Tab key, its link lit as it
// gets the focus, so that Entrée follows it at once.
class LienDEtat : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void focusInEvent(QFocusEvent *evenement) override
    {
        QLabel::focusInEvent(evenement);
        if (evenement->reason() == Qt::TabFocusReason ||
            evenement->reason() == Qt::BacktabFocusReason)
            QLabel::focusNextPrevChild(true); // its only link
    }
};

// A sentence from the start of a text: its first letter up, a full stop.
QString phraseDe(const QString &texte)
{
    return texte.isEmpty() ? texte : texte.front().toUpper() + texte.mid(1) + u'.';
}

} // namespace

Form1::Form1(PosteEnvoi &poste, QWidget *parent)
    : QMainWindow(parent)
    , m_poste(poste)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));

    auto *zone = new QWidget(this);
    zone->setObjectName(QStringLiteral("zoneClient"));
    zone->setFixedSize(twips(10185), twips(4485));
    setCentralWidget(zone);
    creerControles(zone);
    creerBarreDEtat();
    // The runs go to the journal, which hears of them first; it belongs to
    // the station, whose last run it hears to the end.
    connect(new ConsignationEnvois(m_poste), &ConsignationEnvois::journalRate, this,
            &Form1::signalerJournal);
    suivrePoste();
    // The status line follows the port: the panel's watcher, plugged into
    // the station, on the station's clock.
    m_poste.brancherSurveillance(
        new SurveillancePort([this] { return m_poste.maintenant(); }, this));
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    montrerEtatPort(m_poste.etat());
    marquerCases();
    m_rangees[0].pas->setFocus();
}

void Form1::creerBarreDEtat()
{
    const auto etiquette = [this](const char *nom) {
        auto *ligne = new LigneDEtat(this);
        ligne->setObjectName(QLatin1String(nom));
        ligne->setTextFormat(Qt::PlainText);
        return ligne;
    };
    m_etatPort = etiquette("etatPort");
    m_etatEnvoi = etiquette("etatEnvoi");
    // The port's state above, the last attempt below: two lines that keep
    // their height, whatever they say. While no port is chosen, a link
    // beside the port's opens the port dialog.
    m_choisirPort = new LienDEtat(
        QStringLiteral("<a href=\"#\">%1</a>").arg(Form1::tr("Choisir…").toHtmlEscaped()), this);
    m_choisirPort->setObjectName(QStringLiteral("choisirPort"));
    m_choisirPort->setTextInteractionFlags(Qt::LinksAccessibleByMouse |
                                           Qt::LinksAccessibleByKeyboard);
    m_choisirPort->setToolTip(
        Form1::tr("Choisir le port série, comme par %1").arg(menuChoixPort()));
    m_choisirPort->setAccessibleName(Form1::tr("Choisir le port série"));
    connect(m_choisirPort, &QLabel::linkActivated, this, &Form1::choixDuPortDemande);
    setTabOrder(m_lignesEnvoyees, m_choisirPort);
    auto *lignes = new QWidget(this);
    auto *pile = new QGridLayout(lignes);
    pile->setContentsMargins(0, 0, 0, 0);
    pile->setSpacing(0);
    pile->setHorizontalSpacing(8);
    pile->addWidget(m_etatPort, 0, 0);
    pile->addWidget(m_choisirPort, 0, 1);
    pile->addWidget(m_etatEnvoi, 1, 0, 1, 2);
    // The port's words take the width the link leaves; they wrap within it.
    pile->setColumnStretch(0, 1);
    statusBar()->addWidget(lignes, 1);
    m_etatEnvoi->setText(Form1::tr("Dernière séquence : aucune depuis le démarrage"));
    statusBar()->setSizeGripEnabled(false);
}

void Form1::suivrePoste()
{
    connect(&m_poste, &PosteEnvoi::etatChange, this, &Form1::montrerEtatPort);
    connect(&m_poste, &PosteEnvoi::limitesChangees, this, &Form1::marquerCases);
    connect(&m_poste, &PosteEnvoi::etapeCommencee, this, [this] {
        m_lignesEnvoyees->clear(); // once the port is open
        m_listeVidee = true;
    });
    connect(&m_poste, &PosteEnvoi::ligneRemise, this,
            [this](const QString &, const QString &ligne) { ajouterLigne(ligne); });
    connect(&m_poste, &PosteEnvoi::termine, this, &Form1::envoiTermine);
}

QString Form1::decrirePort() const
{
    return DecrirePort(m_poste.port(), menuChoixPort());
}

void Form1::ajusterALEcran()
{
    // Within the screen's width, whatever its size and scale: the list of
    // the lines sent narrows (never below its lines' width), the grid never
    // moves. The frame is the window manager's, once it is known.
    const QScreen *ecran = screen();
    if (!ecran)
        return;
    const int cadre = frameGeometry().width() - geometry().width();
    const int libre = ecran->availableGeometry().width() - (cadre > 0 ? cadre : 8);
    constexpr int gauche = twips(5160), largeurListe = twips(4935);
    constexpr int marge = twips(10185) - gauche - largeurListe;
    // The list's font is measured only where the screen is too narrow for it.
    const int place = libre - gauche - marge;
    const int liste = place >= largeurListe
                          ? largeurListe
                          : qBound(QFontMetrics(policePanneau(false))
                                           .horizontalAdvance(QStringLiteral("A+00000:000")) +
                                       48,
                                   place, largeurListe);
    const int largeur = gauche + liste + marge;
    if (centralWidget()->width() == largeur)
        return;
    auto *titre = findChild<QLabel *>(QStringLiteral("Label5"));
    auto *trait = findChild<QFrame *>(QStringLiteral("Line1"));
    centralWidget()->setFixedSize(largeur, twips(4485));
    m_lignesEnvoyees->resize(liste, m_lignesEnvoyees->height());
    // Its title where the list's width leaves it room, at the list's left at the least.
    const int decalage = qBound(0, liste - titre->sizeHint().width(), twips(240));
    titre->setGeometry(gauche + decalage, titre->y(), qMin(liste - decalage, twips(4455)),
                       titre->height());
    trait->resize(largeur + 1, trait->height());
    layout()->activate();
}

void Form1::showEvent(QShowEvent *evenement)
{
    // Sized for its screen before it shows, and again when it moves to another one.
    ajusterALEcran();
    if (QWindow *fenetre = windowHandle())
        connect(fenetre, &QWindow::screenChanged, this, &Form1::ajusterALEcran,
                Qt::UniqueConnection);
    QMainWindow::showEvent(evenement);
    // Once the window is on the screen: it never waits for the port's checks.
    QTimer::singleShot(0, this, [this] {
        if (isVisible())
            m_poste.setSurveillance(true);
    });
}

void Form1::closeEvent(QCloseEvent *evenement)
{
    if (m_poste.programmeEnCours()) {
        // Never closed with a program going on and no Stop on the screen.
        if (Demander(this, GenreMessage::Avertissement, Form1::tr("Programme en cours"),
                     Form1::tr("Un programme est en cours. Fermer le panneau l'arrête : plus "
                               "rien ne sera envoyé."),
                     {Form1::tr("Arrêter le programme et fermer"), Form1::tr("Annuler")}) != 0) {
            evenement->ignore();
            return;
        }
        m_poste.arreter();
        m_poste.interrompre(); // the Stop, waited for: the run has ended
    }
    Q_EMIT fermeture();
    QMainWindow::closeEvent(evenement);
}

void Form1::hideEvent(QHideEvent *evenement)
{
    QMainWindow::hideEvent(evenement);
    m_poste.setSurveillance(false);
}

void Form1::montrerEtatPort(const EtatPoste &etat)
{
    using E = EtatPort::Etat;
    const PortChoisi &port = m_poste.port();
    QString nom = port.echec ? Form1::tr("inconnu") : NomLisible(port.peripherique);
    if (!etat.port.peripherique.isEmpty() && etat.port.peripherique != port.peripherique)
        nom += QStringLiteral(" → ") + NomLisible(etat.port.peripherique);
    QString texte = etat.port.etat == E::Pret     ? Form1::tr("prêt")
                    : etat.port.etat == E::Absent ? Form1::tr("absent")
                    : etat.port.etat == E::Occupe
                        ? Form1::tr("occupé par %1").arg(RaisonEtat(etat.port))
                        : Form1::tr("refusé : %1").arg(RaisonEtat(etat.port));
    QString detail;
    if (etat.usage == EtatPoste::Usage::GrilleSeule) {
        texte = Form1::tr("utilisé par ce panneau : TEST");
    } else if (etat.usage == EtatPoste::Usage::Programme) {
        // A program never saved has no file to name.
        texte = etat.source == SourceSansFichier
                    ? Form1::tr("utilisé par ce panneau : programme non enregistré, étape %1/%2")
                          .arg(etat.etape + 1)
                          .arg(etat.etapes)
                    : Form1::tr("utilisé par ce panneau : programme « %1 », étape %2/%3")
                          .arg(NomLisible(etat.source))
                          .arg(etat.etape + 1)
                          .arg(etat.etapes);
        if (etat.cycles > 1)
            texte += Form1::tr(", parcours %1/%2").arg(etat.cycle + 1).arg(etat.cycles);
    } else if (etat.limites && etat.port.etat != E::Absent) {
        texte = Form1::tr("refusé : un fichier de limites est douteux, TEST n'enverrait rien");
        detail = Formuler(*etat.limites) + u'.';
    }
    // Until the next TEST: the board may have restarted meanwhile.
    if (etat.rebrancheA.isValid() && etat.port.etat != E::Absent) {
        const QString dit = Form1::tr("rebranché à %1 : la carte a pu redémarrer")
                                .arg(etat.rebrancheA.toString(QStringLiteral("HH:mm:ss")));
        texte = etat.port.etat == E::Pret && etat.usage == EtatPoste::Usage::Aucun && !etat.limites
                    ? dit
                    : Form1::tr("%1 ; %2").arg(texte, dit);
    }
    montrerPort();
    // Port 1 is where TEST sends when no one chose: said so, and how to choose.
    const bool parDefaut = port.origine == OriginePort::Port1 && !port.echec;
    m_choisirPort->setVisible(parDefaut || port.echec);
    m_etatPort->setText(
        parDefaut
            ? Form1::tr("Port série 1 (%1), par défaut : aucun port choisi ; %2").arg(nom, texte)
            : Form1::tr("Port %1 : %2").arg(nom, texte));
    m_etatPort->setToolTip(detail.isEmpty() ? m_etatPort->text()
                                            : m_etatPort->text() + u'\n' + detail);
}

void Form1::montrerPort()
{
    const QString texte =
        Form1::tr("Envoie les sept lignes de commande, de A à G, sur %1 (%2, ou Entrée quand le "
                  "bouton a le focus).")
            .arg(decrirePort(), m_raccourciTest);
    m_test->setToolTip(texte);
    m_test->setAccessibleDescription(texte);
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

    creerRangees(zone);

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

void Form1::creerRangees(QWidget *zone)
{
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
        // Across the row as it is drawn: steps, direction, speed.
        static constexpr Colonne ordre[] = {Colonne::Pas, Colonne::Direction, Colonne::Vitesse};
        const auto place = std::find(std::begin(ordre), std::end(ordre), colonne) - ordre;
        connect(boite, &CaseGrille::gauche, this, [=, this] {
            if (place > 0)
                caseDe(ordre[place - 1], k)->setFocus(Qt::BacktabFocusReason);
        });
        connect(boite, &CaseGrille::droite, this, [=, this] {
            if (place < 2)
                caseDe(ordre[place + 1], k)->setFocus(Qt::TabFocusReason);
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

void Form1::marquerCases()
{
    for (int numero = 1; numero <= NombreAxes; ++numero)
        for (const Colonne colonne : {Colonne::Pas, Colonne::Direction, Colonne::Vitesse})
            marquerCase(numero, colonne);
}

void Form1::marquerCase(int numero, Colonne colonne)
{
    CaseGrille *boite = caseDe(colonne, numero);
    const CaseVerifiee lue =
        VerifierCase(colonne, boite->text(), &m_poste.limites().axes[std::size_t(numero - 1)],
                     m_poste.limites().stricte);
    if (const QString refus = lue.echec ? Formuler(*lue.echec) : QString(); !refus.isEmpty())
        boite->marquer(CaseGrille::Marque::Refusee,
                       Form1::tr("Refusé : %1.").arg(refus.front().toLower() + refus.mid(1)));
    else if (lue.lecture)
        boite->marquer(CaseGrille::Marque::Lue, phraseDe(Formuler(*lue.lecture)));
    else
        boite->marquer(CaseGrille::Marque::Aucune, {});
}

ExamenGrille Form1::grilleExaminee(DestinationGrille destination, const TextesVerification &mots)
{
    ExamenGrille examen = m_poste.examiner(textes(), destination);
    if (!examen.refus) {
        if (!accepterLecture(examen.lues, mots))
            examen.grille.reset();
        return examen;
    }
    activateWindow(); // the box named takes the focus here
    signalerEchec(mots.titre, Echec{TexteRefus(*examen.refus) + mots.suite},
                  examen.refus->valeurs.isEmpty()
                      ? std::nullopt
                      : std::optional<ValeurRefusee>(examen.refus->valeurs.first()));
    return examen;
}

bool Form1::accepterLecture(const QList<CaseLue> &lues, const TextesVerification &mots)
{
    if (lues.isEmpty())
        return true;
    QStringList lignes;
    for (const CaseLue &lue : lues)
        lignes << Formuler(lue);
    const QString liste = QStringLiteral("– ") + lignes.join(Form1::tr(" ;\n– ")) + u'.';
    const QString texte =
        lues.size() == 1
            ? Form1::tr("Cette case ne partira pas telle que vous l'avez tapée :\n%1\n\n%2")
                  .arg(liste, mots.corriger.arg(Form1::tr("cette case")))
            : Form1::tr("Ces cases ne partiront pas telles que vous les avez tapées :\n%1\n\n%2")
                  .arg(liste, mots.corriger.arg(Form1::tr("la première de ces cases")));
    // Entrée and Échap correct: only a deliberate choice sends.
    if (Demander(this, GenreMessage::Avertissement, Form1::tr("Cases à vérifier"), texte,
                 {Form1::tr("Corriger"), mots.bouton}, 0, 0) == 1)
        return true;
    activateWindow();
    QLineEdit *premiere = caseDe(lues.first().colonne, lues.first().axe);
    premiere->setFocus();
    premiere->selectAll();
    return false;
}

void Form1::envoyerGrille()
{
    // Boxes that go out otherwise than typed are asked about first, unless
    // the station refuses the grid anyway. What goes is what was asked
    // about, even if the program window fills the grid meanwhile.
    const ExamenGrille examen = m_poste.examiner(textes());
    if (!examen.refus &&
        !accepterLecture(examen.lues, {{},
                                       {},
                                       Form1::tr("Envoyer tel quel"),
                                       Form1::tr("« Corriger » n'envoie rien et vous ramène à "
                                                 "%1.")}))
        return;
    const auto refus = m_poste.envoyer(examen);
    if (!refus)
        return;
    if (refus->genre != RefusEnvoi::Genre::ProgrammeEnCours)
        montrerTentative(m_poste.maintenant(), enQuelquesMots(*refus), false);
    signalerRefus(*refus, Form1::tr("Séquence non envoyée"));
}

void Form1::signalerRefus(const RefusEnvoi &refus, const QString &titre)
{
    using G = RefusEnvoi::Genre;
    if (refus.genre == G::ProgrammeEnCours) {
        Afficher(this, GenreMessage::Avertissement, titre,
                 Form1::tr("Un programme est en cours : « TEST » n'envoie rien tant qu'il n'est "
                           "pas fini. Pour l'arrêter : « Arrêter » (Échap) dans la fenêtre "
                           "« Programme ».\nRien n'a été envoyé."));
        return;
    }
    signalerEchec(titre, Echec{TexteRefus(refus) + Form1::tr(".\nRien n'a été envoyé")},
                  refus.valeurs.isEmpty() ? std::nullopt
                                          : std::optional<ValeurRefusee>(refus.valeurs.first()));
}

void Form1::envoiTermine(const DeroulementEnvoi &deroulement)
{
    if (deroulement.resultat.fin == ResultatProgramme::Fin::Interrompue)
        return; // the program is ending: no message
    if (!deroulement.grilleSeule) {
        programmeTermine(deroulement);
        return;
    }
    if (deroulement.refus) {
        montrerTentative(deroulement.debut, enQuelquesMots(*deroulement.refus), false);
        signalerRefus(*deroulement.refus, Form1::tr("Séquence non envoyée"));
        return;
    }
    const ResultatEnvoi dernier = deroulement.resultat.ouverture
                                      ? *deroulement.resultat.ouverture
                                      : deroulement.resultat.etapes.value(0).envoi;
    montrerTentative(deroulement.debut,
                     dernier.echec ? enQuelquesMots(dernier.echec->genre()) : QString(),
                     std::exchange(m_listeVidee, false));
    if (dernier.echec && signalerEchecDEnvoi(deroulement)) {
        // Once more, the grid that run carried, whatever the boxes hold now.
        if (const auto refus = m_poste.envoyer(deroulement.programme.etapes.constFirst().grille))
            signalerRefus(*refus, Form1::tr("Séquence non envoyée"));
    } else if (!dernier.echec) {
        m_derniereEnvoyee = deroulement.programme.etapes.constFirst().grille;
        signalerAvertissements(dernier);
    }
}

void Form1::programmeTermine(const DeroulementEnvoi &deroulement)
{
    const ResultatEnvoi *rate = deroulement.resultat.rate();
    const std::optional<EchecDit> echec = rate ? EchecEntier(*rate) : std::nullopt;
    const QString heure = deroulement.termineA.toString(QStringLiteral("HH:mm:ss"));
    const QString mots = echec ? enQuelquesMots(echec->genre) : Form1::tr("arrêté");
    const bool videe = std::exchange(m_listeVidee, false);
    if (deroulement.resultat.fin == ResultatProgramme::Fin::Terminee)
        montrerTentative(deroulement.termineA, {}, videe,
                         Form1::tr("Dernier programme : terminé à %1").arg(heure));
    else if (deroulement.resultat.fin == ResultatProgramme::Fin::Arretee)
        montrerTentative(deroulement.termineA, mots, videe,
                         Form1::tr("Dernier programme : arrêté à %1").arg(heure));
    else
        montrerTentative(deroulement.termineA, mots, videe,
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

bool Form1::signalerEchecDEnvoi(const DeroulementEnvoi &deroulement)
{
    // What the operator can do about it, wherever the port came from.
    using G = EchecLien::Genre;
    const EchecDit echec = *EchecEntier(*deroulement.resultat.rate());
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
    if (!deroulement.reessayable) {
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
             Form1::tr("%1\nLes séquences partent quand même. Ce message ne reviendra pas "
                       "avant le prochain démarrage du panneau.")
                 .arg(phraseDe(rate.message)));
}

void Form1::signalerAvertissements(const ResultatEnvoi &resultat)
{
    // Said once a session: the same stale lock would be met by every run.
    QStringList nouveaux;
    for (const QString &avertissement : Formuler(resultat.avertissements))
        if (!m_avertis.contains(avertissement))
            nouveaux << avertissement;
    m_avertis += nouveaux;
    // Thrown away bytes, a fresh line, are news at every run.
    nouveaux += NotesOuverture(resultat);
    if (!nouveaux.isEmpty())
        Afficher(
            this, GenreMessage::Information, Form1::tr("Séquence envoyée"),
            Form1::tr("La séquence a été envoyée.\n%1.").arg(nouveaux.join(QStringLiteral(".\n"))));
}

void Form1::nommerAxes(const NomsAxes &noms)
{
    m_poste.setNoms(noms);
    for (int k = 1; k <= NombreAxes; ++k) {
        QLabel *etiquette = m_rangees[std::size_t(k - 1)].nom;
        const QString &nom = m_poste.noms()[std::size_t(k - 1)];
        nommerRangee(k, nom.isEmpty() ? NomAxe(k) : nom);
        // A screen reader hears the whole name, in words: never the
        // markup that keeps the tooltip's text as it is written.
        etiquette->setAccessibleName(nom);
        etiquette->setAccessibleDescription(nom);
        if (nom.isEmpty()) {
            etiquette->setText(NomAxe(k));
            etiquette->setToolTip({});
        } else {
            etiquette->setText(
                etiquette->fontMetrics().elidedText(nom, Qt::ElideRight, etiquette->width()));
            etiquette->setToolTip(QStringLiteral("<p>%1</p>").arg(nom.toHtmlEscaped()));
        }
    }
}

void Form1::effacerGrille()
{
    m_avantEffacement = textes();
    for (const RangeeAxe &rangee : m_rangees) {
        rangee.pas->setText(TexteInitialPas);
        rangee.direction->setText(TexteInitialDirection);
        rangee.vitesse->setText(TexteInitialVitesse);
    }
}

bool Form1::annulerEffacement()
{
    if (!m_avantEffacement)
        return false;
    const TextesGrille avant = *std::exchange(m_avantEffacement, std::nullopt);
    for (std::size_t k = 0; k < m_rangees.size(); ++k) {
        m_rangees[k].pas->setText(avant[k].pas);
        m_rangees[k].direction->setText(avant[k].direction);
        m_rangees[k].vitesse->setText(avant[k].vitesse);
    }
    return true;
}

} // namespace tarvik::window

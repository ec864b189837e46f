#include "window/fenetre_programme.h"

#include "app/executable.h"
#include "app/formulation.h"
#include "core/course.h"
#include "core/fichiers.h"
#include "system/ecriture.h"
#include "system/noms.h"
#include "window/dialogues.h"
#include "window/disposition.h"
#include "window/graphe_course.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QTabWidget>
#include <QTime>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tarvik::window {

namespace {

enum ColonneListe { ColEtape, ColLignes, ColAttente, NombreColonnes };

// The numbers the window writes and reads follow the panel's language, not
// the system's locale: "2,5 s" in French.
QLocale localeNombres()
{
    QLocale locale(FenetreProgramme::tr("fr_FR", "the locale whose numbers the window writes"));
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

// A wait: "2,5 s", "3 s".
QString texteAttente(qint64 dixiemes)
{
    const QLocale locale = localeNombres();
    return FenetreProgramme::tr("%1 s").arg(dixiemes % 10 ? locale.toString(dixiemes / 10.0, 'f', 1)
                                                          : locale.toString(dixiemes / 10));
}

// A time left, rounded up: "12 s", "2 min 05 s", "1 h 05 min".
QString texteDuree(qint64 ms)
{
    const qint64 s = (ms + 999) / 1000;
    if (s < 60)
        return FenetreProgramme::tr("%1 s").arg(s);
    if (s < 3600)
        return FenetreProgramme::tr("%1 min %2 s").arg(s / 60).arg(s % 60, 2, 10, QChar(u'0'));
    return FenetreProgramme::tr("%1 h %2 min").arg(s / 3600).arg(s % 3600 / 60, 2, 10, QChar(u'0'));
}

// A total of waits, to the tenth as tarvik-envoyer says it, with its length
// past a minute: "6,5 s", "7200 s (2 h 00 min)".
QString texteTotal(qint64 dixiemes)
{
    const QString exact = texteAttente(dixiemes);
    return dixiemes < 600 ? exact
                          : FenetreProgramme::tr("%1 (%2)").arg(exact, texteDuree(dixiemes * 100));
}

// "Étape 3 (prise)", "Étape 3".
QString titreEtape(const EtapeProgramme &etape, int k)
{
    return etape.nom.isEmpty()
               ? FenetreProgramme::tr("Étape %1").arg(k + 1)
               : FenetreProgramme::tr("Étape %1 (%2)").arg(QString::number(k + 1), etape.nom);
}

// The page of a scroll area that shows all of its rows before its list
// grows: no higher than they need at its width, their least.
class PageDefilante : public QWidget {
public:
    using QWidget::QWidget;
    int heightForWidth(int largeur) const override
    {
        return layout() ? layout()->totalMinimumHeightForWidth(largeur)
                        : QWidget::heightForWidth(largeur);
    }
};

// Tells a screen reader that `etiquette` says something new.
void annoncer(QLabel *etiquette, QAccessible::Event genre = QAccessible::NameChanged)
{
    etiquette->setAccessibleName(etiquette->text());
    QAccessibleEvent evenement(etiquette, genre);
    QAccessible::updateAccessibility(&evenement);
}

} // namespace

FenetreProgramme::FenetreProgramme(PosteEnvoi &poste,
                                   std::function<std::optional<Grille>()> grilleDuPanneau)
    : QWidget(nullptr, Qt::Window) // outside the panel's windows: its dialogs never block Stop
    , m_poste(poste)
    , m_grilleDuPanneau(std::move(grilleDuPanneau))
    , m_minuterie(new QTimer(this))
{
    setObjectName(QStringLiteral("FenetreProgramme"));
    exposerCommeFenetre();
    setLocale(localeNombres());
    // The steps, and where they take the axes, one page each; below them,
    // what a run needs, never scrolled out of view: a drift said beside
    // Lancer, the run's commands, what it would do or is doing, its bar and
    // its state. The window is never lower than these need at its width.
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("pagesProgramme"));
    m_pages->setAccessibleName(tr("Étapes et course des axes"));
    m_pages->addTab(creerEtapes(), tr("Étapes"));
    m_pages->addTab(creerCourse(), tr("&Course des axes"));
    auto *fenetre = new QVBoxLayout(this);
    fenetre->addWidget(m_pages, 1);
    fenetre->addWidget(creerDerive());
    fenetre->addWidget(creerSuivi());
    m_minuterie->setInterval(1000);
    connect(m_minuterie, &QTimer::timeout, this, &FenetreProgramme::montrerProgression);
    suivreExecution();
    nommerFenetre();
    remplirListe(-1);
    resize(sizeHint());
}

void FenetreProgramme::exposerCommeFenetre()
{
    // A window of its own to a screen reader, named by its title, not a
    // piece of another one.
    static const bool installee = [] {
        QAccessible::installFactory([](const QString &classe,
                                       QObject *objet) -> QAccessibleInterface * {
            if (classe == QLatin1String(staticMetaObject.className()) && objet &&
                objet->isWidgetType())
                return new QAccessibleWidget(static_cast<QWidget *>(objet), QAccessible::Window);
            return nullptr;
        });
        return true;
    }();
    Q_UNUSED(installee);
}

bool FenetreProgramme::event(QEvent *evenement)
{
    const bool traite = QWidget::event(evenement);
    if (evenement->type() == QEvent::LayoutRequest)
        ajusterHauteur();
    return traite;
}

void FenetreProgramme::resizeEvent(QResizeEvent *evenement)
{
    QWidget::resizeEvent(evenement);
    if (evenement->size().width() != evenement->oldSize().width())
        ajusterHauteur();
}

void FenetreProgramme::ajusterHauteur()
{
    // Rows that wrap need more height in a narrower window: never less
    // than they need at its width, within the screen.
    ajusterDerive();
    const QRect ecran = screen() ? screen()->availableGeometry() : QRect();
    const int cadre = frameGeometry().height() - height();
    const int minimale = ecran.isValid()
                             ? qMin(HauteurMinimaleDe(*this, width()), ecran.height() - cadre)
                             : HauteurMinimaleDe(*this, width());
    if (minimale != minimumHeight())
        setMinimumHeight(minimale);
    if (height() >= minimale)
        return;
    resize(width(), minimale);
    // Grown, it stays on the screen: up as far as its bottom needs.
    if (ecran.isValid() && isVisible() && frameGeometry().bottom() > ecran.bottom())
        move(x(), qMax(ecran.top(), y() - (frameGeometry().bottom() - ecran.bottom())));
}

void FenetreProgramme::ajusterDerive()
{
    // The drift's lines, three at most; the rest scrolls.
    if (m_derive->isHidden())
        return;
    const int largeur = m_defilementDerive->viewport()->width();
    const int lignes = m_derive->fontMetrics().lineSpacing();
    m_defilementDerive->setFixedHeight(
        qMin(m_derive->heightForWidth(qMax(largeur, 1)), 3 * lignes));
}

QPushButton *FenetreProgramme::bouton(const char *nom, const QString &texte,
                                      void (FenetreProgramme::*action)())
{
    auto *b = new QPushButton(texte, this);
    b->setObjectName(QLatin1String(nom));
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, action);
    return b;
}

QWidget *FenetreProgramme::creerEtapes()
{
    // The list, and under it what acts on the steps and the file: rows
    // that wrap in a narrow window. The page scrolls when the screen leaves
    // it too little height; the run's commands are not on it.
    auto *defilement = new QScrollArea(this);
    defilement->setObjectName(QStringLiteral("defilementEtapes"));
    defilement->setFrameShape(QFrame::NoFrame);
    defilement->setWidgetResizable(true);
    defilement->setFocusPolicy(Qt::NoFocus); // its controls are Tab stops, not the page
    defilement->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *page = new PageDefilante(defilement);
    auto *pile = new QVBoxLayout(page);
    pile->setContentsMargins(6, 6, 6, 6);
    m_liste = new QTreeWidget(page);
    m_liste->setObjectName(QStringLiteral("listeEtapes"));
    m_liste->setAccessibleName(tr("Étapes du programme"));
    m_liste->setColumnCount(NombreColonnes);
    m_liste->setHeaderLabels({tr("Étape"), tr("Lignes"), tr("Attente après")});
    m_liste->setRootIsDecorated(false);
    m_liste->setUniformRowHeights(true);
    m_liste->setSelectionMode(QAbstractItemView::SingleSelection);
    m_liste->setTextElideMode(Qt::ElideRight);
    m_liste->header()->setStretchLastSection(false);
    m_liste->header()->setSectionResizeMode(ColLignes, QHeaderView::Stretch);
    const QFontMetrics mesure = m_liste->fontMetrics();
    m_liste->setColumnWidth(ColEtape, mesure.averageCharWidth() * 18);
    // The header and three steps, at the least.
    m_liste->setMinimumHeight(m_liste->header()->sizeHint().height() + 3 * mesure.lineSpacing() +
                              4 * m_liste->frameWidth() + 8);
    connect(m_liste, &QTreeWidget::itemSelectionChanged, this, &FenetreProgramme::montrerChoisie);
    pile->addWidget(m_liste, 1);
    pile->addLayout(creerBoutonsEtapes());
    pile->addWidget(creerEdition());
    defilement->setWidget(page);
    // As wide as its widest control: nothing is cut on the right.
    defilement->setMinimumWidth(page->minimumSizeHint().width() +
                                defilement->verticalScrollBar()->sizeHint().width());
    return defilement;
}

QWidget *FenetreProgramme::creerCourse()
{
    // The chart takes the page's height; the figures under it, a few lines
    // high, scroll within their box.
    auto *page = new QWidget(this);
    auto *pile = new QVBoxLayout(page);
    pile->setContentsMargins(6, 6, 6, 6);
    m_graphe = new GrapheCourse(page);
    m_course = new QPlainTextEdit(page);
    m_course->setObjectName(QStringLiteral("courseAxes"));
    m_course->setAccessibleName(tr("Course des axes, en chiffres"));
    m_course->setReadOnly(true);
    m_course->setFrameShape(QFrame::NoFrame);
    m_course->setBackgroundRole(QPalette::Window);
    m_course->viewport()->setBackgroundRole(QPalette::Window);
    const int ligne = m_course->fontMetrics().lineSpacing();
    const int marges = 2 * int(m_course->document()->documentMargin()) + 4;
    m_course->setMinimumHeight(2 * ligne + marges);
    m_course->setMaximumHeight(6 * ligne + marges);
    m_course->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    pile->addWidget(m_graphe, 3);
    pile->addWidget(m_course, 1);
    return page;
}

QWidget *FenetreProgramme::creerDerive()
{
    // A drift is said beside Lancer, whatever page is shown: three lines at
    // most, the rest scrolls.
    m_defilementDerive = new QScrollArea(this);
    m_defilementDerive->setObjectName(QStringLiteral("defilementDerive"));
    m_defilementDerive->setFrameShape(QFrame::NoFrame);
    m_defilementDerive->setWidgetResizable(true);
    m_defilementDerive->setFocusPolicy(Qt::NoFocus);
    m_defilementDerive->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_derive = new QLabel(m_defilementDerive);
    m_derive->setObjectName(QStringLiteral("deriveAxes"));
    m_derive->setTextFormat(Qt::PlainText);
    m_derive->setWordWrap(true);
    m_defilementDerive->setWidget(m_derive);
    m_defilementDerive->hide();
    return m_defilementDerive;
}

QLayout *FenetreProgramme::creerBoutonsEtapes()
{
    m_ajouter = bouton("ajouterGrille", tr("&Ajouter la grille"), &FenetreProgramme::ajouterGrille);
    m_ajouter->setToolTip(tr("Ajoute la grille du panneau comme étape, après l'étape choisie, "
                             "une fois vérifiée comme « TEST » la vérifie."));
    m_charger =
        bouton("chargerGrille", tr("C&harger dans la grille"), &FenetreProgramme::chargerGrille);
    m_charger->setToolTip(tr("Remplit la grille du panneau avec l'étape choisie, sans rien "
                             "envoyer."));
    m_monter = bouton("monterEtape", tr("&Monter"), &FenetreProgramme::monter);
    m_descendre = bouton("descendreEtape", tr("&Descendre"), &FenetreProgramme::descendre);
    m_retirer = bouton("retirerEtape", tr("Re&tirer"), &FenetreProgramme::retirer);
    m_ouvrir = bouton("ouvrirProgramme", tr("&Ouvrir…"), &FenetreProgramme::ouvrir);
    m_enregistrer =
        bouton("enregistrerProgramme", tr("Enre&gistrer…"), &FenetreProgramme::enregistrer);
    // Under the list, on as many lines as the window's width needs.
    auto *rangee = new RangeeSouple;
    for (QPushButton *b :
         {m_ajouter, m_charger, m_monter, m_descendre, m_retirer, m_ouvrir, m_enregistrer})
        rangee->addWidget(b);
    return rangee;
}

QWidget *FenetreProgramme::creerEdition()
{
    auto *zone = new QWidget(this);
    auto *pile = new QVBoxLayout(zone);
    pile->setContentsMargins(0, 0, 0, 0);
    m_nom = new QLineEdit(zone);
    m_nom->setObjectName(QStringLiteral("nomEtape"));
    m_nom->setMaxLength(LongueurMaxNom);
    m_nom->setAccessibleName(tr("Nom de l'étape choisie"));
    m_nomRefuse = new QLabel(zone);
    m_nomRefuse->setObjectName(QStringLiteral("nomRefuse"));
    m_nomRefuse->setWordWrap(true);
    m_attente = new QDoubleSpinBox(zone);
    m_attente->setObjectName(QStringLiteral("attenteEtape"));
    m_attente->setAccessibleName(tr("Attente après l'étape choisie, en secondes"));
    m_attente->setRange(0, AttenteMaxDixiemes / 10);
    m_attente->setDecimals(1);
    m_attente->setSingleStep(0.5);
    m_attente->setSuffix(tr(" s"));
    m_fois = new QSpinBox(zone);
    m_fois->setObjectName(QStringLiteral("repetitions"));
    m_fois->setRange(1, RepetitionsMax);
    m_fois->setSuffix(tr(" fois", nullptr, 1));
    m_fois->setAccessibleName(tr("Répéter le programme, nombre de fois"));
    // Each field beside its label, the pairs on as many lines as the
    // window's width needs.
    auto *rangee = new RangeeSouple;
    const auto paire = [zone, rangee](const QString &texte, QWidget *champ) {
        auto *ensemble = new QWidget(zone);
        auto *mise = new QHBoxLayout(ensemble);
        mise->setContentsMargins(0, 0, 0, 0);
        auto *etiquette = new QLabel(texte, ensemble);
        etiquette->setBuddy(champ);
        mise->addWidget(etiquette);
        mise->addWidget(champ);
        rangee->addWidget(ensemble);
    };
    paire(tr("&Nom de l'étape :"), m_nom);
    paire(tr("Att&ente après :"), m_attente);
    paire(tr("Ré&péter :"), m_fois);
    pile->addLayout(rangee);
    pile->addWidget(m_nomRefuse);
    connect(m_nom, &QLineEdit::textEdited, this, &FenetreProgramme::nommer);
    connect(m_attente, &QDoubleSpinBox::valueChanged, this, &FenetreProgramme::changerAttente);
    connect(m_fois, &QSpinBox::valueChanged, this, [this](int fois) {
        m_fois->setSuffix(tr(" fois", nullptr, fois)); // "1 time", "2 times"
        m_repetitions = fois;
        montrerResume();
    });
    return zone;
}

QWidget *FenetreProgramme::creerSuivi()
{
    m_lancer = bouton("lancerProgramme", tr("&Lancer"), &FenetreProgramme::lancerProgramme);
    m_pasAPas = bouton("pasAPas", tr("Pas à pa&s"), &FenetreProgramme::avancerPasAPas);
    m_pasAPas->setToolTip(tr("Envoie l'étape suivante et s'arrête après elle."));
    m_arreter =
        bouton("arreterProgramme", tr("A&rrêter (Échap)"), &FenetreProgramme::arreterProgramme);
    // Échap stops at once, wherever the focus is in the window (a button's
    // own shortcut would wait for its animated click).
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &FenetreProgramme::arreterProgramme);
    const QString arret = tr("Plus rien n'est envoyé. Une ligne déjà remise au port ne peut pas "
                             "être rappelée : pour arrêter la machine elle-même, utilisez son "
                             "arrêt d'urgence.");
    m_arreter->setToolTip(arret);
    m_arreter->setAccessibleDescription(arret);
    auto *zone = new QWidget(this);
    zone->setObjectName(QStringLiteral("suiviProgramme"));
    auto *pile = new QVBoxLayout(zone);
    pile->setContentsMargins(0, 0, 0, 0);
    auto *commandes = new RangeeSouple;
    for (QPushButton *b : {m_lancer, m_pasAPas, m_arreter})
        commandes->addWidget(b);
    m_progression = new QLabel(zone);
    m_progression->setObjectName(QStringLiteral("progression"));
    m_progression->setTextFormat(Qt::PlainText);
    m_progression->setWordWrap(true); // never wider than the window the screen leaves
    m_barre = new QProgressBar(zone);
    m_barre->setObjectName(QStringLiteral("barreProgression"));
    m_barre->setAccessibleName(tr("Étapes envoyées"));
    m_barre->setFormat(tr("%v/%m étapes envoyées"));
    m_etat = new QLabel(zone);
    m_etat->setObjectName(QStringLiteral("etatProgramme"));
    m_etat->setTextFormat(Qt::PlainText);
    m_etat->setWordWrap(true);
    m_etat->setText(tr("Programme à l'arrêt"));
    m_etat->setAccessibleName(m_etat->text());
    pile->addLayout(commandes);
    pile->addWidget(m_progression);
    pile->addWidget(m_barre);
    pile->addWidget(m_etat);
    return zone;
}

void FenetreProgramme::suivreExecution()
{
    // The station serves TEST too: only the runs this window started count.
    connect(&m_poste, &PosteEnvoi::etapeCommencee, this, &FenetreProgramme::suivreEtape);
    connect(&m_poste, &PosteEnvoi::etapeTerminee, this, &FenetreProgramme::compterEtape);
    connect(&m_poste, &PosteEnvoi::attente, this, &FenetreProgramme::suivreAttente);
    connect(&m_poste, &PosteEnvoi::pause, this, &FenetreProgramme::suivrePause);
    connect(&m_poste, &PosteEnvoi::termine, this, &FenetreProgramme::programmeTermine);
}

Programme FenetreProgramme::programme() const
{
    Programme programme{m_etapes, m_repetitions};
    if (!programme.etapes.isEmpty())
        programme.etapes.last().attenteDixiemes = 0;
    return programme;
}

QString FenetreProgramme::source() const
{
    return m_chemin.isEmpty() ? SourceSansFichier : QFileInfo(m_chemin).fileName();
}

void FenetreProgramme::nommerFenetre()
{
    setWindowTitle(m_chemin.isEmpty()
                       ? tr("Programme")
                       : tr("Programme – %1").arg(NomLisible(QFileInfo(m_chemin).fileName())));
}

void FenetreProgramme::remplirListe(int choisie)
{
    m_liste->clear();
    m_surlignee = -1;
    for (int k = 0; k < m_etapes.size(); ++k) {
        new QTreeWidgetItem(m_liste);
        remplirRangee(k);
    }
    if (choisie >= 0 && choisie < m_etapes.size())
        m_liste->setCurrentItem(m_liste->topLevelItem(choisie));
    montrerChoisie();
    montrerResume();
}

void FenetreProgramme::montrerResume(bool barre)
{
    // At rest, what a run would do.
    const Programme programme = this->programme();
    const qint64 envois = programme.etapes.size() * qint64(programme.repetitions);
    m_progression->setText(
        programme.etapes.isEmpty()
            ? tr("Aucune étape : ajoutez la grille du panneau, ou ouvrez un programme.")
            : tr("Étapes : %1 · cycles : %2 · attentes en tout : %3")
                  .arg(programme.etapes.size())
                  .arg(programme.repetitions)
                  .arg(texteTotal(AttentesDepuis(programme, 0))));
    m_progression->setAccessibleName(m_progression->text());
    montrerCourse(0);
    if (!barre)
        return;
    // Nothing to count in an empty program: the bar says so.
    m_barre->setRange(0, int(qMax<qint64>(1, envois)));
    m_barre->setValue(0);
    m_barre->setFormat(envois ? tr("%v/%m étapes envoyées") : tr("Aucune étape à envoyer"));
}

void FenetreProgramme::montrerCourse(int depuis)
{
    const Programme programme = m_enCours ? m_lance : this->programme();
    if (programme.etapes.isEmpty()) {
        m_graphe->vider();
        m_course->clear();
        m_defilementDerive->hide();
        return;
    }
    const Course course(programme, depuis, programme.repetitions);
    m_graphe->montrer(programme, depuis, programme.repetitions, m_poste.limites(), m_poste.noms());
    m_course->setPlainText(LignesCourse(course, m_poste.noms()).join(u'\n'));
    const QStringList derives = AvertissementsDerive(course, m_poste.noms());
    QStringList phrases;
    for (const QString &derive : derives)
        phrases << tr("Attention : %1.").arg(derive);
    m_derive->setText(phrases.join(u'\n'));
    m_derive->setAccessibleName(m_derive->text());
    m_defilementDerive->setVisible(!derives.isEmpty());
    ajusterDerive();
}

void FenetreProgramme::remplirRangee(int rangee)
{
    const EtapeProgramme &etape = m_etapes[rangee];
    const QStringList lignes = etape.grille.lignes();
    const bool derniere = rangee + 1 == m_etapes.size();
    QTreeWidgetItem *element = m_liste->topLevelItem(rangee);
    element->setText(ColEtape, titreEtape(etape, rangee));
    element->setText(ColLignes, lignes.join(u' '));
    // The last step waits for nothing until a step follows it.
    const QString attente = texteAttente(etape.attenteDixiemes);
    const bool gardee = derniere && etape.attenteDixiemes > 0;
    element->setText(ColAttente, gardee     ? tr("(%1 si une étape suit)").arg(attente)
                                 : derniere ? QString()
                                            : attente);
    const QString bulle =
        titreEtape(etape, rangee) + u'\n' + lignes.join(u'\n') +
        (gardee     ? u'\n' + tr("Attente après : %1, dès qu'une étape suivra").arg(attente)
         : derniere ? QString()
                    : u'\n' + tr("Attente après : %1").arg(attente));
    for (int colonne = 0; colonne < NombreColonnes; ++colonne)
        element->setToolTip(colonne, bulle);
}

int FenetreProgramme::choisie() const
{
    const QList<QTreeWidgetItem *> choix = m_liste->selectedItems();
    return choix.isEmpty() ? -1 : m_liste->indexOfTopLevelItem(choix.first());
}

void FenetreProgramme::montrerChoisie()
{
    const int k = choisie();
    const QSignalBlocker bloqueNom(m_nom), bloqueAttente(m_attente);
    m_nom->setText(k >= 0 ? m_etapes[k].nom : QString());
    m_attente->setValue(k >= 0 ? m_etapes[k].attenteDixiemes / 10.0 : 0);
    m_nomRefuse->clear();
    actualiser();
}

void FenetreProgramme::actualiser()
{
    const int k = choisie();
    const int n = int(m_etapes.size());
    const bool libre = !m_enCours;
    m_ajouter->setEnabled(libre && n < EtapesMax);
    m_charger->setEnabled(k >= 0);
    m_monter->setEnabled(libre && k > 0);
    m_descendre->setEnabled(libre && k >= 0 && k + 1 < n);
    m_retirer->setEnabled(libre && k >= 0);
    m_nom->setEnabled(libre && k >= 0);
    // The last step's wait is kept for the step added after it.
    const bool derniere = k >= 0 && k + 1 == n;
    m_attente->setEnabled(libre && k >= 0);
    m_attente->setToolTip(derniere ? tr("La dernière étape n'attend pas : cette attente "
                                        "comptera dès qu'une étape sera ajoutée après elle.")
                                   : QString());
    m_fois->setEnabled(libre);
    m_ouvrir->setEnabled(libre); // a file dialog would stand in the way of Stop
    m_enregistrer->setEnabled(libre && n > 0);
    m_lancer->setEnabled(libre && n > 0);
    m_pasAPas->setEnabled(n > 0 && (libre || m_mode == PosteEnvoi::Mode::PasAPas));
    m_arreter->setEnabled(m_enCours);
}

void FenetreProgramme::ajouterGrille()
{
    const std::optional<Grille> grille = m_grilleDuPanneau();
    if (!grille || m_etapes.size() >= EtapesMax)
        return;
    const int k = choisie() < 0 ? int(m_etapes.size()) : choisie() + 1;
    m_etapes.insert(k, EtapeProgramme{{}, *grille, 0});
    remplirListe(k);
}

void FenetreProgramme::chargerGrille()
{
    if (const int k = choisie(); k >= 0)
        Q_EMIT grilleChargee(m_etapes[k].grille);
}

void FenetreProgramme::deplacer(int sens)
{
    const int k = choisie();
    if (m_enCours || k < 0 || k + sens < 0 || k + sens >= m_etapes.size())
        return;
    m_etapes.swapItemsAt(k, k + sens);
    remplirListe(k + sens);
}

void FenetreProgramme::retirer()
{
    const int k = choisie();
    if (m_enCours || k < 0)
        return;
    m_etapes.removeAt(k);
    remplirListe(qMin(k, int(m_etapes.size()) - 1));
}

void FenetreProgramme::nommer(const QString &texte)
{
    // The name a file would hold; a refused one is said and not kept.
    const int k = choisie();
    if (m_enCours || k < 0)
        return;
    const NomAnalyse lu = AnalyserNom(texte.toUtf8());
    m_nomRefuse->setText(lu.raison ? tr("Nom refusé : %1.").arg(Formuler(*lu.raison)) : QString());
    m_nom->setAccessibleDescription(m_nomRefuse->text());
    if (lu.raison)
        return;
    m_etapes[k].nom = lu.nom;
    remplirRangee(k);
}

void FenetreProgramme::changerAttente(double secondes)
{
    const int k = choisie();
    if (m_enCours || k < 0)
        return;
    m_etapes[k].attenteDixiemes = qBound(0, qRound(secondes * 10), AttenteMaxDixiemes);
    remplirRangee(k);
    montrerResume();
}

void FenetreProgramme::ouvrir()
{
    const QString chemin = ChoisirFichier(this, ModeFichier::Ouvrir, tr("Ouvrir un programme"),
                                          tr("Programmes (*.prog *.seq);;Tous les fichiers (*)"));
    ProgrammeAnalyse analyse;
    if (m_enCours || chemin.isEmpty() ||
        !LireFichierChoisi(
            this, chemin, tr("Programme non ouvert"),
            [&](const QByteArray &contenu) -> std::optional<QString> {
                analyse = AnalyserProgramme(contenu);
                if (analyse.echec)
                    return Formuler(*analyse.echec);
                return std::nullopt;
            },
            TailleMaxProgramme))
        return;
    m_etapes = analyse.programme->etapes;
    m_repetitions = analyse.programme->repetitions;
    m_fois->setValue(m_repetitions);
    m_chemin = chemin;
    nommerFenetre();
    remplirListe(0);
}

void FenetreProgramme::enregistrer()
{
    if (m_etapes.isEmpty())
        return;
    const QString chemin =
        ChoisirFichier(this, ModeFichier::Enregistrer, tr("Enregistrer le programme"),
                       tr("Programmes (*.prog);;Tous les fichiers (*)"), QStringLiteral("prog"));
    if (chemin.isEmpty())
        return;
    const EcritureFichier ecriture = EcrireFichier(chemin, FormerProgramme(programme()));
    if (ecriture.echec) {
        Afficher(this, GenreMessage::Erreur, tr("Programme non enregistré"),
                 tr("Le programme n'a pas pu être écrit dans « %1 » : %2.\n%3")
                     .arg(NomLisible(chemin), Formuler(*ecriture.echec),
                          ecriture.existait ? tr("Le fichier qui s'y trouvait est resté intact.")
                                            : tr("Aucun fichier n'a été créé.")));
        return;
    }
    m_chemin = chemin; // the journal names it from now on
    nommerFenetre();
}

void FenetreProgramme::demarrerProgramme(PosteEnvoi::Mode mode)
{
    if (m_enCours || m_etapes.isEmpty())
        return;
    if (m_poste.occupe()) {
        Afficher(this, GenreMessage::Avertissement, tr("Programme non lancé"),
                 tr("« TEST » envoie une séquence : lancez le programme une fois cet envoi "
                    "fini.\nRien n'a été envoyé."));
        return;
    }
    const int depuis = choisirDepart();
    if (depuis < 0)
        return;
    // Followed from its first signal, which may come before the start returns.
    m_lance = programme();
    m_mode = mode;
    m_depuis = m_etape = depuis;
    m_cycle = 0;
    m_faites = 0;
    m_enCours = true;
    m_enPause = m_enAttente = false;
    const qint64 total = m_lance.etapes.size() * qint64(m_lance.repetitions) - depuis;
    m_barre->setRange(0, int(total));
    m_barre->setValue(0);
    m_barre->setFormat(depuis ? tr("%v/%m étapes envoyées, depuis l'étape %1").arg(depuis + 1)
                              : tr("%v/%m étapes envoyées"));
    montrerCourse(depuis);
    actualiser();
    m_fermeture = false;
    if (const auto refus = m_poste.lancer(m_lance, source(), depuis, mode)) {
        m_enCours = false;
        actualiser();
        Afficher(this, GenreMessage::Erreur, tr("Programme non lancé"),
                 Phrase(Echec{TexteRefus(*refus) + tr(".\nRien n'a été envoyé")}));
        return;
    }
    if (!m_enCours)
        return; // over already
    m_etat->setText(tr("Programme lancé à %1 · attentes en tout : %2")
                        .arg(heure(), texteTotal(AttentesDepuis(m_lance, depuis))) +
                    texteDepart());
    annoncer(m_etat);
    (mode == PosteEnvoi::Mode::Continu ? m_arreter : m_pasAPas)->setFocus();
}

int FenetreProgramme::choisirDepart()
{
    // From the first step unless the operator says otherwise: Entrée and
    // Échap never leave a step out.
    const int k = choisie();
    if (k <= 0)
        return 0;
    const QString omises =
        k == 1 ? tr("Depuis elle, l'étape 1 ne sera pas envoyée : vérifiez d'abord où en est "
                    "la machine.")
               : tr("Depuis elle, les étapes 1 à %1 ne seront pas envoyées : vérifiez d'abord "
                    "où en est la machine.")
                     .arg(k);
    const int reponse = Demander(
        this, GenreMessage::Information, tr("Lancer le programme"),
        tr("Lancer le programme depuis le début, ou depuis %1, choisie dans la liste ?\n%2")
            .arg(DesignationEtape(programme(), k), omises),
        {tr("Depuis le début"), tr("Depuis l'étape %1").arg(k + 1), tr("Annuler")});
    return reponse == 0 ? 0 : reponse == 1 ? k : -1;
}

QString FenetreProgramme::texteDepart() const
{
    return m_depuis > 0 ? tr(" · depuis l'étape %1, %2")
                              .arg(QString::number(m_depuis + 1),
                                   EtapesSautees(m_depuis, m_lance.repetitions))
                        : QString();
}

void FenetreProgramme::avancerPasAPas()
{
    if (!m_enCours) {
        demarrerProgramme(PosteEnvoi::Mode::PasAPas);
        return;
    }
    // A press while the step is being sent asks for nothing more.
    if (m_enPause && m_mode == PosteEnvoi::Mode::PasAPas) {
        m_enPause = false;
        m_poste.continuer();
    }
}

void FenetreProgramme::arreterProgramme()
{
    if (m_enCours)
        m_poste.arreter();
}

void FenetreProgramme::suivreEtape(int etape, int cycle)
{
    if (!m_enCours)
        return;
    m_etape = etape;
    m_cycle = cycle;
    m_enAttente = m_enPause = false;
    m_minuterie->stop();
    surligner(etape);
    m_graphe->marquerEnvoi(PointCourse{etape, cycle});
    montrerProgression();
}

void FenetreProgramme::compterEtape(const ResultatEtape &resultat)
{
    if (!m_enCours || resultat.envoi.echec)
        return;
    m_barre->setValue(++m_faites);
}

void FenetreProgramme::suivreAttente(qint64 ms)
{
    if (!m_enCours)
        return;
    m_enAttente = true;
    m_attenteMs = ms;
    m_chrono.start();
    m_minuterie->start();
    montrerProgression();
}

void FenetreProgramme::suivrePause(int etape, int cycle)
{
    if (!m_enCours)
        return;
    m_enPause = true;
    m_progression->setText(
        tr("%1 envoyée · Pas à pas : %2 attend")
            .arg(titreEtape(m_lance.etapes[m_etape], m_etape), designation(etape)) +
        (m_lance.repetitions > 1 ? tr(" (cycle %1/%2)").arg(cycle + 1).arg(m_lance.repetitions)
                                 : QString()));
    annoncer(m_progression);
}

qint64 FenetreProgramme::reste() const
{
    // The waits after the current step, to the end of its cycle, then the
    // whole cycles left; the wait under way only for what is left of it.
    const qint64 courante = m_enAttente ? qMax<qint64>(0, m_attenteMs - m_chrono.elapsed())
                                        : qint64(m_lance.etapes[m_etape].attenteDixiemes) * 100;
    return AttentesDepuis(m_lance, m_etape + 1, m_cycle) * 100 + courante;
}

void FenetreProgramme::montrerProgression()
{
    if (!m_enCours)
        return;
    QString texte = tr("Étape %1/%2").arg(m_etape + 1).arg(m_lance.etapes.size());
    if (m_lance.repetitions > 1)
        texte += tr(" · cycle %1/%2").arg(m_cycle + 1).arg(m_lance.repetitions);
    if (m_mode == PosteEnvoi::Mode::Continu)
        texte += tr(" · reste environ %1").arg(texteDuree(reste()));
    m_progression->setText(texte);
    annoncer(m_progression);
}

void FenetreProgramme::surligner(int rangee)
{
    const auto gras = [this](int k, bool oui) {
        QTreeWidgetItem *element = m_liste->topLevelItem(k);
        if (!element)
            return;
        for (int colonne = 0; colonne < NombreColonnes; ++colonne) {
            QFont police = element->font(colonne);
            police.setBold(oui);
            element->setFont(colonne, police);
        }
    };
    gras(m_surlignee, false);
    m_surlignee = rangee;
    gras(rangee, true);
    if (QTreeWidgetItem *element = m_liste->topLevelItem(rangee)) {
        m_liste->setCurrentItem(element);
        m_liste->scrollToItem(element);
    }
}

void FenetreProgramme::programmeTermine(const DeroulementEnvoi &deroulement)
{
    if (deroulement.grilleSeule || !std::exchange(m_enCours, false))
        return;
    const ResultatProgramme &resultat = deroulement.resultat;
    m_minuterie->stop();
    surligner(-1);
    // The step to start from next: the first after a whole run, else the
    // one that did not go through.
    const auto suivante = PremiereNonEnvoyee(resultat, m_lance, m_depuis, deroulement.cycles);
    if (QTreeWidgetItem *element = m_liste->topLevelItem(suivante ? suivante->first : 0))
        m_liste->setCurrentItem(element);
    using F = ResultatProgramme::Fin;
    const QString envoyees = EtapesEnvoyees(resultat, deroulement.cycles);
    m_etat->setText((resultat.fin == F::Terminee ? tr("Programme terminé à %1").arg(heure())
                     : resultat.fin == F::Arretee
                         ? tr("Programme arrêté à %1 : %2").arg(heure(), envoyees)
                         : tr("Programme non terminé à %1 : %2").arg(heure(), envoyees)) +
                    texteDepart());
    annoncer(m_etat, QAccessible::Alert);
    montrerResume(false); // the bar keeps what went
    actualiser();
    if (!std::exchange(m_fermeture, false))
        signalerFin(deroulement);
}

void FenetreProgramme::signalerFin(const DeroulementEnvoi &deroulement)
{
    switch (deroulement.resultat.fin) {
    case ResultatProgramme::Fin::Arretee:
        Afficher(this, GenreMessage::Avertissement, tr("Programme arrêté"),
                 avecDepart(texteArret(deroulement)));
        break;
    case ResultatProgramme::Fin::Echec:
        Afficher(this, GenreMessage::Erreur, tr("Programme non terminé"),
                 avecDepart(texteEchec(deroulement)));
        break;
    case ResultatProgramme::Fin::Terminee:    // the status says it
    case ResultatProgramme::Fin::Interrompue: // the panel is ending
        break;
    }
}

QString FenetreProgramme::avecDepart(QString texte) const
{
    if (m_depuis <= 0)
        return texte;
    const qsizetype saut = texte.indexOf(u'\n');
    return texte.insert(saut < 0 ? texte.size() : saut,
                        u'\n' + tr("Programme parti de l'étape %1 : %2.")
                                    .arg(QString::number(m_depuis + 1),
                                         EtapesSautees(m_depuis, m_lance.repetitions)));
}

QString FenetreProgramme::designation(int etape) const
{
    return DesignationEtape(m_lance, etape);
}

QString FenetreProgramme::texteArret(const DeroulementEnvoi &deroulement) const
{
    const ResultatProgramme &resultat = deroulement.resultat;
    const QString envoyees = EtapesEnvoyees(resultat, deroulement.cycles);
    const QString rappel = tr("Une ligne remise au port ne peut pas être rappelée : pour "
                              "arrêter la machine elle-même, utilisez son arrêt d'urgence.");
    if (resultat.etapes.isEmpty())
        return tr("Programme arrêté avant sa première étape : rien n'a été envoyé.");
    const ResultatEtape &derniere = resultat.etapes.last();
    if (derniere.envoi.echec) // stopped while it was being sent
        return tr("Programme arrêté pendant %1 : %2.\n%3\n%4")
            .arg(designation(derniere.etape), envoyees, Phrase(*derniere.envoi.echec), rappel);
    const auto suivante = PremiereNonEnvoyee(resultat, m_lance, m_depuis, deroulement.cycles);
    if (!suivante)
        return tr("Programme arrêté : %1, rien ne restait à envoyer.\n%2").arg(envoyees, rappel);
    return tr("Programme arrêté : %1, %2 ne l'a pas été.\n%3")
        .arg(envoyees, designation(suivante->first), rappel);
}

QString FenetreProgramme::texteEchec(const DeroulementEnvoi &deroulement) const
{
    const ResultatProgramme &resultat = deroulement.resultat;
    if (resultat.ouverture || resultat.etapes.isEmpty()) {
        const ResultatEnvoi &ouverture = resultat.ouverture ? *resultat.ouverture : ResultatEnvoi{};
        return ouverture.echec
                   ? tr("Le programme n'a pas commencé.\n%1").arg(Phrase(*ouverture.echec))
                   : tr("Le programme n'a pas commencé.");
    }
    const ResultatEtape &rate = resultat.etapes.last();
    QString quoi = designation(rate.etape);
    quoi.front() = quoi.front().toUpper();
    return tr("%1 n'est pas passée : rien n'a été envoyé après elle (%2).\n%3\nVérifiez la "
              "carte, son câble et l'état de la machine avant de relancer le programme.")
        .arg(quoi, EtapesEnvoyees(resultat, deroulement.cycles),
             rate.envoi.echec ? Phrase(*rate.envoi.echec) : QString());
}

void FenetreProgramme::closeEvent(QCloseEvent *evenement)
{
    if (m_enCours) {
        // Its Stop goes with it: the run does not go on without one on the screen.
        if (Demander(this, GenreMessage::Avertissement, tr("Programme en cours"),
                     tr("Un programme est en cours, et cette fenêtre porte son « Arrêter ». La "
                        "fermer arrête le programme : plus rien ne sera envoyé."),
                     {tr("Arrêter le programme"), tr("Laisser la fenêtre ouverte")}) != 0) {
            evenement->ignore();
            return;
        }
        m_fermeture = true;
        m_poste.arreter();
    }
    QWidget::closeEvent(evenement);
}

QString FenetreProgramme::heure() const
{
    return m_poste.maintenant().toString(QStringLiteral("HH:mm:ss"));
}

} // namespace tarvik::window

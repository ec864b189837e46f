#include "window/fenetre_programme.h"

#include "app/executable.h"
#include "app/formulation.h"
#include "app/phrases_poste.h"
#include "core/course.h"
#include "core/fichiers.h"
#include "system/ecriture.h"
#include "system/noms.h"
#include "window/case_grille.h"
#include "window/dialogues.h"
#include "window/disposition.h"
#include "window/graphe_course.h"
#include "window/suivi_programme.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QTabWidget>
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

// The wait, in seconds to the tenth: `2.5` and `2,5` read alike in every
// language, and what cannot be read whole (a letter, `2.55`, more than the
// longest wait) is left as typed until the edit ends, then refused and said:
// the box never keeps a part of it. A value is taken only when the edit
// ends, never one of the numbers met while typing a longer one.
class ChampAttente : public QDoubleSpinBox {
public:
    ChampAttente(QWidget *parent, std::function<void(const QString &)> refus)
        : QDoubleSpinBox(parent)
        , m_refus(std::move(refus))
    {
        setKeyboardTracking(false);
    }

    // The number `texte` holds, if it holds one whole within the range.
    std::optional<double> lire(QString texte) const
    {
        if (texte.endsWith(suffix()))
            texte.chop(suffix().size());
        texte = texte.trimmed();
        static const QRegularExpression forme(QStringLiteral("^([0-9]{1,5})(?:[.,]([0-9]?))?$|"
                                                             "^[.,]([0-9])$"));
        const QRegularExpressionMatch lu = forme.match(texte);
        if (!lu.hasMatch())
            return std::nullopt;
        const int entiers = lu.captured(1).isEmpty() ? 0 : lu.captured(1).toInt();
        const QString dixieme = lu.captured(1).isEmpty() ? lu.captured(3) : lu.captured(2);
        const int dixiemes = entiers * 10 + (dixieme.isEmpty() ? 0 : dixieme.toInt());
        if (dixiemes < qRound(minimum() * 10) || dixiemes > qRound(maximum() * 10))
            return std::nullopt;
        return dixiemes / 10.0;
    }

    QValidator::State validate(QString &texte, int &) const override
    {
        return lire(texte) ? QValidator::Acceptable : QValidator::Intermediate;
    }
    double valueFromText(const QString &texte) const override
    {
        return lire(texte).value_or(value());
    }
    // As the list writes it: "2,5" in French, "3600" with no tenth.
    QString textFromValue(double secondes) const override
    {
        const int dixiemes = qRound(secondes * 10);
        return dixiemes % 10 ? locale().toString(dixiemes / 10.0, 'f', 1)
                             : locale().toString(dixiemes / 10);
    }
    void fixup(QString &) const override {}

    // Ends an edit under way, as leaving the box does: before a run or a
    // save that a shortcut starts without taking the focus.
    void terminer()
    {
        verifier();
        interpretText();
    }

protected:
    void keyPressEvent(QKeyEvent *evenement) override
    {
        if (evenement->key() == Qt::Key_Return || evenement->key() == Qt::Key_Enter)
            verifier();
        QDoubleSpinBox::keyPressEvent(evenement);
    }
    void focusOutEvent(QFocusEvent *evenement) override
    {
        verifier();
        QDoubleSpinBox::focusOutEvent(evenement);
    }

private:
    // Said before the box goes back to the value it had.
    void verifier()
    {
        const QString texte = lineEdit()->text();
        m_refus(lire(texte) ? QString() : texte);
    }

    std::function<void(const QString &)> m_refus;
};

} // namespace

QString TexteAttente(qint64 dixiemes)
{
    const QLocale locale = localeNombres();
    return FenetreProgramme::tr("%1 s").arg(dixiemes % 10 ? locale.toString(dixiemes / 10.0, 'f', 1)
                                                          : locale.toString(dixiemes / 10));
}

QString TitreEtape(const EtapeProgramme &etape, int k)
{
    return etape.nom.isEmpty()
               ? FenetreProgramme::tr("Étape %1").arg(k + 1)
               : FenetreProgramme::tr("Étape %1 (%2)").arg(QString::number(k + 1), etape.nom);
}

FenetreProgramme::FenetreProgramme(PosteEnvoi &poste,
                                   std::function<std::optional<Grille>()> grilleDuPanneau)
    : QWidget(nullptr, Qt::Window) // outside the panel's windows: its dialogs never block Stop
    , m_poste(poste)
    , m_grilleDuPanneau(std::move(grilleDuPanneau))
{
    setObjectName(QStringLiteral("FenetreProgramme"));
    exposerCommeFenetre();
    // Heard before its follow-up, made below: the steps and the commands
    // are ready again before the end of a run is told.
    suivreExecution();
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
    GarderHauteurMinimale(*this, [this] { ajusterDerive(); });
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

// The fields of the chosen step and of the program's repetitions.
void FenetreProgramme::creerChamps(QWidget *zone)
{
    m_nom = new QLineEdit(zone);
    m_nom->setObjectName(QStringLiteral("nomEtape"));
    m_nom->setMaxLength(LongueurMaxNom);
    m_nom->setAccessibleName(tr("Nom de l'étape choisie"));
    m_nomRefuse = new QLabel(zone);
    m_nomRefuse->setObjectName(QStringLiteral("nomRefuse"));
    m_nomRefuse->setWordWrap(true);
    m_attenteRefusee = new QLabel(zone);
    m_attenteRefusee->setObjectName(QStringLiteral("attenteRefusee"));
    m_attenteRefusee->setWordWrap(true);
    m_attente = new ChampAttente(zone, [this](const QString &texte) { refuserAttente(texte); });
    m_attente->setLocale(localeNombres());
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
}

QWidget *FenetreProgramme::creerEdition()
{
    auto *zone = new QWidget(this);
    auto *pile = new QVBoxLayout(zone);
    pile->setContentsMargins(0, 0, 0, 0);
    creerChamps(zone);
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
    pile->addWidget(m_attenteRefusee);
    SelectionnerALEntree(m_nom);
    SelectionnerALEntree(m_attente);
    SelectionnerALEntree(m_fois);
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
    pile->addLayout(commandes);
    m_suivi = new SuiviProgramme(m_poste, zone);
    pile->addWidget(m_suivi);
    return zone;
}

void FenetreProgramme::suivreExecution()
{
    // The station serves TEST too: only a program's run counts.
    connect(&m_poste, &PosteEnvoi::commence, this, &FenetreProgramme::programmeCommence);
    connect(&m_poste, &PosteEnvoi::etapeCommencee, this, &FenetreProgramme::etapeCommencee);
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
    const Programme programme = this->programme();
    m_suivi->montrerResume(programme, barre);
    montrerCourse(programme, 0);
}

void FenetreProgramme::montrerCourse(const Programme &programme, int depuis)
{
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
    element->setText(ColEtape, TitreEtape(etape, rangee));
    element->setText(ColLignes, lignes.join(u' '));
    // The last step waits for nothing until a step follows it.
    const QString attente = TexteAttente(etape.attenteDixiemes);
    const bool gardee = derniere && etape.attenteDixiemes > 0;
    element->setText(ColAttente, gardee     ? tr("(%1 si une étape suit)").arg(attente)
                                 : derniere ? QString()
                                            : attente);
    const QString bulle =
        TitreEtape(etape, rangee) + u'\n' + lignes.join(u'\n') +
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
    m_attenteRefusee->clear();
    actualiser();
}

void FenetreProgramme::actualiser()
{
    const int k = choisie();
    const int n = int(m_etapes.size());
    const bool libre = !m_poste.programmeEnCours();
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
    m_pasAPas->setEnabled(n > 0 &&
                          (libre || m_poste.deroulement().mode == PosteEnvoi::Mode::PasAPas));
    m_arreter->setEnabled(!libre);
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
    if (m_poste.programmeEnCours() || k < 0 || k + sens < 0 || k + sens >= m_etapes.size())
        return;
    m_etapes.swapItemsAt(k, k + sens);
    remplirListe(k + sens);
}

void FenetreProgramme::retirer()
{
    const int k = choisie();
    if (m_poste.programmeEnCours() || k < 0)
        return;
    m_etapes.removeAt(k);
    remplirListe(qMin(k, int(m_etapes.size()) - 1));
}

void FenetreProgramme::nommer(const QString &texte)
{
    // The name a file would hold; a refused one is said and not kept.
    const int k = choisie();
    if (m_poste.programmeEnCours() || k < 0)
        return;
    const NomAnalyse lu = AnalyserNom(texte.toUtf8());
    m_nomRefuse->setText(lu.raison ? tr("Nom refusé : %1.").arg(Formuler(*lu.raison)) : QString());
    m_nom->setAccessibleDescription(m_nomRefuse->text());
    if (lu.raison)
        return;
    m_etapes[k].nom = lu.nom;
    remplirRangee(k);
}

void FenetreProgramme::refuserAttente(const QString &texte)
{
    const QString lu = texte.endsWith(m_attente->suffix())
                           ? texte.chopped(m_attente->suffix().size()).trimmed()
                           : texte.trimmed();
    m_attenteRefusee->setText(
        texte.isEmpty() ? QString()
                        : tr("Attente « %1 » refusée : une attente va de 0 à %2, au dixième de "
                             "seconde près (2.5 ou 2,5). Elle reste de %3.")
                              .arg(lu, TexteAttente(AttenteMaxDixiemes),
                                   TexteAttente(qRound(m_attente->value() * 10))));
    m_attente->setAccessibleDescription(m_attenteRefusee->text());
}

void FenetreProgramme::changerAttente(double secondes)
{
    const int k = choisie();
    if (m_poste.programmeEnCours() || k < 0)
        return;
    m_etapes[k].attenteDixiemes = qBound(0, qRound(secondes * 10), AttenteMaxDixiemes);
    remplirRangee(k);
    montrerResume();
}

void FenetreProgramme::ouvrir()
{
    if (m_poste.programmeEnCours())
        return;
    const QString chemin = ChoisirFichier(this, ModeFichier::Ouvrir, tr("Ouvrir un programme"),
                                          tr("Programmes (*.prog *.seq);;Tous les fichiers (*)"));
    if (!chemin.isEmpty())
        ouvrirFichier(chemin);
}

bool FenetreProgramme::ouvrirFichier(const QString &chemin)
{
    ProgrammeAnalyse analyse;
    if (m_poste.programmeEnCours() || !LireFichierChoisi(
                                          this, chemin, tr("Programme non ouvert"),
                                          [&](const QByteArray &contenu) -> std::optional<QString> {
                                              analyse = AnalyserProgramme(contenu);
                                              if (analyse.echec)
                                                  return Formuler(*analyse.echec);
                                              return std::nullopt;
                                          },
                                          TailleMaxProgramme))
        return false;
    m_etapes = analyse.programme->etapes;
    m_repetitions = analyse.programme->repetitions;
    m_fois->setValue(m_repetitions);
    m_chemin = chemin;
    nommerFenetre();
    remplirListe(0);
    Q_EMIT fichierUtilise(chemin);
    return true;
}

void FenetreProgramme::enregistrer()
{
    static_cast<ChampAttente *>(m_attente)->terminer();
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
    Q_EMIT fichierUtilise(chemin);
}

void FenetreProgramme::demarrerProgramme(PosteEnvoi::Mode mode)
{
    static_cast<ChampAttente *>(m_attente)->terminer();
    if (m_poste.programmeEnCours() || m_etapes.isEmpty())
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
    // The station tells its run from its first signal, which may come
    // before the start returns.
    if (const auto refus = m_poste.lancer(programme(), source(), depuis, mode)) {
        Afficher(this, GenreMessage::Erreur, tr("Programme non lancé"),
                 Phrase(Echec{TexteRefus(*refus) + tr(".\nRien n'a été envoyé")}));
        return;
    }
    if (m_poste.programmeEnCours())
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
        : k == 2 ? tr("Depuis elle, les étapes 1 et 2 ne seront pas envoyées : vérifiez "
                      "d'abord où en est la machine.")
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

void FenetreProgramme::avancerPasAPas()
{
    if (!m_poste.programmeEnCours()) {
        demarrerProgramme(PosteEnvoi::Mode::PasAPas);
        return;
    }
    // A press while the step is being sent asks for nothing more.
    if (m_poste.enPause() && m_poste.deroulement().mode == PosteEnvoi::Mode::PasAPas)
        m_poste.continuer();
}

void FenetreProgramme::arreterProgramme()
{
    if (m_poste.programmeEnCours())
        m_poste.arreter();
}

void FenetreProgramme::programmeCommence(const DeroulementEnvoi &deroulement)
{
    if (deroulement.grilleSeule)
        return;
    montrerCourse(deroulement.programme, deroulement.depuis);
    actualiser();
}

void FenetreProgramme::etapeCommencee(const QString &execution, int etape, int cycle)
{
    if (!m_poste.programmeEnCours() || m_poste.deroulement().execution != execution)
        return;
    surligner(etape);
    m_graphe->marquerEnvoi(PointCourse{etape, cycle});
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
    if (deroulement.grilleSeule)
        return;
    surligner(-1);
    // The step to start from next: the first after a whole run, else the
    // one that did not go through.
    const auto suivante = PremiereNonEnvoyee(deroulement.resultat, deroulement.programme,
                                             deroulement.depuis, deroulement.cycles);
    if (QTreeWidgetItem *element = m_liste->topLevelItem(suivante ? suivante->first : 0))
        m_liste->setCurrentItem(element);
    montrerResume(false); // the bar keeps what went
    actualiser();
}

void FenetreProgramme::closeEvent(QCloseEvent *evenement)
{
    if (m_poste.programmeEnCours()) {
        // Its Stop goes with it: the run does not go on without one on the screen.
        if (Demander(this, GenreMessage::Avertissement, tr("Programme en cours"),
                     tr("Un programme est en cours, et cette fenêtre porte son « Arrêter ». La "
                        "fermer arrête le programme : plus rien ne sera envoyé."),
                     {tr("Arrêter le programme"), tr("Laisser la fenêtre ouverte")}) != 0) {
            evenement->ignore();
            return;
        }
        hide(); // the end of the run it stops is told nowhere
        m_poste.arreter();
    }
    QWidget::closeEvent(evenement);
}

} // namespace tarvik::window

#include "window/dialogue_limites.h"

#include "app/formulation.h"
#include "core/noms.h"
#include "window/case_grille.h"
#include "window/dialogues.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace tarvik::window {

namespace {

// The limits of a row, in the table's order, and their boxes' names.
constexpr ChampLimite Champs[] = {ChampLimite::Pas, ChampLimite::Vitesse, ChampLimite::Directions,
                                  ChampLimite::Course};
const char *const NomsBoites[] = {"pas", "vitesse", "directions", "course"};
constexpr int NombreChamps = int(std::size(Champs));

// The columns: the axis; for each limit, the machine's then the operator's;
// what applies.
constexpr int ColonneAxe = 0, ColonneEnVigueur = 1 + 2 * NombreChamps,
              NombreColonnes = ColonneEnVigueur + 1;
constexpr int colonneMachine(int champ)
{
    return 1 + 2 * champ;
}

// "Rotation base (B)", "Axe 02 (B)"
QString nomRangee(const NomsAxes &noms, int rangee)
{
    return AxeNomme(rangee + 1, noms[std::size_t(rangee)]);
}

QString nomChamp(ChampLimite champ)
{
    switch (champ) {
    case ChampLimite::Pas:
        return DialogueLimites::tr("pas maximal");
    case ChampLimite::Vitesse:
        return DialogueLimites::tr("vitesse maximale");
    case ChampLimite::Course:
        return DialogueLimites::tr("course maximale");
    case ChampLimite::Directions:
        break;
    }
    return DialogueLimites::tr("directions permises");
}

QString niveau(NiveauLimite niveau)
{
    return niveau == NiveauLimite::Machine ? DialogueLimites::tr("machine")
                                           : DialogueLimites::tr("vous");
}

// A limit as a box shows it; empty when there is none.
QString texteLimite(const LimitesAxe &axe, ChampLimite champ)
{
    switch (champ) {
    case ChampLimite::Pas:
        return axe.pas ? QString::number(*axe.pas) : QString();
    case ChampLimite::Vitesse:
        return axe.vitesse ? QString::number(*axe.vitesse) : QString();
    case ChampLimite::Course:
        return axe.course ? QString::number(*axe.course) : QString();
    case ChampLimite::Directions:
        break;
    }
    return axe.directions.value_or(QString());
}

// Whether the operator's limit lets through something the machine's does not.
bool plusLarge(const LimitesAxe &vous, const LimitesAxe &machine, ChampLimite champ)
{
    switch (champ) {
    case ChampLimite::Pas:
        return vous.pas && machine.pas && *vous.pas > *machine.pas;
    case ChampLimite::Vitesse:
        return vous.vitesse && machine.vitesse && *vous.vitesse > *machine.vitesse;
    case ChampLimite::Course:
        return vous.course && machine.course && *vous.course > *machine.course;
    case ChampLimite::Directions:
        break;
    }
    return vous.directions && machine.directions &&
           std::any_of(vous.directions->begin(), vous.directions->end(),
                       [&](QChar c) { return !machine.directions->contains(c); });
}

// "pas ≤ 5000 (machine)", "vitesse ≤ 120 (vous)", one a line
QString decrireEnVigueur(const LimitesAxe &axe)
{
    QStringList parties;
    if (axe.pas)
        parties << DialogueLimites::tr("pas ≤ %1 (%2)").arg(*axe.pas).arg(niveau(axe.niveauPas));
    if (axe.vitesse)
        parties << DialogueLimites::tr("vitesse ≤ %1 (%2)")
                       .arg(*axe.vitesse)
                       .arg(niveau(axe.niveauVitesse));
    if (axe.directions && axe.directions->isEmpty())
        parties << DialogueLimites::tr("aucune direction permise (%1)")
                       .arg(niveau(axe.niveauDirections));
    else if (axe.directions)
        parties << DialogueLimites::tr("directions « %1 » (%2)")
                       .arg(*axe.directions, niveau(axe.niveauDirections));
    if (axe.course)
        parties << DialogueLimites::tr("course ≤ %1 (%2)")
                       .arg(*axe.course)
                       .arg(niveau(axe.niveauCourse));
    return parties.isEmpty() ? DialogueLimites::tr("sans limite") : parties.join(u'\n');
}

} // namespace

DialogueLimites::DialogueLimites(const LimitesLues &lues, const NomsAxes &noms, QWidget *parent)
    : QDialog(parent)
    , m_lues(lues)
    , m_noms(noms)
    , m_table(new QTableWidget(NombreAxes, NombreColonnes, this))
    , m_stricte(new QCheckBox(DialogueLimites::tr("Lecture &stricte"), this))
    , m_lecture(new QLabel(this))
    , m_page(new QScrollArea(this))
{
    setObjectName(QStringLiteral("DialogueLimites"));
    setWindowTitle(DialogueLimites::tr("Limites des axes"));
    preparerTable();
    m_stricte->setObjectName(QStringLiteral("lectureStricte"));
    m_stricte->setChecked(m_lues.operateur.stricte);
    imposerLecture();
    connect(m_stricte, &QCheckBox::toggled, this, &DialogueLimites::montrerLecture);
    m_lecture->setObjectName(QStringLiteral("lectureEnVigueur"));
    m_lecture->setWordWrap(true);
    disposer(new QVBoxLayout(this));
    montrerLecture();
    dimensionner();
    m_cases[0][0]->setFocus();
}

void DialogueLimites::preparerTable()
{
    m_table->setObjectName(QStringLiteral("tableLimites"));
    m_table->setAccessibleName(DialogueLimites::tr("Limites de chaque axe"));
    // Headings of one word a line, so that the table fits a 1024-pixel screen.
    m_table->setHorizontalHeaderLabels({DialogueLimites::tr("Axe"),
                                        DialogueLimites::tr("Pas\nmaximal\nmachine"),
                                        DialogueLimites::tr("Pas\nmaximal\nvous"),
                                        DialogueLimites::tr("Vitesse\nmaximale\nmachine"),
                                        DialogueLimites::tr("Vitesse\nmaximale\nvous"),
                                        DialogueLimites::tr("Directions\npermises\nmachine"),
                                        DialogueLimites::tr("Directions\npermises\nvous"),
                                        DialogueLimites::tr("Course\nmaximale\nmachine"),
                                        DialogueLimites::tr("Course\nmaximale\nvous"),
                                        DialogueLimites::tr("En vigueur\n(fixée par)")});
    m_table->verticalHeader()->hide();
    // Each row as high as what applies to it needs, at its column's width.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setTabKeyNavigation(false); // Tab goes from box to box
    for (int rangee = 0; rangee < NombreAxes; ++rangee)
        remplirRangee(rangee);
    // Each limit's two columns as wide as their widest text, the boxes' too:
    // a box's own size hint would ask for seventeen characters.
    m_table->resizeColumnToContents(ColonneAxe);
    for (int champ = 0; champ < NombreChamps; ++champ) {
        const int largeur = std::max(largeurTextes(colonneMachine(champ)),
                                     largeurTextes(colonneMachine(champ) + 1));
        m_table->setColumnWidth(colonneMachine(champ), largeur);
        // The longest value a box takes, with the sign of a flagged box.
        const QFontMetrics mesure = m_table->fontMetrics();
        const int signe = style()->pixelMetric(QStyle::PM_SmallIconSize) + 8;
        const int valeur = mesure.horizontalAdvance(QLatin1String(
                               Champs[champ] == ChampLimite::Course ? "99999999" : "99999")) +
                           2 * mesure.averageCharWidth() + 2;
        m_table->setColumnWidth(colonneMachine(champ) + 1, std::max(largeur, valeur + signe));
    }
    // What applies takes the room left, going on to more lines rather than
    // pushing itself out of a narrow screen.
    m_largeurEnVigueur = largeurTextes(ColonneEnVigueur);
    m_table->setColumnWidth(ColonneEnVigueur, 16 * fontMetrics().averageCharWidth());
    m_table->horizontalHeader()->setStretchLastSection(true);
}

int DialogueLimites::largeurTextes(int colonne) const
{
    const QFontMetrics mesure = m_table->fontMetrics();
    int largeur = m_table->horizontalHeader()->sectionSizeHint(colonne);
    const auto mesurer = [&](const QString &texte) {
        for (const QString &ligne : texte.split(u'\n'))
            largeur = std::max(largeur,
                               mesure.horizontalAdvance(ligne) + 2 * mesure.averageCharWidth() + 2);
    };
    for (int rangee = 0; rangee < NombreAxes; ++rangee) {
        if (const QTableWidgetItem *cellule = m_table->item(rangee, colonne))
            mesurer(cellule->text());
        else if (const auto *boite =
                     m_table->cellWidget(rangee, colonne)
                         ? m_table->cellWidget(rangee, colonne)->findChild<QLineEdit *>()
                         : nullptr)
            mesurer(boite->text().isEmpty() ? boite->placeholderText() : boite->text());
    }
    return largeur;
}

void DialogueLimites::disposer(QVBoxLayout *dialogue)
{
    // Everything but the buttons on one page, which scrolls when the screen
    // is too small for it: the table keeps its seven rows.
    m_page->setObjectName(QStringLiteral("pageLimites"));
    m_page->setWidgetResizable(true);
    m_page->setFrameShape(QFrame::NoFrame);
    m_page->setFocusPolicy(Qt::NoFocus);
    auto *contenu = new QWidget(m_page);
    auto *mise = new QVBoxLayout(contenu);
    mise->setContentsMargins(0, 0, 0, 0);
    expliquer(mise);
    m_table->resizeRowsToContents();
    m_table->setMinimumHeight(m_table->horizontalHeader()->sizeHint().height() +
                              m_table->verticalHeader()->length() + 2 * m_table->frameWidth() +
                              m_table->horizontalScrollBar()->sizeHint().height());
    mise->addWidget(m_table, 1);
    mise->addWidget(m_stricte);
    mise->addWidget(m_lecture);
    m_page->setWidget(contenu);
    dialogue->addWidget(m_page, 1);
    auto *boutons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    m_enregistrer = boutons->button(QDialogButtonBox::Save);
    m_enregistrer->setObjectName(QStringLiteral("enregistrerLimites"));
    dialogue->addWidget(boutons);
    connect(boutons, &QDialogButtonBox::accepted, this, &DialogueLimites::accept);
    connect(boutons, &QDialogButtonBox::rejected, this, &DialogueLimites::reject);
}

void DialogueLimites::expliquer(QVBoxLayout *mise)
{
    const auto texte = [this, mise](const QString &contenu, const char *nom) {
        auto *etiquette = new QLabel(contenu, this);
        etiquette->setObjectName(QLatin1String(nom));
        etiquette->setTextFormat(Qt::PlainText);
        etiquette->setWordWrap(true);
        mise->addWidget(etiquette);
    };
    const QStringList machine = m_lues.fichiersMachine;
    texte((machine.isEmpty()
               ? DialogueLimites::tr("Aucun fichier de limites de la machine n'a été lu (%1) : "
                                     "seules vos limites s'appliquent.")
                     .arg(NomLisible(CheminsLimitesMachine().join(QStringLiteral(", "))))
               : DialogueLimites::tr("Les limites de la machine sont fixées pour ce banc (%1) : "
                                     "vous ne pouvez que les resserrer.")
                     .arg(NomLisible(machine.join(QStringLiteral(", "))))) +
              u'\n' +
              DialogueLimites::tr("La plus stricte des deux limites l'emporte, et la colonne "
                                  "« En vigueur » dit qui l'a fixée. Une valeur plus large que "
                                  "celle de la machine est gardée dans votre fichier (%1), mais "
                                  "c'est celle de la machine qui s'applique (pour les directions : "
                                  "seules celles que les deux permettent). Une case vide ne "
                                  "fixe aucune limite de votre part. La course maximale est le "
                                  "plus grand écart, en pas, qu'un programme peut faire prendre "
                                  "à l'axe depuis son départ, d'un côté comme de l'autre.")
                  .arg(NomLisible(CheminLimitesOperateur())),
          "explication");
    if (m_lues.echec)
        texte(DialogueLimites::tr("Attention : %1.\nTant qu'un fichier de limites est douteux, "
                                  "tout envoi est refusé. Enregistrer remplace votre fichier "
                                  "s'il est douteux, et garde l'ancien à côté.")
                  .arg(Formuler(*m_lues.echec)),
              "limitesDouteuses");
}

void DialogueLimites::remplirRangee(int rangee)
{
    const QString nom = nomRangee(m_noms, rangee);
    m_table->setItem(rangee, ColonneAxe, new QTableWidgetItem(nom));
    const LimitesAxe &machine = m_lues.machine.axes[std::size_t(rangee)];
    const LimitesAxe &operateur = m_lues.operateur.axes[std::size_t(rangee)];
    for (int champ = 0; champ < NombreChamps; ++champ) {
        const QString fixee = texteLimite(machine, Champs[champ]);
        auto *cellule =
            new QTableWidgetItem(fixee.isEmpty() ? DialogueLimites::tr("sans limite") : fixee);
        cellule->setData(Qt::AccessibleTextRole,
                         DialogueLimites::tr("%1, %2 (machine) : %3")
                             .arg(nom, nomChamp(Champs[champ]), cellule->text()));
        m_table->setItem(rangee, colonneMachine(champ), cellule);
        auto *boite = new CaseGrille(texteLimite(operateur, Champs[champ]), nullptr);
        boite->setObjectName(
            QStringLiteral("%1_%2").arg(QLatin1String(NomsBoites[champ])).arg(rangee + 1));
        boite->setPlaceholderText(DialogueLimites::tr("sans limite"));
        boite->setAccessibleName(
            DialogueLimites::tr("%1, %2 (vous)").arg(nom, nomChamp(Champs[champ])));
        boite->decrire(DialogueLimites::tr("Limite de la machine : %1.").arg(cellule->text()));
        boite->setFrame(false);
        boite->installEventFilter(this);
        m_signes[std::size_t(rangee)][std::size_t(champ)] =
            boite->addAction(QIcon(), QLineEdit::TrailingPosition);
        // At the box's own height in the middle of its cell, however high the
        // row: its mark keeps its size.
        auto *place = new QWidget;
        auto *mise = new QVBoxLayout(place);
        mise->setContentsMargins(0, 0, 0, 0);
        mise->addWidget(boite, 0, Qt::AlignVCenter);
        place->setFocusProxy(boite);
        m_table->setCellWidget(rangee, colonneMachine(champ) + 1, place);
        m_cases[std::size_t(rangee)][std::size_t(champ)] = boite;
        connect(boite, &QLineEdit::textChanged, this, [this, rangee] { montrerEnVigueur(rangee); });
        connect(boite, &CaseGrille::monter, this,
                [this, rangee, champ] { allerA(rangee, champ, -NombreChamps); });
        connect(boite, &CaseGrille::descendre, this, [this, rangee, champ] {
            if (rangee + 1 < NombreAxes)
                allerA(rangee, champ, NombreChamps);
        });
    }
    m_table->setItem(rangee, ColonneEnVigueur, new QTableWidgetItem);
    montrerEnVigueur(rangee);
}

std::optional<Echec> DialogueLimites::lireRangee(int rangee, LimitesAxe &axe,
                                                 QLineEdit **refusee) const
{
    for (int champ = 0; champ < NombreChamps; ++champ) {
        QLineEdit *boite = m_cases[std::size_t(rangee)][std::size_t(champ)];
        if (boite->text().isEmpty())
            continue; // no limit of the operator's
        if (auto raison =
                AnalyserLimite(Champs[champ], boite->text(), axe, NiveauLimite::Operateur)) {
            if (refusee)
                *refusee = boite;
            return Echec{
                DialogueLimites::tr("%1 : %2").arg(nomChamp(Champs[champ]), Formuler(*raison))};
        }
    }
    return std::nullopt;
}

void DialogueLimites::montrerEnVigueur(int rangee)
{
    QTableWidgetItem *cellule = m_table->item(rangee, ColonneEnVigueur);
    if (!cellule)
        return; // the row is being made
    LimitesAxe vous;
    const auto refus = lireRangee(rangee, vous, nullptr);
    Limites machine, operateur;
    machine.axes[std::size_t(rangee)] = m_lues.machine.axes[std::size_t(rangee)];
    operateur.axes[std::size_t(rangee)] = vous;
    cellule->setText(
        refus ? DialogueLimites::tr("à corriger : %1").arg(refus->message)
              : decrireEnVigueur(PlusStrictes(machine, operateur).axes[std::size_t(rangee)]));
    cellule->setToolTip(cellule->text());
    marquerRangee(rangee);
}

void DialogueLimites::marquerRangee(int rangee)
{
    const LimitesAxe &fixee = m_lues.machine.axes[std::size_t(rangee)];
    for (int champ = 0; champ < NombreChamps; ++champ) {
        const QString texte = m_cases[std::size_t(rangee)][std::size_t(champ)]->text();
        LimitesAxe vous; // this box alone, whatever the others hold
        const auto refus =
            texte.isEmpty() ? std::nullopt
                            : AnalyserLimite(Champs[champ], texte, vous, NiveauLimite::Operateur);
        if (texte.isEmpty())
            signaler(rangee, champ, CaseGrille::Marque::Aucune,
                     DialogueLimites::tr("Vide : aucune limite de votre part."));
        else if (refus)
            signaler(rangee, champ, CaseGrille::Marque::Refusee,
                     DialogueLimites::tr("À corriger : %1.").arg(Formuler(*refus)));
        else if (Champs[champ] == ChampLimite::Directions &&
                 plusLarge(vous, fixee, Champs[champ])) {
            // Only the directions both allow apply: perhaps none at all.
            QString hors, communes;
            for (const QChar c : *vous.directions)
                (fixee.directions->contains(c) ? communes : hors) += c;
            signaler(rangee, champ, CaseGrille::Marque::Lue,
                     DialogueLimites::tr("Directions que la machine ne permet pas (« %1 ») : "
                                         "gardées dans votre fichier, mais seules celles que "
                                         "la machine permet aussi s'appliquent : %2.")
                         .arg(hors, communes.isEmpty()
                                        ? DialogueLimites::tr("aucune direction permise")
                                        : DialogueLimites::tr("« %1 »").arg(communes)));
        } else if (plusLarge(vous, fixee, Champs[champ]))
            signaler(rangee, champ, CaseGrille::Marque::Lue,
                     DialogueLimites::tr("Plus large que la limite de la machine (%1) : "
                                         "gardée dans votre fichier, mais c'est celle de "
                                         "la machine qui s'applique.")
                         .arg(texteLimite(fixee, Champs[champ])));
        else
            signaler(rangee, champ, CaseGrille::Marque::Aucune, QString());
    }
}

void DialogueLimites::signaler(int rangee, int champ, CaseGrille::Marque marque,
                               const QString &explication)
{
    m_cases[std::size_t(rangee)][std::size_t(champ)]->marquer(marque, explication);
    // A sign in the box, a shape that says which: a looser limit warns, a
    // refused one stops.
    QAction *signe = m_signes[std::size_t(rangee)][std::size_t(champ)];
    signe->setVisible(marque != CaseGrille::Marque::Aucune);
    signe->setIcon(style()->standardIcon(marque == CaseGrille::Marque::Refusee
                                             ? QStyle::SP_MessageBoxCritical
                                             : QStyle::SP_MessageBoxWarning));
    signe->setToolTip(explication);
}

void DialogueLimites::imposerLecture()
{
    if (!m_lues.machine.stricte)
        return;
    // Shown as the machine sets it; the operator's own choice stays in
    // their file as it was.
    m_stricte->setChecked(true);
    m_stricte->setEnabled(false);
    m_stricte->setText(DialogueLimites::tr("Lecture stricte : imposée par la machine"));
    const QString raison =
        DialogueLimites::tr("Imposée par le fichier de limites de la machine (%1) : vous ne "
                            "pouvez pas la retirer.")
            .arg(NomLisible(m_lues.fichiersMachine.join(QStringLiteral(", "))));
    m_stricte->setToolTip(raison);
    m_stricte->setAccessibleDescription(raison);
}

void DialogueLimites::allerA(int rangee, int champ, int decalage)
{
    const int suivante = rangee * NombreChamps + champ + decalage;
    if (suivante < 0)
        return;
    if (suivante >= NombreAxes * NombreChamps) {
        m_enregistrer->setFocus(Qt::TabFocusReason);
        m_page->ensureWidgetVisible(m_enregistrer);
        return;
    }
    const int rangeeSuivante = suivante / NombreChamps, champSuivant = suivante % NombreChamps;
    m_table->scrollTo(m_table->model()->index(rangeeSuivante, colonneMachine(champSuivant) + 1));
    CaseGrille *boite = m_cases[std::size_t(rangeeSuivante)][std::size_t(champSuivant)];
    boite->setFocus(Qt::TabFocusReason);
    m_page->ensureWidgetVisible(boite);
}

bool DialogueLimites::eventFilter(QObject *objet, QEvent *evenement)
{
    const auto *touche =
        evenement->type() == QEvent::KeyPress ? static_cast<QKeyEvent *>(evenement) : nullptr;
    if (touche && (touche->key() == Qt::Key_Return || touche->key() == Qt::Key_Enter) &&
        (touche->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        for (int rangee = 0; rangee < NombreAxes; ++rangee)
            for (int champ = 0; champ < NombreChamps; ++champ)
                if (m_cases[std::size_t(rangee)][std::size_t(champ)] == objet) {
                    allerA(rangee, champ, 1);
                    return true; // the value stays in its box: nothing is saved yet
                }
    }
    return QDialog::eventFilter(objet, evenement);
}

void DialogueLimites::keyPressEvent(QKeyEvent *evenement)
{
    // Entrée saves on the save button alone, which takes it before the
    // dialog does; anywhere else it does nothing.
    if ((evenement->key() == Qt::Key_Return || evenement->key() == Qt::Key_Enter) &&
        (evenement->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        evenement->accept();
        return;
    }
    QDialog::keyPressEvent(evenement);
}

void DialogueLimites::showEvent(QShowEvent *evenement)
{
    QDialog::showEvent(evenement);
    // Not drawn as the button Entrée presses, since it is not one.
    m_enregistrer->setDefault(false);
}

void DialogueLimites::montrerLecture()
{
    m_lecture->setText(
        DialogueLimites::tr("En lecture stricte, chaque case de la grille doit contenir "
                            "exactement ce qui part : des chiffres seuls pour les pas et la "
                            "vitesse, un seul caractère pour la direction.") +
        u' ' +
        (m_lues.machine.stricte ? DialogueLimites::tr("En vigueur : lecture stricte (machine).")
         : m_stricte->isChecked()
             ? DialogueLimites::tr("En vigueur : lecture stricte (vous).")
             : DialogueLimites::tr("En vigueur : lecture souple, selon les règles d'origine du "
                                   "panneau.")));
}

void DialogueLimites::dimensionner()
{
    // The free area of the screen, in the pixels the scale factor leaves.
    const QScreen *ecran = screen();
    const QSize libre = ecran ? ecran->availableGeometry().size() * 0.96 : QSize(900, 520);
    // The whole table, when it fits; what applies on as few lines as it can.
    int colonnes = m_largeurEnVigueur;
    for (int colonne = 0; colonne < ColonneEnVigueur; ++colonne)
        colonnes += m_table->columnWidth(colonne);
    const int table =
        colonnes + 2 * m_table->frameWidth() + m_table->verticalScrollBar()->sizeHint().width();
    const QMargins marges = layout()->contentsMargins();
    const int largeur = std::min(table + m_page->verticalScrollBar()->sizeHint().width() +
                                     marges.left() + marges.right(),
                                 libre.width());
    // The page's height at that width, its texts wrapped, and the buttons.
    const int page = m_page->widget()->heightForWidth(largeur - marges.left() - marges.right());
    const int hauteur = page + layout()->spacing() + marges.top() + marges.bottom() +
                        m_enregistrer->sizeHint().height() + 2 * m_page->frameWidth();
    resize(QSize(largeur, hauteur).boundedTo(libre));
}

Limites DialogueLimites::operateur() const
{
    Limites limites;
    for (int rangee = 0; rangee < NombreAxes; ++rangee)
        lireRangee(rangee, limites.axes[std::size_t(rangee)], nullptr);
    // A strict reading the machine imposes is not the operator's to save.
    limites.stricte = m_stricte->isEnabled() ? m_stricte->isChecked() : m_lues.operateur.stricte;
    if (limites.stricte)
        limites.niveauStricte = NiveauLimite::Operateur;
    return limites;
}

void DialogueLimites::accept()
{
    for (int rangee = 0; rangee < NombreAxes; ++rangee) {
        LimitesAxe axe;
        QLineEdit *refusee = nullptr;
        if (const auto refus = lireRangee(rangee, axe, &refusee)) {
            Afficher(this, GenreMessage::Erreur, DialogueLimites::tr("Limite refusée"),
                     DialogueLimites::tr("%1, %2.\nCorrigez la case, ou videz-la pour ne fixer "
                                         "aucune limite.")
                         .arg(nomRangee(m_noms, rangee), refus->message));
            refusee->setFocus();
            refusee->selectAll();
            return;
        }
    }
    m_ecriture = EcrireLimitesOperateur(operateur());
    if (m_ecriture.echec) {
        Afficher(this, GenreMessage::Erreur, DialogueLimites::tr("Limites non enregistrées"),
                 DialogueLimites::tr("Vos limites n'ont pas pu être enregistrées dans « %1 » : "
                                     "%2.\nLes limites précédentes restent en vigueur.")
                     .arg(NomLisible(CheminLimitesOperateur()), Formuler(*m_ecriture.echec)));
        return;
    }
    QDialog::accept();
}

} // namespace tarvik::window

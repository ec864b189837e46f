#include "window/dialogue_journal.h"

#include "app/formulation.h"
#include "core/axes.h"
#include "core/fichiers.h"
#include "system/ecriture.h"
#include "system/lecture.h"
#include "system/noms.h"
#include "window/dialogues.h"
#include "window/disposition.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace tarvik::window {

namespace {

// The journal's end shown: some thousand records.
constexpr qsizetype TailleVue = 256 * 1024;

// How often the shown dialog reads the journal again.
constexpr int IntervalleRelecture = 1000; // ms

enum Colonne { ColHeure, ColExecutable, ColSource, ColPort, ColIssue, ColRaison, NombreColonnes };

QStringList titresColonnes()
{
    return {DialogueJournal::tr("Heure"),  DialogueJournal::tr("Programme"),
            DialogueJournal::tr("Source"), DialogueJournal::tr("Port"),
            DialogueJournal::tr("Issue"),  DialogueJournal::tr("Raison")};
}

// The outcome in the panel's language; the journal keeps its own words.
QString texteIssue(IssueEnvoi issue)
{
    switch (issue) {
    case IssueEnvoi::Envoyee:
        return DialogueJournal::tr("envoyée");
    case IssueEnvoi::PortRefuse:
        return DialogueJournal::tr("port refusé");
    case IssueEnvoi::Echec:
        return DialogueJournal::tr("échec");
    case IssueEnvoi::Rebranche:
        return DialogueJournal::tr("rebranché");
    case IssueEnvoi::HorsLimites:
        return DialogueJournal::tr("hors limites");
    case IssueEnvoi::Arretee:
        return DialogueJournal::tr("arrêtée");
    case IssueEnvoi::Interrompue:
        break;
    }
    return DialogueJournal::tr("interrompue");
}

// The port chosen, and the device it led to when that is another name.
QString textePort(const EnregistrementEnvoi &envoi)
{
    if (envoi.peripherique.isEmpty() || envoi.peripherique == envoi.portChoisi)
        return envoi.portChoisi;
    return DialogueJournal::tr("%1 → %2").arg(envoi.portChoisi, envoi.peripherique);
}

// A cell shortened in its middle: a port keeps its start and the device
// it led to.
class AuMilieu : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->textElideMode = Qt::ElideMiddle;
    }
};

// The end of the journal, its first line left out when the bound cut it;
// or why there is nothing to show.
QByteArray lireJournal(QString &etat)
{
    const FichierLu lu = LireFin(CheminJournal(), TailleVue);
    if (lu.absent)
        etat = DialogueJournal::tr("Aucun envoi n'a encore été consigné.");
    else if (lu.echec)
        etat = DialogueJournal::tr("Le journal ne peut pas être lu : %1.").arg(Formuler(*lu.echec));
    if (lu.absent || lu.echec)
        return {};
    QByteArray contenu = lu.contenu;
    if (contenu.size() == TailleVue)
        contenu.remove(0, contenu.indexOf('\n') + 1);
    return contenu;
}

// A CSV field (RFC 4180): quoted, its quotes doubled. A text a spreadsheet
// would take for a formula (= + - @ first) gets an apostrophe before it.
QByteArray champCsv(QString texte)
{
    if (!texte.isEmpty() && QStringView(u"=+-@").contains(texte.front()))
        texte.prepend(u'\'');
    return '"' + texte.replace(u'"', QStringLiteral("\"\"")).toUtf8() + '"';
}

QByteArray rangeeCsv(const QStringList &champs)
{
    QByteArrayList octets;
    for (const QString &champ : champs)
        octets << champCsv(champ);
    return octets.join(',') + "\r\n";
}

// The records as a CSV table with a header row, one column per line.
QByteArray formerCsv(const QList<const EnregistrementEnvoi *> &enregistrements)
{
    QStringList titres{DialogueJournal::tr("Heure"),        DialogueJournal::tr("Programme"),
                       DialogueJournal::tr("Source"),       DialogueJournal::tr("Port"),
                       DialogueJournal::tr("Périphérique"), DialogueJournal::tr("Issue"),
                       DialogueJournal::tr("Raison")};
    for (int k = 1; k <= NombreAxes; ++k)
        titres << QString(LettreAxe(k));
    QByteArray csv = rangeeCsv(titres);
    for (const EnregistrementEnvoi *envoi : enregistrements) {
        QStringList champs{envoi->debut.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")),
                           envoi->executable,
                           envoi->source,
                           envoi->portChoisi,
                           envoi->peripherique,
                           texteIssue(envoi->issue),
                           envoi->raison};
        for (int k = 0; k < NombreAxes; ++k)
            champs << envoi->lignes.value(k);
        csv += rangeeCsv(champs);
    }
    return csv;
}

// The journal's file, on one line: its path elided in the middle when the
// window is narrower than the whole (a home or a clone at a long path), so
// that the window never grows wider than the screen; its bubble and its
// accessible description say it whole.
class LigneFichier : public QLabel {
public:
    LigneFichier(const QString &chemin, QWidget *parent)
        : QLabel(parent)
        , m_chemin(chemin)
    {
        setObjectName(QStringLiteral("fichierJournal"));
        setTextFormat(Qt::PlainText);
        setTextInteractionFlags(Qt::TextSelectableByMouse);
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        setToolTip(texte(chemin));
        setAccessibleDescription(toolTip());
        ecrire();
    }
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }

protected:
    void resizeEvent(QResizeEvent *evenement) override
    {
        QLabel::resizeEvent(evenement);
        ecrire();
    }

private:
    static QString texte(const QString &chemin)
    {
        return DialogueJournal::tr("Fichier : %1 (les envois les plus récents en bas)").arg(chemin);
    }
    void ecrire()
    {
        const int place = contentsRect().width() - fontMetrics().horizontalAdvance(texte({}));
        setText(texte(fontMetrics().elidedText(m_chemin, Qt::ElideMiddle, qMax(0, place))));
    }

    QString m_chemin;
};

} // namespace

DialogueJournal::DialogueJournal(QWidget *parent)
    : QDialog(parent)
    , m_etat(new QLabel(this))
    , m_table(new QTableWidget(0, NombreColonnes, this))
    , m_detail(new QPlainTextEdit(this))
    , m_minuterie(new QTimer(this))
{
    setObjectName(QStringLiteral("DialogueJournal"));
    setWindowTitle(DialogueJournal::tr("Journal des envois"));
    auto *fichier = new LigneFichier(NomLisible(CheminJournal()), this);
    m_etat->setObjectName(QStringLiteral("etatJournal"));
    m_etat->setTextFormat(Qt::PlainText);
    auto *mise = new QVBoxLayout(this);
    mise->addWidget(fichier);
    mise->addWidget(m_etat);
    mise->addWidget(creerFiltres());
    mise->addWidget(creerVues(), 1);
    mise->addLayout(creerBoutons());

    m_minuterie->setInterval(IntervalleRelecture);
    connect(m_minuterie, &QTimer::timeout, this, &DialogueJournal::relire);
    ajusterALEcran();
    relire();
}

QWidget *DialogueJournal::creerVues()
{
    m_table->setObjectName(QStringLiteral("tableJournal"));
    m_table->setAccessibleName(DialogueJournal::tr("Envois consignés"));
    m_table->setHorizontalHeaderLabels(titresColonnes());
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().lineSpacing() + 8);
    m_table->horizontalHeader()->setStretchLastSection(true);
    // Each column as wide as its longest text, among all the records shown.
    m_table->horizontalHeader()->setResizeContentsPrecision(-1);
    m_table->setItemDelegateForColumn(ColPort, new AuMilieu(m_table));
    m_table->viewport()->installEventFilter(this);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &DialogueJournal::montrerDetail);

    m_detail->setObjectName(QStringLiteral("detailJournal"));
    m_detail->setAccessibleName(DialogueJournal::tr("Raison et lignes de l'envoi choisi"));
    m_detail->setReadOnly(true);
    m_detail->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto *partage = new QSplitter(Qt::Vertical, this);
    partage->addWidget(m_table);
    partage->addWidget(m_detail);
    partage->setSizes({3000, 2000}); // shares of the height, whatever the screen gives
    partage->setChildrenCollapsible(false);
    return partage;
}

QLayout *DialogueJournal::creerBoutons()
{
    // On as many lines as the window's width needs.
    auto *boutons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_charger = new QPushButton(DialogueJournal::tr("C&harger dans la grille"), this);
    m_exporter = new QPushButton(DialogueJournal::tr("&Exporter…"), this);
    auto *rangee = new RangeeSouple;
    rangee->addWidget(m_charger);
    rangee->addWidget(m_exporter);
    rangee->addWidget(boutons);
    m_charger->setObjectName(QStringLiteral("chargerJournal"));
    m_exporter->setObjectName(QStringLiteral("exporterJournal"));
    // Entrée closes the dialog, wherever the focus is: no other button takes it.
    for (QPushButton *bouton : {m_charger, m_exporter})
        bouton->setAutoDefault(false);
    QPushButton *fermer = boutons->button(QDialogButtonBox::Close);
    fermer->setObjectName(QStringLiteral("fermerJournal"));
    fermer->setDefault(true);
    connect(m_charger, &QPushButton::clicked, this, &DialogueJournal::charger);
    connect(m_exporter, &QPushButton::clicked, this, &DialogueJournal::exporter);
    connect(boutons, &QDialogButtonBox::rejected, this, &DialogueJournal::reject);
    return rangee;
}

QWidget *DialogueJournal::creerFiltres()
{
    auto *filtres = new QWidget(this);
    m_echecs = new QCheckBox(DialogueJournal::tr("É&checs seulement"), filtres);
    m_aujourdhui = new QCheckBox(DialogueJournal::tr("&Aujourd'hui"), filtres);
    m_executable = new QComboBox(filtres);
    m_echecs->setObjectName(QStringLiteral("echecsSeulement"));
    m_aujourdhui->setObjectName(QStringLiteral("aujourdhui"));
    m_executable->setObjectName(QStringLiteral("executable"));
    m_executable->addItem(DialogueJournal::tr("tous"), QString());
    for (const QString &nom : {QStringLiteral("tarvik"), QStringLiteral("tarvik-envoyer")})
        m_executable->addItem(nom, nom);
    auto *etiquette = new QLabel(DialogueJournal::tr("&Programme :"), filtres);
    etiquette->setBuddy(m_executable);
    // On as many lines as the window's width needs, the program's beside its label.
    auto *executable = new QWidget(filtres);
    auto *paire = new QHBoxLayout(executable);
    paire->setContentsMargins(0, 0, 0, 0);
    etiquette->setParent(executable);
    m_executable->setParent(executable);
    paire->addWidget(etiquette);
    paire->addWidget(m_executable);
    auto *mise = new RangeeSouple(filtres);
    mise->addWidget(m_echecs);
    mise->addWidget(m_aujourdhui);
    mise->addWidget(executable);
    for (QCheckBox *case_ : {m_echecs, m_aujourdhui})
        connect(case_, &QCheckBox::toggled, this, &DialogueJournal::afficher);
    connect(m_executable, &QComboBox::currentIndexChanged, this, &DialogueJournal::afficher);
    return filtres;
}

// Within the screen's free area, whatever its size and scale.
void DialogueJournal::ajusterALEcran()
{
    const QWidget *reference = parentWidget() ? parentWidget() : this;
    const QRect ecran = reference->screen()->availableGeometry();
    resize(std::min(960, ecran.width() * 9 / 10), std::min(560, ecran.height() * 4 / 5));
}

void DialogueJournal::showEvent(QShowEvent *evenement)
{
    relire();
    m_minuterie->start();
    QDialog::showEvent(evenement);
}

void DialogueJournal::hideEvent(QHideEvent *evenement)
{
    m_minuterie->stop();
    QDialog::hideEvent(evenement);
}

void DialogueJournal::relire()
{
    QString etat;
    const QByteArray lu = lireJournal(etat);
    m_etat->setText(etat);
    m_etat->setVisible(!etat.isEmpty());
    // Unchanged, and the same day: the table already shows it.
    if (m_rempli && lu == m_lu && m_jour == QDate::currentDate())
        return;
    m_lu = lu;
    m_jour = QDate::currentDate();
    m_enregistrements = AnalyserJournal(lu);
    afficher();
}

void DialogueJournal::afficher()
{
    const QString executable = m_executable->currentData().toString();
    m_affiches.clear();
    for (qsizetype i = 0; i < m_enregistrements.size(); ++i) {
        const EnregistrementEnvoi &envoi = m_enregistrements[i];
        // An operator's stop is no failure.
        const bool echec = envoi.issue != IssueEnvoi::Envoyee && envoi.issue != IssueEnvoi::Arretee;
        if ((!m_echecs->isChecked() || echec) &&
            (!m_aujourdhui->isChecked() || envoi.debut.toLocalTime().date() == m_jour) &&
            (executable.isEmpty() || envoi.executable == executable))
            m_affiches << i;
    }
    const QScrollBar *barre = m_table->verticalScrollBar();
    const bool enBas = barre->value() == barre->maximum();
    m_remplissage = true;
    m_table->setRowCount(0);
    m_table->setRowCount(int(m_affiches.size()));
    int choisie = m_rempli || m_affiches.isEmpty() ? -1 : int(m_affiches.size() - 1);
    for (int rangee = 0; rangee < m_affiches.size(); ++rangee) {
        const EnregistrementEnvoi &envoi = m_enregistrements[m_affiches[rangee]];
        remplirRangee(rangee, envoi);
        if (!m_choisi.isEmpty() && FormerEnregistrement(envoi) == m_choisi)
            choisie = rangee;
    }
    m_remplissage = false;
    m_rempli = true;
    if (choisie >= 0)
        m_table->selectRow(choisie);
    montrerDetail();
    if (enBas && choisie < 0)
        m_table->scrollToBottom();
    ajusterColonnes();
}

void DialogueJournal::ajusterColonnes()
{
    // Each column as wide as its longest text, but a long port gives way,
    // shortened in its middle (its tooltip says it whole): the outcome and
    // some of the reason stay in view.
    for (int colonne = 0; colonne < ColRaison; ++colonne)
        m_table->resizeColumnToContents(colonne);
    if (!m_table->isVisible())
        return;
    const QFontMetrics mesure = m_table->fontMetrics();
    int autres = 12 * mesure.averageCharWidth(); // the start of the reason
    for (int colonne = 0; colonne < ColRaison; ++colonne)
        if (colonne != ColPort)
            autres += m_table->columnWidth(colonne);
    const int port = m_table->horizontalHeader()->sectionSizeHint(ColPort);
    m_table->setColumnWidth(ColPort,
                            std::min(m_table->columnWidth(ColPort),
                                     std::max(port, m_table->viewport()->width() - autres)));
}

bool DialogueJournal::eventFilter(QObject *objet, QEvent *evenement)
{
    // The table's width, once it has it.
    if (objet == m_table->viewport() && evenement->type() == QEvent::Resize)
        ajusterColonnes();
    return QDialog::eventFilter(objet, evenement);
}

void DialogueJournal::remplirRangee(int rangee, const EnregistrementEnvoi &envoi)
{
    // A failure is marked, not only coloured; so is a device that came back,
    // and a run the operator stopped, which is no failure.
    const bool arretee = envoi.issue == IssueEnvoi::Arretee;
    const bool echec = envoi.issue != IssueEnvoi::Envoyee && !arretee;
    const QString marque = arretee                                ? QStringLiteral("■ ")
                           : envoi.issue == IssueEnvoi::Rebranche ? QStringLiteral("⚠ ")
                                                                  : QStringLiteral("✗ ");
    const QStringList textes{envoi.debut.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                             envoi.executable,
                             envoi.source,
                             textePort(envoi),
                             (echec || arretee ? marque : QString()) + texteIssue(envoi.issue),
                             envoi.raison};
    for (int colonne = 0; colonne < NombreColonnes; ++colonne) {
        auto *cellule = new QTableWidgetItem(textes[colonne]);
        // Read from a file: never markup.
        if ((colonne == ColRaison || colonne == ColPort) && !textes[colonne].isEmpty())
            cellule->setToolTip(QStringLiteral("<p>%1</p>").arg(textes[colonne].toHtmlEscaped()));
        if (colonne == ColIssue) // a screen reader says the word, not the mark
            cellule->setData(Qt::AccessibleTextRole, texteIssue(envoi.issue));
        if (colonne == ColIssue && echec)
            cellule->setForeground(QColor(0xb0, 0x00, 0x20));
        m_table->setItem(rangee, colonne, cellule);
    }
}

const EnregistrementEnvoi *DialogueJournal::selection() const
{
    const QModelIndexList rangees = m_table->selectionModel()->selectedRows();
    if (rangees.size() != 1)
        return nullptr;
    return &m_enregistrements[m_affiches.value(rangees.first().row())];
}

void DialogueJournal::montrerDetail()
{
    if (m_remplissage)
        return;
    const EnregistrementEnvoi *choisi = selection();
    m_choisi = choisi ? FormerEnregistrement(*choisi) : QByteArray();
    m_charger->setEnabled(choisi && choisi->lignes.size() == NombreAxes);
    QString detail;
    // The reason in the language of the program that wrote it, which may
    // not be the panel's.
    if (choisi && !choisi->raison.isEmpty())
        detail = DialogueJournal::tr("Raison, dans la langue où l'envoi l'a écrite : %1")
                     .arg(choisi->raison) +
                 QStringLiteral("\n\n");
    if (choisi)
        detail += choisi->lignes.isEmpty()
                      ? DialogueJournal::tr("Aucune ligne n'a été remise au port.")
                      : choisi->lignes.join(u'\n');
    m_detail->setPlainText(detail);
}

void DialogueJournal::charger()
{
    const EnregistrementEnvoi *choisi = selection();
    if (!choisi || choisi->lignes.size() != NombreAxes)
        return;
    QByteArray octets;
    for (const QString &ligne : choisi->lignes)
        octets += FormerLigne(ligne);
    const SequenceAnalysee analysee = AnalyserSequence(octets);
    if (analysee.echec) {
        Afficher(this, GenreMessage::Erreur, DialogueJournal::tr("Enregistrement non chargé"),
                 DialogueJournal::tr("Les lignes de cet envoi ne forment pas une séquence : "
                                     "%1.\nLa grille n'a pas été changée.")
                     .arg(Formuler(*analysee.echec)));
        return;
    }
    Q_EMIT grilleChargee(*analysee.grille);
}

void DialogueJournal::exporter()
{
    const QString chemin = ChoisirFichier(
        this, ModeFichier::Enregistrer, DialogueJournal::tr("Exporter le journal"),
        DialogueJournal::tr("Tableaux CSV (*.csv);;Tous les fichiers (*)"), QStringLiteral("csv"));
    if (chemin.isEmpty())
        return;
    QList<const EnregistrementEnvoi *> affiches;
    for (qsizetype i : m_affiches)
        affiches << &m_enregistrements[i];
    const EcritureFichier ecriture = EcrireFichier(chemin, formerCsv(affiches));
    if (!ecriture.echec) {
        const int n = int(affiches.size());
        Afficher(this, GenreMessage::Information, DialogueJournal::tr("Journal exporté"),
                 (n < 2 ? DialogueJournal::tr("%n enregistrement écrit dans « %1 ».", nullptr, n)
                        : DialogueJournal::tr("%n enregistrements écrits dans « %1 ».", nullptr, n))
                     .arg(NomLisible(chemin)));
        return;
    }
    Afficher(this, GenreMessage::Erreur, DialogueJournal::tr("Journal non exporté"),
             DialogueJournal::tr("Le journal n'a pas pu être écrit dans « %1 » : %2.\n%3")
                 .arg(NomLisible(chemin), Formuler(*ecriture.echec),
                      ecriture.existait
                          ? DialogueJournal::tr("Le fichier qui s'y trouvait est resté intact.")
                          : DialogueJournal::tr("Aucun fichier n'a été créé.")));
}

} // namespace tarvik::window

#include "window/menus_panneau.h"

#include "app/demarrage.h"
#include "app/executable.h"
#include "app/formulation.h"
#include "app/version.h"
#include "core/fichiers.h"
#include "core/langues.h"
#include "system/ecriture.h"
#include "system/lecture.h"
#include "system/noms.h"
#include "window/dialogue_journal.h"
#include "window/dialogue_limites.h"
#include "window/dialogue_port.h"
#include "window/dialogues.h"
#include "window/disposition.h"
#include "window/fenetre_programme.h"
#include "window/main_window.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace tarvik::window {

namespace {

QString filtreSequences()
{
    return Form1::tr("Séquences Tarvik (*.seq);;Tous les fichiers (*)");
}

QString filtreNoms()
{
    return Form1::tr("Désignations d'axes (*.txt);;Tous les fichiers (*)");
}

// Saves `choix` as the port (empty: port 1), if a settings file can hold it:
// what was saved, or why not.
struct PortEnregistre {
    EcritureReglages ecriture;
    QString echec;
};
PortEnregistre enregistrerPort(const QString &choix)
{
    if (const auto raison = choix.isEmpty() ? std::nullopt : VerifierChemin(choix))
        return {{}, Form1::tr("ce nom ne peut pas être enregistré : %1").arg(Formuler(*raison))};
    PortEnregistre enregistre{EcrireReglages([&](Reglages &reglages) { reglages.port = choix; }),
                              {}};
    if (enregistre.ecriture.echec)
        enregistre.echec = Formuler(*enregistre.ecriture.echec);
    return enregistre;
}

// Why the settings or limits file set aside was not understood.
QString illisible(const EcritureCles &ecriture)
{
    return ecriture.incompris ? Formuler(*ecriture.incompris) : QString();
}

} // namespace

MenusPanneau::MenusPanneau(Form1 &fenetre, PosteEnvoi &poste, const ReglagesLus &reglages)
    : QObject(&fenetre)
    , m_fenetre(fenetre)
    , m_poste(poste)
    , m_reglages(reglages)
{
    creerMenus();
    chargerDesignation();
    RetenirDossierFichiers(m_reglages.reglages.dossier);
    // The program's window, a window of its own, goes with the panel.
    connect(&m_fenetre, &Form1::fermeture, this, [this] {
        if (m_fenetreProgramme)
            m_fenetreProgramme->close();
    });
    // The link of the status line, while no port is chosen.
    connect(&m_fenetre, &Form1::choixDuPortDemande, this, &MenusPanneau::ChoisirPort_Click);
    // Settings not read, while --port lets the panel send all the same: said
    // once the window is up, never in the way of TEST.
    if (m_poste.port().origine == OriginePort::Option)
        if (const auto nonLus = ReglagesNonLus(m_reglages))
            QTimer::singleShot(0, this, [this, note = Phrase(*nonLus)] {
                Afficher(&m_fenetre, GenreMessage::Avertissement, Form1::tr("Réglages"),
                         note.front().toUpper() + note.mid(1) + u'\n' +
                             Form1::tr("Choisir le port par %1 remplace le fichier douteux, "
                                       "qui est gardé à côté.")
                                 .arg(Form1::tr("« Initialisation › Choisir le port série… »")));
            });
}

MenusPanneau::~MenusPanneau()
{
    delete m_fenetreProgramme;
}

QList<MenusPanneau::Menu> MenusPanneau::barreDeMenus()
{
    // clang-format off
    return {
        {"MenuFichier", QT_TRANSLATE_NOOP("Form1", "&Fichier"), {
            {"OuvrirSequence", QT_TRANSLATE_NOOP("Form1", "Ouvrir Sequence"), &MenusPanneau::OuvrirSequence_Click, "Ctrl+O"},
            {"EnregistrerSequence", QT_TRANSLATE_NOOP("Form1", "Enregistrer Sequence"), &MenusPanneau::EnregistrerSequence_Click, "Ctrl+S"},
            {"EffacerSequenceActuelle", QT_TRANSLATE_NOOP("Form1", "Effacer Sequence Actuelle"), &MenusPanneau::EffacerSequenceActuelle_Click},
            {"AnnulerEffacement", QT_TRANSLATE_NOOP("Form1", "Annuler l'effacement"), &MenusPanneau::AnnulerEffacement_Click, "Ctrl+Z"},
            {"RappelerGrille", QT_TRANSLATE_NOOP("Form1", "Rappeler la grille précédente"), &MenusPanneau::RappelerGrille_Click, "Ctrl+R"},
            {"Programme", QT_TRANSLATE_NOOP("Form1", "&Programme…"), &MenusPanneau::Programme_Click},
            {"JournalEnvois", QT_TRANSLATE_NOOP("Form1", "Journal des envois…"), &MenusPanneau::JournalEnvois_Click, "Ctrl+J"},
            {"Quitter", QT_TRANSLATE_NOOP("Form1", "Quitter le programme"), &MenusPanneau::Quitter_Click, "Ctrl+Q"}}},
        {"Initialisation", QT_TRANSLATE_NOOP("Form1", "&Initialisation"), {
            {"DesignAxe", QT_TRANSLATE_NOOP("Form1", "Ouvrir un fichier de designation d'axes"), &MenusPanneau::DesignAxe_Click},
            {"ChoisirPort", QT_TRANSLATE_NOOP("Form1", "Choisir le port série…"), &MenusPanneau::ChoisirPort_Click},
            {"LimitesAxes", QT_TRANSLATE_NOOP("Form1", "Limites des axes…"), &MenusPanneau::LimitesAxes_Click}}},
        {"Aide", QT_TRANSLATE_NOOP("Form1", "&Aide"), {
            {"CommentCreer", QT_TRANSLATE_NOOP("Form1", "Comment Créer un fichier de désignation d'axes ?"), &MenusPanneau::CommentCreer_Click},
            {"Schemas", QT_TRANSLATE_NOOP("Form1", "Schémas Electronique de la Carte")},
            {"ProgASM", QT_TRANSLATE_NOOP("Form1", "Le programme en Assembleur")},
            {"IntelHEX", QT_TRANSLATE_NOOP("Form1", "Le Fichier Intel .HEX")},
            {"Apropos", QT_TRANSLATE_NOOP("Form1", "A propos de Tarvik"), &MenusPanneau::Apropos_Click}}},
    };
    // clang-format on
}

void MenusPanneau::creerMenus()
{
    // Their titles are translated in the context their table names.
    for (const Menu &m : barreDeMenus()) {
        QMenu *menu = m_fenetre.menuBar()->addMenu(QCoreApplication::translate("Form1", m.titre));
        menu->setObjectName(QLatin1String(m.nom));
        for (const Entree &e : m.entrees) {
            const QString titre = QCoreApplication::translate("Form1", e.titre);
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
            creerMenuLangue(menu->addMenu(Form1::tr("Langue")));
        if (qstrcmp(m.nom, "MenuFichier") == 0) {
            m_recents = new QMenu(Form1::tr("Fichiers &récents"), menu);
            m_recents->setObjectName(QStringLiteral("FichiersRecents"));
            m_recents->menuAction()->setObjectName(QStringLiteral("FichiersRecents"));
            menu->insertMenu(menu->findChild<QAction *>(QStringLiteral("Programme")), m_recents);
            connect(m_recents, &QMenu::aboutToShow, this, &MenusPanneau::montrerRecents);
            connect(menu, &QMenu::aboutToShow, this, &MenusPanneau::actualiserGrille);
        }
    }
    m_cheminsRecents = m_reglages.reglages.recents;
    montrerRecents();
    actualiserGrille();
    // The last grid sent, once the window has heard of it.
    connect(&m_poste, &PosteEnvoi::termine, this, &MenusPanneau::actualiserGrille,
            Qt::QueuedConnection);
}

void MenusPanneau::montrerRecents()
{
    m_recents->clear();
    for (qsizetype k = 0; k < m_cheminsRecents.size(); ++k) {
        const QString &chemin = m_cheminsRecents[k];
        QAction *action = m_recents->addAction(
            QStringLiteral("&%1 %2").arg(k + 1).arg(QFileInfo(chemin).fileName()));
        action->setObjectName(QStringLiteral("Recent%1").arg(k + 1));
        action->setToolTip(NomLisible(chemin));
        action->setStatusTip(action->toolTip());
        action->setEnabled(QFileInfo(chemin).isFile());
        connect(action, &QAction::triggered, this, [this, chemin] { ouvrirFichier(chemin); });
    }
    m_recents->setEnabled(!m_cheminsRecents.isEmpty());
}

void MenusPanneau::retenirRecent(const QString &chemin)
{
    const QString absolu = QFileInfo(chemin).absoluteFilePath();
    if (VerifierChemin(absolu))
        return; // a name the settings cannot hold
    m_cheminsRecents = AvecRecent(m_cheminsRecents, absolu);
    montrerRecents();
    if (m_reglages.echec)
        return;
    const EcritureReglages ecriture =
        EcrireReglages([&](Reglages &reglages) { reglages.recents = m_cheminsRecents; });
    if (!ecriture.echec)
        m_reglages = {ecriture.reglages, {}};
}

void MenusPanneau::actualiserGrille()
{
    if (auto *annuler = m_fenetre.findChild<QAction *>(QStringLiteral("AnnulerEffacement")))
        annuler->setEnabled(m_fenetre.effacementAnnulable());
    if (auto *rappeler = m_fenetre.findChild<QAction *>(QStringLiteral("RappelerGrille")))
        rappeler->setEnabled(m_fenetre.derniereEnvoyee().has_value());
}

bool MenusPanneau::ouvrirFichier(const QString &chemin)
{
    if (chemin.endsWith(QLatin1String(".prog"))) {
        Programme_Click();
        return m_fenetreProgramme->ouvrirFichier(chemin);
    }
    return ouvrirSequence(chemin);
}

bool MenusPanneau::ouvrirSequence(const QString &chemin)
{
    SequenceAnalysee analysee;
    if (!LireFichierChoisi(&m_fenetre, chemin, Form1::tr("Séquence non ouverte"),
                           [&](const QByteArray &contenu) -> std::optional<QString> {
                               analysee = AnalyserSequence(contenu);
                               if (analysee.echec)
                                   return Formuler(*analysee.echec);
                               return std::nullopt;
                           }))
        return false;
    m_fenetre.remplirGrille(*analysee.grille);
    retenirRecent(chemin);
    return true;
}

void MenusPanneau::AnnulerEffacement_Click()
{
    m_fenetre.annulerEffacement();
    actualiserGrille();
}

void MenusPanneau::RappelerGrille_Click()
{
    if (const auto &grille = m_fenetre.derniereEnvoyee())
        m_fenetre.remplirGrille(*grille);
}

void MenusPanneau::creerMenuLangue(QMenu *menu)
{
    // Each language named in itself; the choice applies at the next start.
    menu->setObjectName(QStringLiteral("Langue"));
    menu->menuAction()->setObjectName(QStringLiteral("Langue"));
    auto *groupe = new QActionGroup(menu);
    const QString enregistree = m_reglages.reglages.langue;
    QList<Langue> choix{{{}, Form1::tr("Celle du système")}}; // an empty code: the system's
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

void MenusPanneau::OuvrirSequence_Click()
{
    const QString chemin = ChoisirFichier(&m_fenetre, ModeFichier::Ouvrir,
                                          Form1::tr("Ouvrir une séquence"), filtreSequences());
    if (chemin.isEmpty())
        return;
    // Whatever its name, read as a sequence, as the dialog's choice says.
    ouvrirSequence(chemin);
}

void MenusPanneau::EnregistrerSequence_Click()
{
    // Examined as TEST examines the grid, with the same question; what the
    // line takes is saved even beyond this bench's limits (the file may be
    // meant for another bench), and said.
    const QString titre = Form1::tr("Séquence non enregistrée");
    const ExamenGrille examen = m_fenetre.grilleExaminee(
        DestinationGrille::Fichier,
        {titre, Form1::tr(".\nRien n'a été enregistré"), Form1::tr("Enregistrer tel quel"),
         Form1::tr("« Corriger » n'enregistre rien et vous ramène à "
                   "%1.")});
    if (!examen.grille)
        return;
    const QString chemin =
        ChoisirFichier(&m_fenetre, ModeFichier::Enregistrer, Form1::tr("Enregistrer la séquence"),
                       filtreSequences(), QStringLiteral("seq"));
    if (chemin.isEmpty())
        return;

    const EcritureFichier ecriture = EcrireFichier(chemin, FormerSequence(*examen.grille));
    if (!ecriture.echec) {
        retenirRecent(chemin);
        if (examen.horsDuBanc) {
            QStringList valeurs;
            for (const ValeurRefusee &valeur : examen.horsDuBanc->valeurs)
                valeurs << Formuler(valeur);
            Afficher(&m_fenetre, GenreMessage::Avertissement, Form1::tr("Séquence enregistrée"),
                     Form1::tr("La séquence a été enregistrée dans « %1 », mais elle dépasse les "
                               "limites de ce banc ; « TEST » la refuserait ici :\n\n%2.")
                         .arg(NomLisible(chemin), valeurs.join(QStringLiteral(".\n\n"))));
        }
    } else {
        Afficher(&m_fenetre, GenreMessage::Erreur, titre,
                 Form1::tr("La séquence n'a pas pu être écrite dans « %1 » : %2.\n%3")
                     .arg(NomLisible(chemin), Formuler(*ecriture.echec),
                          ecriture.existait
                              ? Form1::tr("Le fichier qui s'y trouvait est resté intact.")
                              : Form1::tr("Aucun fichier n'a été créé.")));
    }
}

void MenusPanneau::EffacerSequenceActuelle_Click()
{
    m_fenetre.effacerGrille(); // Ctrl+Z puts it back
    actualiserGrille();
}

void MenusPanneau::JournalEnvois_Click()
{
    // Never modal: the panel goes on while the journal is open.
    if (!m_journal) {
        m_journal = new DialogueJournal(&m_fenetre);
        connect(m_journal, &DialogueJournal::grilleChargee, &m_fenetre, &Form1::remplirGrille);
        // Beside the panel, as the program's window: the grid it fills stays in view.
        PlacerACoteDuPanneau(*m_journal, m_fenetre);
    }
    m_journal->show();
    m_journal->raise();
    m_journal->activateWindow();
}

void MenusPanneau::Programme_Click()
{
    // Never modal either: the grid stays in use while a program is made.
    if (!m_fenetreProgramme) {
        m_fenetreProgramme = new FenetreProgramme(m_poste, [this] {
            return m_fenetre
                .grilleExaminee(
                    DestinationGrille::Etape,
                    {FenetreProgramme::tr("Étape non ajoutée"),
                     FenetreProgramme::tr(".\nRien n'a été ajouté au programme"),
                     FenetreProgramme::tr("Ajouter tel quel"),
                     FenetreProgramme::tr("« Corriger » n'ajoute rien au programme et vous ramène "
                                          "à %1.")})
                .grille;
        });
        connect(m_fenetreProgramme, &FenetreProgramme::grilleChargee, &m_fenetre,
                &Form1::remplirGrille);
        connect(m_fenetreProgramme, &FenetreProgramme::fichierUtilise, this,
                &MenusPanneau::retenirRecent);
        placerFenetreProgramme();
    }
    m_fenetreProgramme->show();
    m_fenetreProgramme->raise();
    m_fenetreProgramme->activateWindow();
}

void MenusPanneau::placerFenetreProgramme()
{
    // Beside the panel, on its screen, at its first opening, with room for
    // the lines a run adds (a drift, a status that wraps); where the
    // operator moves it afterwards, it stays.
    PlacerACoteDuPanneau(*m_fenetreProgramme, m_fenetre,
                         5 * m_fenetreProgramme->fontMetrics().lineSpacing());
}

void MenusPanneau::DesignAxe_Click()
{
    const QString chemin =
        ChoisirFichier(&m_fenetre, ModeFichier::Ouvrir,
                       Form1::tr("Ouvrir un fichier de désignation d'axes"), filtreNoms());
    NomsAnalyses analyses;
    if (chemin.isEmpty() ||
        !LireFichierChoisi(&m_fenetre, chemin, Form1::tr("Désignation d'axes non ouverte"),
                           [&](const QByteArray &contenu) -> std::optional<QString> {
                               analyses = AnalyserNomsAxes(contenu);
                               if (analyses.echec)
                                   return Formuler(*analyses.echec);
                               return std::nullopt;
                           }))
        return;
    m_fenetre.nommerAxes(analyses.noms);
    // Opened again at the next start.
    const QString absolu = QFileInfo(chemin).absoluteFilePath();
    QString refus;
    if (const auto raison = VerifierChemin(absolu)) {
        refus = Formuler(*raison);
    } else {
        const EcritureReglages ecriture =
            EcrireReglages([&](Reglages &reglages) { reglages.designation = absolu; });
        if (ecriture.echec)
            refus = Formuler(*ecriture.echec);
        else
            m_reglages = {ecriture.reglages, {}};
    }
    if (!refus.isEmpty())
        Afficher(&m_fenetre, GenreMessage::Avertissement, Form1::tr("Désignation d'axes"),
                 Form1::tr("Les noms sont appliqués, mais le fichier ne sera pas rouvert au "
                           "prochain démarrage : %1.")
                     .arg(refus));
}

void MenusPanneau::chargerDesignation()
{
    const QString chemin = m_reglages.reglages.designation;
    if (chemin.isEmpty())
        return;
    const FichierLu lu = LireFichier(chemin);
    const NomsAnalyses analyses = lu.echec ? NomsAnalyses{} : AnalyserNomsAxes(lu.contenu);
    const QString echec = lu.echec         ? Formuler(*lu.echec)
                          : analyses.echec ? Formuler(*analyses.echec)
                                           : QString();
    if (echec.isEmpty()) {
        m_fenetre.nommerAxes(analyses.noms);
        return;
    }
    // Said once, when the window is up; the rows keep "Axe 0k".
    QTimer::singleShot(0, &m_fenetre, [this, chemin, echec] {
        Afficher(&m_fenetre, GenreMessage::Avertissement, Form1::tr("Désignation d'axes"),
                 Form1::tr("Le fichier de désignation d'axes « %1 », ouvert la dernière fois, "
                           "n'a pas été chargé : %2.\nLes axes gardent leurs noms « Axe 01 » "
                           "à « Axe 07 ».")
                     .arg(NomLisible(chemin), echec));
    });
}

void MenusPanneau::ChoisirPort_Click()
{
    // The field shows the port in use here, unless --port imposes one: then
    // the saved choice, and the dialog names the imposed port above it.
    if (m_poste.occupe()) { // the run holds the port it opened
        Afficher(&m_fenetre, GenreMessage::Avertissement, Form1::tr("Port série"),
                 Form1::tr("Un envoi est en cours : le port ne peut pas changer avant sa fin."));
        return;
    }
    const PortChoisi actuel = m_poste.port();
    const bool impose = actuel.origine == OriginePort::Option;
    DialoguePort dialogue(impose                                   ? m_reglages.reglages.port
                          : actuel.origine == OriginePort::Reglage ? actuel.peripherique
                                                                   : QString(),
                          impose ? actuel.peripherique : QString(), &m_fenetre);
    dialogue.setWindowModality(Qt::WindowModal);
    if (dialogue.exec() != QDialog::Accepted)
        return;
    const QString titre = Form1::tr("Port série");
    const PortEnregistre enregistre = enregistrerPort(dialogue.choix());
    const EcritureReglages &ecriture = enregistre.ecriture;
    if (!enregistre.echec.isEmpty()) {
        Afficher(&m_fenetre, GenreMessage::Erreur, titre,
                 Form1::tr("Le choix du port n'a pas pu être enregistré dans « %1 » : %2.\n"
                           "Le choix précédent reste en vigueur.")
                     .arg(NomLisible(CheminReglages()), enregistre.echec));
        return;
    }
    // Used at once by this panel, even over --port.
    m_reglages = {ecriture.reglages, {}};
    m_poste.setPort(DeterminerPort({}, m_reglages));
    QStringList notes;
    if (!ecriture.misDeCote.isEmpty())
        notes << Form1::tr("Le fichier de réglages « %1 » était illisible (%2) : il a été mis "
                           "de côté sous « %3 », et remplacé par un nouveau qui garde ce "
                           "choix.")
                     .arg(NomLisible(CheminReglages()), illisible(ecriture),
                          NomLisible(ecriture.misDeCote));
    if (impose)
        notes << Form1::tr("Ce panneau envoie désormais sur %1, et non plus sur « %2 », "
                           "donné par --port. Ce choix vaut aussi pour les prochains démarrages "
                           "sans --port.")
                     .arg(m_fenetre.decrirePort(), NomLisible(actuel.peripherique));
    if (!notes.isEmpty())
        Afficher(&m_fenetre, GenreMessage::Information, titre, notes.join(QStringLiteral("\n\n")));
}

void MenusPanneau::LimitesAxes_Click()
{
    DialogueLimites dialogue(m_poste.limitesLues(), m_poste.noms(), &m_fenetre);
    dialogue.setWindowModality(Qt::WindowModal);
    if (dialogue.exec() != QDialog::Accepted)
        return;
    // What was saved, with the machine's limits as they are now.
    m_poste.setLimites(LireLimites());
    const EcritureLimites &ecriture = dialogue.ecriture();
    if (!ecriture.misDeCote.isEmpty())
        Afficher(&m_fenetre, GenreMessage::Information, Form1::tr("Limites des axes"),
                 Form1::tr("Votre fichier de limites « %1 » était illisible (%2) : il a été mis "
                           "de côté sous « %3 », et remplacé par un nouveau qui garde vos "
                           "limites.")
                     .arg(NomLisible(CheminLimitesOperateur()), illisible(ecriture),
                          NomLisible(ecriture.misDeCote)));
}

void MenusPanneau::choisirLangue(const QString &code)
{
    const QString titre = Form1::tr("Langue");
    const EcritureReglages ecriture =
        EcrireReglages([&](Reglages &reglages) { reglages.langue = code; });
    if (ecriture.echec) {
        Afficher(&m_fenetre, GenreMessage::Erreur, titre,
                 Form1::tr("La langue n'a pas pu être enregistrée dans « %1 » : %2.")
                     .arg(NomLisible(CheminReglages()), Formuler(*ecriture.echec)));
        return;
    }
    m_reglages = {ecriture.reglages, {}};
    const Langue *langue = LangueDeCode(code);
    QString texte = langue ? Form1::tr("Le panneau parlera %1 à son prochain démarrage.")
                                 .arg(NomsDeLangue(*langue))
                           : Form1::tr("Le panneau parlera la langue du système à son prochain "
                                       "démarrage.");
    if (!ecriture.misDeCote.isEmpty())
        texte +=
            u'\n' + Form1::tr("Le fichier de réglages « %1 » était illisible (%2) : il a été mis "
                              "de côté sous « %3 », et remplacé par un nouveau.")
                        .arg(NomLisible(CheminReglages()), illisible(ecriture),
                             NomLisible(ecriture.misDeCote));
    Afficher(&m_fenetre, GenreMessage::Information, titre, texte);
}

void MenusPanneau::CommentCreer_Click()
{
    Afficher(
        &m_fenetre, GenreMessage::Information,
        Form1::tr("Comment créer un fichier de désignation d'axes"),
        Form1::tr(
            "Un fichier de désignation d'axes est un fichier texte (UTF-8) d'au plus sept "
            "lignes : la ligne 1 nomme l'axe 1, la ligne 2 l'axe 2, et ainsi de suite "
            "jusqu'à l'axe 7. Une ligne vide laisse l'axe sous son nom « Axe 0… ».\n\n"
            "Un nom compte au plus %1 caractères, sans tabulation ni autre caractère de "
            "contrôle ; les espaces au début et à la fin sont ignorés. Les noms ne changent que "
            "l'affichage : les lignes envoyées à la carte restent les mêmes.\n\n"
            "Exemple (les axes 3 et 5 gardent « Axe 03 » et « Axe 05 ») :\n\n"
            "Pince\nRotation base\n\nBras\n\nPoignet\nAvance\n\n"
            "Ouvrez-le par « Initialisation › Ouvrir un fichier de designation d'axes ».")
            .arg(LongueurMaxNom));
}

void MenusPanneau::documentDeLaCarte(const QString &document)
{
    Afficher(&m_fenetre, GenreMessage::Information, document,
             Form1::tr("Le document « %1 » appartient à la carte de commande des axes : il "
                       "n'est pas fourni avec le panneau Tarvik.\nDemandez-le à celui qui "
                       "vous a fourni la carte.")
                 .arg(document));
}

void MenusPanneau::Quitter_Click()
{
    m_fenetre.close();
}

QString MenusPanneau::reglagesNonLus() const
{
    const auto nonLus = ReglagesNonLus(m_reglages);
    return nonLus ? Form1::tr(".\nRéglages : %1").arg(nonLus->message) : QString();
}

void MenusPanneau::Apropos_Click()
{
    Afficher(&m_fenetre, GenreMessage::Information, Form1::tr("A propos de Tarvik"),
             Form1::tr("Tarvik %1\n\n"
                       "Panneau de commande de la carte à sept axes. « TEST » envoie une "
                       "ligne de commande par axe, de A à G, par exemple A+00100:010, et "
                       "la liste « Sequence Envoyé » montre les lignes envoyées.\n\n"
                       "Port : %4.\n"
                       "Ligne : 38400 bauds, 8 bits, sans parité, 1 bit d'arrêt.\n\n"
                       "Construit avec Qt %2 (en service : Qt %3).\n\n"
                       "Logiciel libre, sous licence GNU GPL version 3 ou ultérieure.")
                 .arg(QStringLiteral(TARVIK_VERSION), QStringLiteral(QT_VERSION_STR),
                      QString::fromLatin1(qVersion()), m_fenetre.decrirePort() + reglagesNonLus()));
}

} // namespace tarvik::window
